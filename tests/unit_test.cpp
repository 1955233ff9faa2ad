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
using matrix = std::array<GLfloat, 16>;
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

// The settings (GL_LIGHTING with them), the orientation unturned, no frame asked for.
static void set(const settings& s) {
    lighting = s.lighting;
    solid = s.solid;
    iterations = s.iterations;
    cube_scale = s.cube_scale;
    inverse = s.inverse;
    (s.lighting ? glEnable : glDisable)(GL_LIGHTING);
    glLoadIdentity();
    redraws = 0;
}

static auto tied(const settings& s) {
    return std::make_tuple(s.lighting, s.solid, s.iterations, s.cube_scale, s.inverse);
}

// Lighting, solid, iterations, cube_scale and inverse; GL_LIGHTING as lighting.
static void expect_settings(const settings& want, const std::string& after,
                            const settings& got = now(), bool lit = glIsEnabled(GL_LIGHTING)) {
    EXPECT_EQ(tied(got), tied(want)) << after;
    EXPECT_EQ(lit, want.lighting) << after << ": GL_LIGHTING";
}

// Recorded instead of asked for or shown.
extern "C" {
void __wrap_glutPostRedisplay() { ++redraws; }
void __wrap_glutAddMenuEntry(const char* label, int value) { menu.emplace_back(label, value); }
void __wrap_glutMainLoop() {
    at_start = now();
    lit_at_start = glIsEnabled(GL_LIGHTING);
    testing::InitGoogleTest(); // options come as GTEST_ variables
    std::exit(RUN_ALL_TESTS());
}
}

// At start: lit, solid cubes, depth 1, full size, the kept cubes. The end-to-end test sees what
// the turning keys, l, v, f, the digits to 3, + and - and their menu entries do to the picture;
// here, from a state where every setting is away from its start: the depth keys and entries (5
// has none) set the depth and nothing else; any other key, the reminders and values that no entry
// has change nothing. Each asks for one new frame. (The page's test reads the menu's labels, which
// the page has from this same code.)
TEST(program, depth_keys_and_entries_set_the_depth_and_other_keys_and_values_change_nothing) {
    expect_settings({true, true, 1, 1.0f, false}, "at start", at_start, lit_at_start);
    const settings elsewhere = {false, false, 3, 0.97f, true};
    const auto only = [](const settings& want, const std::string& after) {
        expect_settings(want, after);
        EXPECT_EQ(redraws, 1) << after;
        EXPECT_EQ(current(GL_MODELVIEW_MATRIX), unturned) << after;
    };
    const auto value_of = [](const std::string& label) { // 0 for none: choosing it does nothing
        const auto entry =
            std::find_if(menu.begin(), menu.end(), [&](auto& e) { return e.first == label; });
        return entry == menu.end() ? 0 : entry->second;
    };
    for (int depth = 0; depth <= 5; ++depth) {
        settings from = elsewhere, want = elsewhere;
        from.iterations = depth == 3 ? 1 : 3; // so that the change shows
        want.iterations = depth;
        const std::string key(1, static_cast<char>('0' + depth)),
            entry = key + " Iterations\t" + key;
        set(from);
        keyboard(key[0], 0, 0);
        only(want, "key " + key);
        set(from);
        menu_select(value_of(entry));
        only(depth < 5 ? want : from, entry);
    }
    const std::string commands = "qeadws\x1blvf012345+-";
    for (int key = 0; key < 256; ++key) {
        if (commands.find(static_cast<char>(key)) != std::string::npos) { continue; }
        set(elsewhere);
        keyboard(static_cast<unsigned char>(key), 0, 0);
        only(elsewhere, "key " + std::to_string(key));
    }
    for (const int value : {value_of("Use Q W E A S D to rotate"),
                            value_of("Use +/- to scale cube size"), 0, 12, -1, INT_MIN, INT_MAX}) {
        set(elsewhere);
        menu_select(value);
        only(elsewhere, "menu value " + std::to_string(value));
    }
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

// The shorter side spans -2 to +2, the longer one as much more as it is longer, so the sponge
// stays square; a side of no pixels counts as one. Back to the modelview matrix, as it was, which
// the frame that follows leaves so too.
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
        display(); // which asks for no other frame
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
