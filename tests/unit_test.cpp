// The program's own code, linked with its main: the tests take over where main would enter
// GLUT's event loop, with the window, menu and scene that main has set up. The cubes drawn, the
// frames asked for and the menu entries are recorded on their way to GLUT.
#include "../app/app.h"
#include "../controls/controls.h"
#include "../sponge/sponge.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

// A cube drawn: where the modelview matrix puts it, its edge, and whether it is solid.
using cube = std::tuple<float, float, float, double, bool>;
using settings = std::tuple<bool, bool, int, float, bool>;
std::vector<cube> cubes;
std::vector<std::pair<int, std::string>> menu;
int redraws = 0;
settings start;

settings now() { return {lighting, solid, iterations, cube_scale, inverse}; }
void record(double edge, bool is_solid) {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    cubes.emplace_back(m[12], m[13], m[14], edge, is_solid);
}

// Back to the start, at the given depth, with nothing recorded.
void reset(int depth = 1) {
    std::tie(lighting, solid, iterations, cube_scale, inverse) = start;
    iterations = depth, redraws = 0, cubes.clear();
    glEnable(GL_LIGHTING);
    glLoadIdentity();
}

} // namespace

extern "C" {
void __real_glutSolidCube(double), __real_glutWireCube(double), __real_glutPostRedisplay();
void __real_glutAddMenuEntry(const char*, int);
void __wrap_glutSolidCube(double edge) { record(edge, true), __real_glutSolidCube(edge); }
void __wrap_glutWireCube(double edge) { record(edge, false), __real_glutWireCube(edge); }
void __wrap_glutPostRedisplay() { ++redraws, __real_glutPostRedisplay(); }
void __wrap_glutAddMenuEntry(const char* label, int value) {
    menu.emplace_back(value, label), __real_glutAddMenuEntry(label, value);
}
void __wrap_glutMainLoop() {
    start = now();
    testing::InitGoogleTest(); // options come as GTEST_ variables
    std::exit(RUN_ALL_TESTS());
}
}

namespace {

// The modelview matrix, alone on its stack, is the identity turned as glRotatef turns it.
void expect_turned(float degrees, int axis, const std::string& after) {
    GLfloat m[16], want[16];
    GLint stack = 0;
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &stack);
    glPushMatrix();
    glLoadIdentity();
    glRotatef(degrees, axis == 0, axis == 1, axis == 2);
    glGetFloatv(GL_MODELVIEW_MATRIX, want);
    glPopMatrix();
    EXPECT_TRUE(std::equal(m, m + 16, want) && stack == 1) << after;
}

// The cubes of a sponge from the rule rather than from the program's tables: of the 27 cells
// (layer z + s first, row y + s first, x - s before x + s) it keeps those with two or three
// non-zero offsets. The inverse view draws the seven others in its own order, then recurses
// into the kept cells, corners first.
void sponge(std::vector<cube>& out, int level, float x, float y, float z, float size) {
    const float s = static_cast<float>(size / 3.0);
    const auto at = [s](float centre, int k) { return static_cast<float>(centre + k * double(s)); };
    if (level == 0 && !inverse)
        return void(out.emplace_back(x, y, z, size * double(cube_scale), solid));
    const int removed[7][3] = {{0, 1, 0}, {0, 0, 1},  {-1, 0, 0}, {0, 0, 0},
                               {1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    for (const auto& [i, j, k] : removed) {
        if (inverse) out.emplace_back(at(x, i), at(y, j), at(z, k), s * double(cube_scale), solid);
    }
    for (int c = 0; c < 54 && (!inverse || level > 1); ++c) { // corners first in the inverse view
        const int i = c % 3 - 1, j = 1 - c / 3 % 3, k = 1 - c / 9 % 3;
        const int nonzero = (i != 0) + (j != 0) + (k != 0);
        if (inverse ? nonzero == 3 - c / 27 : nonzero >= 2 && c < 27) {
            sponge(out, level - 1, at(x, i), at(y, j), at(z, k), s);
        }
    }
}

TEST(program, a_frame_draws_the_cubes_the_rule_gives_in_their_order_and_keeps_the_matrix) {
    for (int mode = 0; mode < 16; ++mode) {
        reset(mode % 4);
        std::tie(inverse, solid) = std::tuple(mode / 4 % 2 == 1, mode < 8);
        cube_scale = 0.94000006f; // the drawn edge is worked in double: in float it differs here
        std::vector<cube> want;
        sponge(want, iterations, 0, 0, 0, 2.0f);
        display();
        EXPECT_EQ(cubes, want) << "depth " << iterations << (inverse ? ", inverse" : "");
        expect_turned(0, 0, "a frame");
    }
}

TEST(program, each_key_and_menu_entry_does_its_one_thing_and_asks_for_one_frame) {
    // From the start: the settings after the key, and its turn about axis 0, 1 or 2 (x, y, z).
    // clang-format off
    const struct { int key; settings after; float degrees; int axis; } commands[] = {
        {'q', start, -5, 0}, {'e', start, 5, 0}, {'a', start, 5, 1},
        {'d', start, -5, 1}, {'w', start, -5, 2}, {'s', start, 5, 2},
        {'l', {false, true, 1, 1.0f, false}, 0, 0}, {'f', {true, false, 1, 1.0f, false}, 0, 0},
        {'v', {true, true, 1, 1.0f, true}, 0, 0},   {'-', {true, true, 1, 0.99f, false}, 0, 0},
        {'0', {true, true, 0, 1.0f, false}, 0, 0},  {'2', {true, true, 2, 1.0f, false}, 0, 0},
        {'3', {true, true, 3, 1.0f, false}, 0, 0},  {'4', {true, true, 4, 1.0f, false}, 0, 0},
        {'5', {true, true, 5, 1.0f, false}, 0, 0}};
    const std::vector<std::pair<int, std::string>> entries = {
        {1, "Lighting\tL"}, {2, "Inverse\tV"}, {3, "Wireframe\tF"}, {4, "Exit demo\tEsc"},
        {5, "0 Iterations\t0"}, {6, "1 Iterations\t1"}, {7, "2 Iterations\t2"},
        {8, "3 Iterations\t3"}, {9, "4 Iterations\t4"},
        {10, "Use Q W E A S D to rotate"}, {11, "Use +/- to scale cube size"}};
    // clang-format on
    const auto expect = [](const settings& want, const std::string& after) {
        EXPECT_EQ(std::tuple(now(), glIsEnabled(GL_LIGHTING) == GL_TRUE, redraws),
                  std::tuple(want, std::get<0>(want), 1))
            << after;
    };
    // Every other byte, '1', '+' and upper case among them, changes nothing.
    for (int key = 0; key < 256; ++key) {
        const auto* row = std::find_if(std::begin(commands), std::end(commands),
                                       [key](const auto& c) { return c.key == key; });
        const bool command = row != std::end(commands);
        if (key == 27) continue; // Esc ends the process: the end-to-end test presses it
        reset();
        keyboard(static_cast<unsigned char>(key), 0, 0);
        expect(command ? row->after : start, "key " + std::to_string(key));
        expect_turned(command ? row->degrees : 0, command ? row->axis : 0, std::to_string(key));
    }
    // The menu's entries; each does what the key after its tab does, in lower case, and the
    // others only ask for a frame (the end-to-end test chooses "Exit demo"). From depth 3, so
    // that choosing depth 1 shows.
    EXPECT_EQ(menu, entries);
    for (const int value : {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 0, 12, -1, INT_MIN, INT_MAX}) {
        const std::string label = value >= 1 && value <= 11 ? entries[value - 1].second : "";
        reset(3);
        if (label.find('\t') != std::string::npos) keyboard(std::tolower(label.back()), 0, 0);
        const settings by_key = now();
        reset(3);
        menu_select(value);
        expect(by_key, "menu value " + std::to_string(value));
    }
}

TEST(program, scale_steps_in_double_through_seven_sizes_and_stops_at_both_ends) {
    const float sizes[] = {1.0f, 0.99f, 0.98f, 0.97f, 0.96000004f, 0.95000005f, 0.94000006f};
    reset();
    int at = 0;
    for (const char key : std::string("+-------+++++++")) {
        keyboard(key, 0, 0);
        at = std::clamp(at + (key == '-' ? 1 : -1), 0, 6);
        EXPECT_EQ(cube_scale, sizes[at]) << "a '" << key << "' should give " << sizes[at];
    }
}

// The shorter side spans -2 to +2 whatever the window's shape, and a zero side gives no
// infinities. The turn stays through resizes and frames.
TEST(program, the_projection_keeps_the_sponge_square_and_the_turn) {
    reset();
    keyboard('a', 0, 0);
    for (const auto& [w, h] : {std::pair{500, 500}, {1000, 500}, {500, 800}, {0, 500}, {500, 0}}) {
        reshape(w, h);
        display();
        GLfloat p[16];
        GLint view[4];
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        glGetIntegerv(GL_VIEWPORT, view);
        const double x = 2 * std::max(1.0, double(w) / h), y = 2 * std::max(1.0, double(h) / w);
        const GLfloat want[16] = {
            float(1 / x), 0, 0, 0, 0, float(1 / y), 0, 0, 0, 0, -0.1f, 0, 0, 0, 0, 1};
        for (int i = 0; i < 16; ++i) EXPECT_TRUE(w && h ? p[i] == want[i] : std::isfinite(p[i]));
        EXPECT_EQ(std::pair(view[2], view[3]), std::pair(w, h));
        expect_turned(5, 1, std::to_string(w) + " x " + std::to_string(h));
    }
    EXPECT_EQ(redraws, 6);
}

// The lights, material and switches that init leaves. Lights keep their positions in eye
// space: given once under the identity, they stay fixed to the viewer.
TEST(program, init_sets_three_lights_fixed_to_the_viewer_and_the_green_material) {
    // clang-format off
    const struct { GLenum from, name; GLfloat value[4]; } rows[] = {
        {GL_FRONT, GL_DIFFUSE, {0.3f, 1, 0.4f, 1}}, {GL_FRONT, GL_SHININESS, {3}},
        {GL_LIGHT0, GL_POSITION, {1, -1, 1, 0}},    {GL_LIGHT1, GL_DIFFUSE, {1, 0, 0, 1}},
        {GL_LIGHT1, GL_SPECULAR, {1, 1, 1, 1}},     {GL_LIGHT1, GL_POSITION, {0, 1, 1, 1}},
        {GL_LIGHT2, GL_DIFFUSE, {0, 0, 1, 0.5f}},   {GL_LIGHT2, GL_SPECULAR, {1, 1, 1, 1}},
        {GL_LIGHT2, GL_POSITION, {-0.75f, -1, 1, 1}}, {0, GL_SHADE_MODEL, {GL_SMOOTH}},
        {0, GL_DEPTH_TEST, {1}}, {0, GL_LIGHT0, {1}}, {0, GL_LIGHT1, {1}}, {0, GL_LIGHT2, {1}},
        {0, GL_LIGHT3, {0}}, {0, GL_COLOR_MATERIAL, {0}}, {0, GL_CULL_FACE, {0}}, {0, GL_NORMALIZE, {0}}};
    // clang-format on
    for (const auto& r : rows) {
        GLfloat got[4] = {};
        r.from == GL_FRONT ? glGetMaterialfv(GL_FRONT, r.name, got)
        : r.from           ? glGetLightfv(r.from, r.name, got)
                           : glGetFloatv(r.name, got);
        EXPECT_TRUE(std::equal(got, got + 4, r.value)) << std::hex << r.from << ", " << r.name;
    }
}

} // namespace
