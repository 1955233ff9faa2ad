// The program's own code, linked with its main: the tests run where main would enter GLUT's event
// loop, with its window, menu and scene set up. Cubes, redraws and menu entries are recorded.
#include "../app/app.h"
#include "../controls/controls.h"
#include "../sponge/sponge.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using cube = std::tuple<float, float, float, double, bool>; // centre, edge, solid
using settings = std::tuple<bool, bool, int, float, bool>;
static std::vector<cube> cubes;
static std::vector<std::pair<int, std::string>> menu;
static int redraws = 0;
static settings start;

static settings now() { return {lighting, solid, iterations, cube_scale, inverse}; }

// Back to the start, at the given depth, with nothing recorded.
static void reset(int depth = 1) {
    std::tie(lighting, solid, iterations, cube_scale, inverse) = start;
    iterations = depth, redraws = 0, cubes.clear();
    glEnable(GL_LIGHTING), glLoadIdentity();
}

extern "C" {
void __real_glutSolidCube(double), __real_glutWireCube(double), __real_glutPostRedisplay();
void __real_glutAddMenuEntry(const char*, int);
static void record(double edge, bool is_solid) {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    cubes.emplace_back(m[12], m[13], m[14], edge, is_solid);
}
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

// The settings, the lighting they switch and the frames asked for since the last reset; and the
// modelview matrix is the identity turned as glRotatef turns it.
static void expect(const settings& want, int frames, float degrees, int axis, std::string after) {
    GLfloat m[32]; // the modelview matrix, then the one glRotatef makes of the identity
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glPushMatrix(), glLoadIdentity(), glRotatef(degrees, axis == 0, axis == 1, axis == 2);
    glGetFloatv(GL_MODELVIEW_MATRIX, m + 16), glPopMatrix();
    EXPECT_EQ(
        std::tuple(now(), glIsEnabled(GL_LIGHTING) == 1, redraws, std::equal(m, m + 16, m + 16)),
        std::tuple(want, std::get<0>(want), frames, true))
        << after;
}

// The cubes of a sponge from the rule, not the program's tables: of 27 cells (layer z + s first,
// row y + s first, x - s before x + s) it keeps those with two or three non-zero offsets; the
// inverse view draws the seven others in their own order, then recurses corners first.
static void sponge(std::vector<cube>& out, int level, float x, float y, float z, float size) {
    const float s = static_cast<float>(size / 3.0);
    const double scale = cube_scale;
    const auto at = [s](float centre, int k) { return static_cast<float>(centre + k * double(s)); };
    if (level == 0 && !inverse) return void(out.emplace_back(x, y, z, size * scale, solid));
    const int r[] = {0, 1, 0, 0, 0, 1, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, -1, 0, 0, 0, -1}; // removed
    for (int c = 0; inverse && c < 21; c += 3) {
        out.emplace_back(at(x, r[c]), at(y, r[c + 1]), at(z, r[c + 2]), s * scale, solid);
    }
    for (int c = 0; c < 54 && (!inverse || level > 1); ++c) {
        const int i = c % 3 - 1, j = 1 - c / 3 % 3, k = 1 - c / 9 % 3, nonzero = !!i + !!j + !!k;
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
        expect(now(), 0, 0, 0, "a frame");
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
    // The scale steps by 0.01 in double, kept as a float, down to 0.94000006 and back to 1.
    const std::pair<const char*, float> scales[] = {{"+", 1.0f}, {"----", 0.96000004f}, {"-----", 0.95000005f},
        {"-------", 0.94000006f}, {"-------+++++", 0.99f}, {"-------+++++++", 1.0f}};
    // clang-format on
    // Other bytes ('1', '+', upper case...) only ask for a frame; Esc is pressed end to end.
    for (int key = 0; key < 256; ++key) {
        if (key == 27) continue;
        const auto* row = std::find_if(std::begin(commands), std::end(commands),
                                       [key](const auto& c) { return c.key == key; });
        const bool command = row != std::end(commands);
        reset();
        keyboard(static_cast<unsigned char>(key), 0, 0);
        expect(command ? row->after : start, 1, command ? row->degrees : 0, command ? row->axis : 0,
               "key " + std::to_string(key));
    }
    // An entry does what the key after its tab does, lower case; the rest only asks for a frame.
    EXPECT_EQ(menu, entries);
    for (const int value : {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 0, 12, -1, INT_MIN, INT_MAX}) {
        const std::string label = value >= 1 && value <= 11 ? entries[value - 1].second : "";
        reset(3); // so that choosing depth 1 shows
        if (label.find('\t') != std::string::npos) keyboard(std::tolower(label.back()), 0, 0);
        const settings by_key = now();
        reset(3);
        menu_select(value);
        expect(by_key, 1, 0, 0, "menu value " + std::to_string(value));
    }
    for (const auto& [keys, scale] : scales) {
        reset();
        for (const char key : std::string(keys)) keyboard(key, 0, 0);
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
        GLfloat p[20]; // the projection matrix, then the viewport
        glGetFloatv(GL_PROJECTION_MATRIX, p), glGetFloatv(GL_VIEWPORT, p + 16);
        const double x = 2 * std::max(1.0, double(w) / h), y = 2 * std::max(1.0, double(h) / w);
        // clang-format off
        const GLfloat want[20] = {float(1 / x), 0, 0, 0,  0, float(1 / y), 0, 0,  0, 0, -0.1f, 0,  0, 0, 0, 1,
                                  0, 0, float(w), float(h)};
        // clang-format on
        for (int i = 0; i < 20; ++i) EXPECT_TRUE(w && h ? p[i] == want[i] : std::isfinite(p[i]));
    }
    expect(start, 6, 5, 1, "five window sizes");
}

// Lights keep the positions given under the identity, in eye space: fixed to the viewer.
TEST(program, init_sets_three_lights_fixed_to_the_viewer_and_the_green_material) {
    // clang-format off
    const struct { GLenum from, name; GLfloat value[4]; } rows[] = {
        {GL_FRONT, GL_DIFFUSE, {0.3f, 1, 0.4f, 1}}, {GL_FRONT, GL_SHININESS, {3}},
        {GL_LIGHT0, GL_POSITION, {1, -1, 1, 0}},    {GL_LIGHT1, GL_DIFFUSE, {1, 0, 0, 1}},
        {GL_LIGHT1, GL_SPECULAR, {1, 1, 1, 1}},     {GL_LIGHT1, GL_POSITION, {0, 1, 1, 1}},
        {GL_LIGHT2, GL_DIFFUSE, {0, 0, 1, 0.5f}},   {GL_LIGHT2, GL_SPECULAR, {1, 1, 1, 1}},
        {GL_LIGHT2, GL_POSITION, {-0.75f, -1, 1, 1}}, {0, GL_SHADE_MODEL, {GL_SMOOTH}},
        {0, GL_DEPTH_TEST, {1}}, {0, GL_LIGHT0, {1}}, {0, GL_LIGHT1, {1}}, {0, GL_LIGHT2, {1}}};
    // clang-format on
    for (const auto& r : rows) {
        GLfloat got[4] = {};
        r.from == GL_FRONT ? glGetMaterialfv(GL_FRONT, r.name, got)
        : r.from           ? glGetLightfv(r.from, r.name, got)
                           : glGetFloatv(r.name, got);
        EXPECT_TRUE(std::equal(got, got + 4, r.value)) << std::hex << r.from << ", " << r.name;
    }
}
