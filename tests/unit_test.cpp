// The program's own code, linked with its main: the tests run where main would enter GLUT's event
// loop, with its window, menu and scene set up.
#include "../app/app.h"
#include "../controls/controls.h"
#include "../sponge/sponge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// The view settings by name, so that a case states only what it changes.
struct settings {
    bool lighting, solid;
    int iterations;
    float cube_scale;
    bool inverse;
};
using cube = std::tuple<float, float, float, double, bool>; // centre x, y, z, edge, solid
using matrix = std::array<GLfloat, 16>;
static std::vector<cube> cubes;
static std::vector<std::pair<std::string, int>> menu; // label, value, top to bottom
static int redraws = 0;
static settings at_start;
static bool lit_at_start;
static const matrix unturned = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

static settings now() { return {lighting, solid, iterations, cube_scale, inverse}; }

static matrix current(GLenum which) {
    matrix m;
    glGetFloatv(which, m.data());
    return m;
}

// The settings (GL_LIGHTING with them), the orientation unturned, nothing recorded.
static void set(const settings& s) {
    lighting = s.lighting;
    solid = s.solid;
    iterations = s.iterations;
    cube_scale = s.cube_scale;
    inverse = s.inverse;
    if (s.lighting) {
        glEnable(GL_LIGHTING);
    } else {
        glDisable(GL_LIGHTING);
    }
    glLoadIdentity();
    redraws = 0;
    cubes.clear();
}

static void expect_settings(const settings& want, const std::string& after,
                            const settings& got = now(), bool lit = glIsEnabled(GL_LIGHTING)) {
    EXPECT_EQ(got.lighting, want.lighting) << after;
    EXPECT_EQ(lit, want.lighting) << after << ": GL_LIGHTING";
    EXPECT_EQ(got.solid, want.solid) << after;
    EXPECT_EQ(got.iterations, want.iterations) << after;
    EXPECT_EQ(got.cube_scale, want.cube_scale) << after;
    EXPECT_EQ(got.inverse, want.inverse) << after;
}

// Recorded instead of drawn or asked for: the pictures are the end-to-end test's.
extern "C" {
static void record(double edge, bool is_solid) { // centred where the modelview matrix has moved to
    const matrix m = current(GL_MODELVIEW_MATRIX);
    cubes.emplace_back(m[12], m[13], m[14], edge, is_solid);
}
void __wrap_glutSolidCube(double edge) { record(edge, true); }
void __wrap_glutWireCube(double edge) { record(edge, false); }
void __wrap_glutPostRedisplay() { ++redraws; }
void __wrap_glutAddMenuEntry(const char* label, int value) { menu.emplace_back(label, value); }
void __wrap_glutMainLoop() {
    at_start = now();
    lit_at_start = glIsEnabled(GL_LIGHTING);
    testing::InitGoogleTest(); // options come as GTEST_ variables
    std::exit(RUN_ALL_TESTS());
}
}

// The cubes of a sponge from the rule, not from the program's tables. A cube splits into 27 cells
// a third of its edge wide, offset by -1, 0 or +1 cells along each axis; the sponge keeps those
// with at least two non-zero offsets: the corners (three) and the edge cells (two).
struct cell {
    int x, y, z;
    int nonzero() const { return (x != 0) + (y != 0) + (z != 0); }
};

// All 27 in the order the sponge is drawn: layer z + s first, row y + s first, x - s first.
static std::vector<cell> in_drawing_order() {
    std::vector<cell> cells;
    for (const int z : {1, 0, -1}) {
        for (const int y : {1, 0, -1}) {
            for (const int x : {-1, 0, 1}) { cells.push_back({x, y, z}); }
        }
    }
    return cells;
}

// The seven removed cells, in the order the inverse view draws them.
static const cell removed[] = {{0, 1, 0}, {0, 0, 1},  {-1, 0, 0}, {0, 0, 0},
                               {1, 0, 0}, {0, -1, 0}, {0, 0, -1}};

// Centres are worked in double and kept as floats; a drawn edge is worked in double.
static void sponge(std::vector<cube>& out, int level, float x, float y, float z, float size) {
    const float s = static_cast<float>(size / 3.0);
    const auto at = [s](float centre, int cells) {
        return static_cast<float>(centre + cells * double(s));
    };
    const auto recurse = [&](const cell& c) {
        sponge(out, level - 1, at(x, c.x), at(y, c.y), at(z, c.z), s);
    };
    if (!inverse && level == 0) {
        out.emplace_back(x, y, z, size * double(cube_scale), solid);
    } else if (!inverse) {
        for (const cell& c : in_drawing_order()) {
            if (c.nonzero() >= 2) { recurse(c); }
        }
    } else {
        for (const cell& c : removed) {
            out.emplace_back(at(x, c.x), at(y, c.y), at(z, c.z), s * double(cube_scale), solid);
        }
        for (const int corners_then_edges : {3, 2}) {
            for (const cell& c : in_drawing_order()) {
                if (level > 1 && c.nonzero() == corners_then_edges) { recurse(c); }
            }
        }
    }
}

TEST(program, a_frame_draws_the_cubes_the_rule_gives_in_their_order_and_changes_nothing) {
    for (const bool wire : {false, true}) {
        for (const bool inverse_view : {false, true}) {
            for (int depth = 0; depth <= 3; ++depth) {
                // At the smallest size an edge worked in float would differ.
                set({true, !wire, depth, 0.94000006f, inverse_view});
                std::vector<cube> want;
                sponge(want, depth, 0, 0, 0, 2.0f);
                const settings before = now();
                display();
                EXPECT_EQ(cubes, want) << "depth " << depth << (inverse ? ", inverse" : "");
                expect_settings(before, "a frame");
                EXPECT_EQ(current(GL_MODELVIEW_MATRIX), unturned);
                EXPECT_EQ(redraws, 0);
            }
        }
    }
}

// At start: lit, solid cubes, depth 1, full size, the kept cubes. What each command changes, from
// a state where that shows, every other setting away from its start; the menu entry with the label
// shown (if any) changes the same. Nothing else changes, and one new frame is asked for.
TEST(program, each_key_and_menu_entry_changes_what_it_names) {
    expect_settings({true, true, 1, 1.0f, false}, "at start", at_start, lit_at_start);
    const settings mixed = {true, false, 3, 0.97f, true};
    const auto with = [&mixed](auto field, auto value) {
        settings s = mixed;
        s.*field = value;
        return s;
    };
    const settings unlit = with(&settings::lighting, false),
                   solid_cubes = with(&settings::solid, true),
                   kept_cubes = with(&settings::inverse, false);
    const auto at_depth = [&with](int depth) { return with(&settings::iterations, depth); };
    // clang-format off
    const struct { unsigned char key; const char* entry; settings from, to; } commands[] = {
        {'l', "Lighting\tL", mixed, unlit},           {'l', "Lighting\tL", unlit, mixed},
        {'v', "Inverse\tV", mixed, kept_cubes},       {'v', "Inverse\tV", kept_cubes, mixed},
        {'f', "Wireframe\tF", mixed, solid_cubes},    {'f', "Wireframe\tF", solid_cubes, mixed},
        {'0', "0 Iterations\t0", mixed, at_depth(0)}, {'1', "1 Iterations\t1", mixed, at_depth(1)},
        {'2', "2 Iterations\t2", mixed, at_depth(2)}, {'3', "3 Iterations\t3", at_depth(1), mixed},
        {'4', "4 Iterations\t4", mixed, at_depth(4)}, {'5', nullptr, mixed, at_depth(5)},
        {'-', nullptr, mixed, with(&settings::cube_scale, 0.96000004f)},
        {'+', nullptr, mixed, with(&settings::cube_scale, 0.98f)},
    };
    // clang-format on
    const auto value_of = [](const std::string& label) { // 0 for none: choosing it does nothing
        const auto entry =
            std::find_if(menu.begin(), menu.end(), [&](auto& e) { return e.first == label; });
        return entry == menu.end() ? 0 : entry->second;
    };
    std::string commanded = "qeadws\x1b"; // the turns, and Esc, which the end-to-end test presses
    for (const auto& c : commands) {
        const std::string key(1, static_cast<char>(c.key));
        commanded += key;
        set(c.from);
        keyboard(c.key, 0, 0);
        expect_settings(c.to, "key " + key);
        EXPECT_EQ(redraws, 1) << "key " << key;
        EXPECT_EQ(current(GL_MODELVIEW_MATRIX), unturned) << "key " << key;
        if (c.entry != nullptr) {
            set(c.from);
            menu_select(value_of(c.entry));
            expect_settings(c.to, c.entry);
            EXPECT_EQ(redraws, 1) << c.entry;
        }
    }

    // Any other key, the reminders and values no entry has change nothing, from anywhere.
    const settings elsewhere = {false, false, 3, 0.97f, true};
    const auto only_a_frame = [&elsewhere](const std::string& after) {
        expect_settings(elsewhere, after);
        EXPECT_EQ(redraws, 1) << after;
        EXPECT_EQ(current(GL_MODELVIEW_MATRIX), unturned) << after;
    };
    for (int key = 0; key < 256; ++key) {
        if (commanded.find(static_cast<char>(key)) != std::string::npos) { continue; }
        set(elsewhere);
        keyboard(static_cast<unsigned char>(key), 0, 0);
        only_a_frame("key " + std::to_string(key));
    }
    for (const int value : {value_of("Use Q W E A S D to rotate"),
                            value_of("Use +/- to scale cube size"), 0, 12, -1, INT_MIN, INT_MAX}) {
        set(elsewhere);
        menu_select(value);
        only_a_frame("menu value " + std::to_string(value));
    }

    // What the menu shows, top to bottom (GLUT shows each tab as a gap).
    std::vector<std::string> labels;
    for (const auto& entry : menu) { labels.push_back(entry.first); }
    EXPECT_EQ(labels,
              std::vector<std::string>(
                  {"Lighting\tL", "Inverse\tV", "Wireframe\tF", "Exit demo\tEsc", "0 Iterations\t0",
                   "1 Iterations\t1", "2 Iterations\t2", "3 Iterations\t3", "4 Iterations\t4",
                   "Use Q W E A S D to rotate", "Use +/- to scale cube size"}));
}

// Seven sizes from 1.0, each step of 0.01 worked in double and kept as a float: the last three
// lie one float step above the floats nearest 0.96, 0.95 and 0.94. Then back to exactly 1.0.
TEST(program, minus_shrinks_the_cubes_to_the_smallest_size_and_plus_regrows_them_to_exactly_full) {
    set(at_start);
    for (const float size :
         {0.99f, 0.98f, 0.97f, 0.96000004f, 0.95000005f, 0.94000006f, 0.94000006f, 0.94000006f}) {
        keyboard('-', 0, 0);
        EXPECT_EQ(cube_scale, size) << "down to " << size;
    }
    for (const float size : {0.95000005f, 0.96000004f, 0.97f, 0.98f, 0.99f, 1.0f, 1.0f, 1.0f}) {
        keyboard('+', 0, 0);
        EXPECT_EQ(cube_scale, size) << "up to " << size;
    }
}

// Each turning key turns 5 degrees about the sponge's own axis, as turned by an earlier 90 about y.
TEST(program, turning_keys_turn_five_degrees_about_the_sponge_s_own_axes) {
    const struct {
        unsigned char key;
        float degrees, x, y, z;
    } turns[] = {{'q', -5, 1, 0, 0}, {'e', 5, 1, 0, 0},  {'a', 5, 0, 1, 0},
                 {'d', -5, 0, 1, 0}, {'w', -5, 0, 0, 1}, {'s', 5, 0, 0, 1}};
    for (const auto& t : turns) {
        set(at_start);
        glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
        glRotatef(t.degrees, t.x, t.y, t.z);
        const matrix want = current(GL_MODELVIEW_MATRIX);
        set(at_start);
        glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
        keyboard(t.key, 0, 0);
        EXPECT_EQ(current(GL_MODELVIEW_MATRIX), want) << "key " << t.key;
        expect_settings(at_start, std::string("key ") + char(t.key));
        EXPECT_EQ(redraws, 1) << "key " << t.key;
    }
}

// The shorter side spans -2 to +2, the longer one as much more as it is longer, so the sponge
// stays square; a side of no pixels counts as one. Back to the modelview matrix, as it was.
TEST(program, a_resized_window_shows_the_sponge_square_and_keeps_the_turn) {
    // clang-format off
    const struct { int width, height; double half_width, half_height; } windows[] = {
        {500, 500, 2, 2}, {1000, 500, 4, 2}, {500, 800, 2, 3.2}, {0, 500, 2, 1000}, {500, 0, 1000, 2}};
    // clang-format on
    for (const auto& w : windows) {
        const std::string size = std::to_string(w.width) + " x " + std::to_string(w.height);
        set(at_start);
        glRotatef(30.0f, 0.0f, 1.0f, 0.0f);
        const matrix turned = current(GL_MODELVIEW_MATRIX);
        reshape(w.width, w.height);
        GLint mode, viewport[4];
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(mode, GL_MODELVIEW) << size;
        EXPECT_EQ(current(GL_MODELVIEW_MATRIX), turned) << size;
        EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4),
                  std::vector<GLint>({0, 0, w.width, w.height}));
        const matrix p = current(GL_PROJECTION_MATRIX); // depth -10 to +10: -2 / 20 = -0.1
        EXPECT_FLOAT_EQ(p[0], float(1 / w.half_width)) << size;
        EXPECT_FLOAT_EQ(p[5], float(1 / w.half_height)) << size;
        EXPECT_EQ(p, matrix({p[0], 0, 0, 0, 0, p[5], 0, 0, 0, 0, -0.1f, 0, 0, 0, 0, 1})) << size;
        EXPECT_EQ(redraws, 1) << size;
    }
}
