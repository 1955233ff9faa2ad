// The program's own code, linked with its main: the tests run where main would enter GLUT's event
// loop, with its window, menu and scene set up.
#include "../app/app.h"
#include "../controls/controls.h"
#include "../sponge/sponge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using cube = std::tuple<float, float, float, double, bool>; // centre x, y, z, edge, solid
using settings = std::tuple<bool, bool, int, float, bool>;  // as now() lists them
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
static void record(double edge, bool is_solid) { // centred where the modelview matrix has moved to
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    cubes.emplace_back(m[12], m[13], m[14], edge, is_solid);
}
void __wrap_glutSolidCube(double edge) { record(edge, true); }
void __wrap_glutWireCube(double edge) { record(edge, false); }
void __wrap_glutPostRedisplay() { ++redraws; }
void __wrap_glutAddMenuEntry(const char* label, int value) { menu.emplace_back(value, label); }
void __wrap_glutMainLoop() {
    start = now();
    testing::InitGoogleTest(); // options come as GTEST_ variables
    std::exit(RUN_ALL_TESTS());
}
}

// The settings, the lighting state and the frames asked for since the reset; and the identity
// turned by `degrees` about axis 0, 1 or 2 (x, y, z), as glRotatef itself turns it.
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
    // clang-format on

    // Other bytes ('1', '+', upper case...) only ask for a frame; Esc is pressed end to end.
    for (int key = 0; key < 256; ++key) {
        if (key == 27) { continue; }
        const auto* row = std::find_if(std::begin(commands), std::end(commands),
                                       [key](const auto& c) { return c.key == key; });
        const bool listed = row != std::end(commands);
        reset();
        keyboard(static_cast<unsigned char>(key), 0, 0);
        expect(listed ? row->after : lit, 1, listed ? row->degrees : 0, listed ? row->axis : 0,
               "key " + std::to_string(key));
    }

    // An entry does what the key after its tab does, in lower case; the rest only ask for a frame.
    EXPECT_EQ(menu, entries);
    for (const int value : {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 0, 12, -1, INT_MIN, INT_MAX}) {
        const std::string label = value >= 1 && value <= 11 ? entries[value - 1].second : "";
        reset(3); // so that choosing depth 1 shows
        if (label.find('\t') != std::string::npos) {
            keyboard(static_cast<unsigned char>(std::tolower(label.back())), 0, 0);
        }
        const settings by_key = now();
        reset(3);
        menu_select(value);
        expect(by_key, 1, 0, 0, "menu value " + std::to_string(value));
    }
}

// The shorter side spans -2 to +2, the longer one as much more as it is longer, so the sponge
// stays square; a side of no pixels counts as one. The scales are 1 over those half-widths.
TEST(program, the_projection_keeps_the_sponge_square_and_the_turn) {
    reset();
    keyboard('a', 0, 0);
    // clang-format off
    const struct { int w, h; float x_scale, y_scale; } shapes[] = {
        {1000, 500, 0.25f, 0.5f}, {500, 800, 0.5f, 0.3125f}, {0, 500, 0.5f, 0.001f}, {500, 0, 0.001f, 0.5f}};
    // clang-format on
    for (const auto& shape : shapes) {
        reshape(shape.w, shape.h);
        GLfloat m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        EXPECT_EQ(std::vector<GLfloat>({m[0], m[5], m[10], m[12], m[13], m[14], m[15]}),
                  std::vector<GLfloat>({shape.x_scale, shape.y_scale, -0.1f, 0, 0, 0, 1}));
    }
    expect(start, 5, 5, 1, "a key and four window sizes");
}
