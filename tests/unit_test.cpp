// The program's own code, linked with its main: the tests run where main would enter GLUT's event
// loop, with its window, menu and scene set up.
#include "../app/app.h"
#include "../controls/controls.h"
#include "../sponge/sponge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using cube = std::tuple<float, float, float, double, bool>; // centre x, y, z, edge, solid
// lighting, solid, iterations, cube_scale, inverse
using settings = std::tuple<bool, bool, int, float, bool>;
static std::vector<cube> cubes;
static std::vector<std::pair<int, std::string>> menu;
static int redraws = 0;
static settings start;

static settings now() { return {lighting, solid, iterations, cube_scale, inverse}; }

// Back to the start, at the given depth, unturned, with nothing recorded.
static void reset(int depth = 1) {
    std::tie(lighting, solid, iterations, cube_scale, inverse) = start;
    iterations = depth;
    redraws = 0;
    cubes.clear();
    glEnable(GL_LIGHTING);
    glLoadIdentity();
}

// Recorded instead of drawn or asked for: the pictures are the end-to-end test's.
extern "C" {
void __real_glutAddMenuEntry(const char* label, int value);
static void record(double edge, bool is_solid) { // centred where the modelview matrix has moved to
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    cubes.emplace_back(m[12], m[13], m[14], edge, is_solid);
}
void __wrap_glutSolidCube(double edge) { record(edge, true); }
void __wrap_glutWireCube(double edge) { record(edge, false); }
void __wrap_glutPostRedisplay() { ++redraws; }
void __wrap_glutAddMenuEntry(const char* label, int value) {
    menu.emplace_back(value, label);
    __real_glutAddMenuEntry(label, value);
}
void __wrap_glutMainLoop() {
    start = now();
    testing::InitGoogleTest(); // options come as GTEST_ variables
    std::exit(RUN_ALL_TESTS());
}
}

// The settings, the lighting they switch and the frames asked for since the last reset; and the
// modelview matrix is the identity turned by `degrees` about axis 0, 1 or 2 (x, y, z) as
// glRotatef itself turns it.
static void expect(const settings& want, int frames, float degrees, int axis,
                   const std::string& after) {
    GLfloat turned[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, turned);
    GLfloat rotation[16];
    glPushMatrix();
    glLoadIdentity();
    glRotatef(degrees, axis == 0, axis == 1, axis == 2);
    glGetFloatv(GL_MODELVIEW_MATRIX, rotation);
    glPopMatrix();
    const bool lit = glIsEnabled(GL_LIGHTING);
    EXPECT_EQ(std::tuple(now(), lit, redraws), std::tuple(want, std::get<0>(want), frames))
        << after;
    EXPECT_TRUE(std::equal(turned, turned + 16, rotation)) << after;
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

TEST(program, a_frame_draws_the_cubes_the_rule_gives_in_their_order_and_keeps_the_matrix) {
    for (const bool wire : {false, true}) {
        for (const bool inverse_view : {false, true}) {
            for (int depth = 0; depth <= 3; ++depth) {
                reset(depth);
                solid = !wire;
                inverse = inverse_view;
                cube_scale = 0.94000006f; // here an edge worked in float would differ
                std::vector<cube> want;
                sponge(want, depth, 0, 0, 0, 2.0f);
                display();
                EXPECT_EQ(cubes, want) << "depth " << depth << (inverse ? ", inverse" : "");
                expect(now(), 0, 0, 0, "a frame");
            }
        }
    }
}

TEST(program, each_key_and_menu_entry_does_its_one_thing_and_asks_for_one_frame) {
    const settings lit = start; // depth 1, solid, full size, lit, normal view
    // clang-format off
    const struct { int key; settings after; float degrees; int axis; } commands[] = {
        // key, then lighting, solid, depth, scale, inverse, then the turn and its axis
        {'q', lit, -5, 0}, {'e', lit, 5, 0}, {'a', lit, 5, 1},
        {'d', lit, -5, 1}, {'w', lit, -5, 2}, {'s', lit, 5, 2},
        {'l', {false, true,  1, 1.0f,  false}, 0, 0}, {'f', {true, false, 1, 1.0f, false}, 0, 0},
        {'v', {true,  true,  1, 1.0f,  true},  0, 0}, {'-', {true, true,  1, 0.99f, false}, 0, 0},
        {'0', {true,  true,  0, 1.0f,  false}, 0, 0}, {'2', {true, true,  2, 1.0f, false}, 0, 0},
        {'3', {true,  true,  3, 1.0f,  false}, 0, 0}, {'4', {true, true,  4, 1.0f, false}, 0, 0},
        {'5', {true,  true,  5, 1.0f,  false}, 0, 0}};
    const std::vector<std::pair<int, std::string>> entries = {
        {1, "Lighting\tL"},     {2, "Inverse\tV"},      {3, "Wireframe\tF"},
        {4, "Exit demo\tEsc"},  {5, "0 Iterations\t0"}, {6, "1 Iterations\t1"},
        {7, "2 Iterations\t2"}, {8, "3 Iterations\t3"}, {9, "4 Iterations\t4"},
        {10, "Use Q W E A S D to rotate"},
        {11, "Use +/- to scale cube size"},
    };
    // The scale steps by 0.01 in double, kept as a float, down to 0.94000006 and back to 1.
    const std::pair<std::string, float> scales[] = {
        {"+", 1.0f}, {"----", 0.96000004f}, {"-----", 0.95000005f}, {"-------", 0.94000006f},
        {"-------+++++", 0.99f}, {"-------+++++++", 1.0f}};
    // clang-format on

    // Other bytes ('1', '+', upper case...) only ask for a frame; Esc is pressed end to end.
    for (int key = 0; key < 256; ++key) {
        if (key == 27) { continue; }
        const auto* row = std::find_if(std::begin(commands), std::end(commands),
                                       [key](const auto& c) { return c.key == key; });
        reset();
        keyboard(static_cast<unsigned char>(key), 0, 0);
        const std::string what = "key " + std::to_string(key);
        if (row == std::end(commands)) {
            expect(lit, 1, 0, 0, what);
        } else {
            expect(row->after, 1, row->degrees, row->axis, what);
        }
    }

    // An entry does what the key after its tab does, in lower case; the rest only ask for a frame.
    EXPECT_EQ(menu, entries);
    for (const int value : {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 0, 12, -1, INT_MIN, INT_MAX}) {
        reset(3); // so that choosing depth 1 shows
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [value](const auto& e) { return e.first == value; });
        if (entry != entries.end() && entry->second.find('\t') != std::string::npos) {
            keyboard(static_cast<unsigned char>(std::tolower(entry->second.back())), 0, 0);
        }
        const settings by_key = now();
        reset(3);
        menu_select(value);
        expect(by_key, 1, 0, 0, "menu value " + std::to_string(value));
    }

    for (const auto& [keys, scale] : scales) {
        reset();
        for (const char key : keys) { keyboard(key, 0, 0); }
        EXPECT_EQ(cube_scale, scale) << keys;
    }
}

// The shorter side spans -2 to +2 at any shape; a zero side gives no infinity; the turn stays.
TEST(program, the_projection_keeps_the_sponge_square_and_the_turn) {
    reset();
    keyboard('a', 0, 0);
    for (const auto& [w, h] : {std::pair{500, 500}, {1000, 500}, {500, 800}, {0, 500}, {500, 0}}) {
        reshape(w, h);
        display();
        GLfloat projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        if (w == 0 || h == 0) {
            for (const GLfloat value : projection) { EXPECT_TRUE(std::isfinite(value)) << w << h; }
            continue;
        }
        const double half_width = 2.0 * std::max(1.0, double(w) / h);
        const double half_height = 2.0 * std::max(1.0, double(h) / w);
        // clang-format off
        const GLfloat want[16] = {float(1 / half_width), 0, 0, 0,
                                  0, float(1 / half_height), 0, 0,
                                  0, 0, -0.1f, 0,
                                  0, 0, 0, 1};
        // clang-format on
        EXPECT_TRUE(std::equal(projection, projection + 16, want)) << w << " x " << h;
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), std::vector<GLint>({0, 0, w, h}));
    }
    expect(start, 6, 5, 1, "five window sizes");
}
