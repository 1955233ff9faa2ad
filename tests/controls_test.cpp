// The keyboard and the menu: what every key and menu value changes, that each
// asks for one frame, and that Esc and the menu's exit end the process.
#include "gl_test.h"

#include "../app/app.h"
#include "../controls/controls.h"

#include <algorithm>
#include <climits>

namespace {

using controls = gl_test;

struct settings {
    bool lighting = true, solid = true;
    int iterations = 1;
    float cube_scale = 1.0f;
    bool inverse = false;
};

// A rotation about one axis (0, 1, 2 for x, y, z) by `degrees`, or none.
struct turn {
    int axis = -1;
    double degrees = 0;
};

// What commands must leave behind: the settings, the modelview rotation,
// GL_LIGHTING matching `lighting`, one redraw asked for per command, and a
// next frame that reads the settings.
void expect_after(const settings& want, turn t, int commands = 1) {
    EXPECT_EQ(lighting, want.lighting);
    EXPECT_EQ(solid, want.solid);
    EXPECT_EQ(iterations, want.iterations);
    EXPECT_EQ(cube_scale, want.cube_scale);
    EXPECT_EQ(inverse, want.inverse);
    EXPECT_EQ(glIsEnabled(GL_LIGHTING), want.lighting ? GL_TRUE : GL_FALSE);
    EXPECT_EQ(redisplays, commands);

    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const double pi = std::acos(-1.0), c = std::cos(t.degrees * pi / 180),
                 s = std::sin(t.degrees * pi / 180);
    for (int col = 0; col < 3; ++col) {
        for (int row = 0; row < 3; ++row) {
            double e = col == row ? 1.0 : 0.0;
            if (t.axis >= 0 && col != t.axis && row != t.axis) {
                // The two axes that turn: (u, v) -> (u cos - v sin, u sin + v cos).
                const int u = (t.axis + 1) % 3;
                e = col == row ? c : (row == u ? -s : s);
            }
            EXPECT_NEAR(m[col * 4 + row], e, 1e-6) << "row " << row << " col " << col;
        }
    }

    if (want.iterations < 5) { // a depth-5 frame takes seconds here
        cubes.clear();
        display();
        const size_t kept = static_cast<size_t>(std::pow(20, want.iterations));
        const size_t shown = want.inverse ? (want.iterations == 0 ? 7 : 7 * (kept - 1) / 19) : kept;
        ASSERT_EQ(cubes.size(), shown);
        EXPECT_EQ(cubes.back().solid, want.solid);
        const float cell =
            static_cast<float>(2.0 / std::pow(3, std::max(want.iterations, want.inverse ? 1 : 0)));
        EXPECT_EQ(cubes.back().edge, static_cast<double>(cell) * want.cube_scale);
    }
}

void reset() {
    lighting = solid = true;
    inverse = false;
    iterations = 1;
    cube_scale = 1.0f;
    glEnable(GL_LIGHTING);
    glLoadIdentity();
    redisplays = 0;
}

struct key_row {
    unsigned char key;
    settings after;
    turn t;
};

settings with(void (*change)(settings&)) {
    settings s;
    change(s);
    return s;
}

const key_row key_rows[] = {
    {'q', {}, {0, -5}},
    {'e', {}, {0, 5}},
    {'a', {}, {1, 5}},
    {'d', {}, {1, -5}},
    {'w', {}, {2, -5}},
    {'s', {}, {2, 5}},
    {'l', with([](settings& s) { s.lighting = false; }), {}},
    {'f', with([](settings& s) { s.solid = false; }), {}},
    {'v', with([](settings& s) { s.inverse = true; }), {}},
    {'0', with([](settings& s) { s.iterations = 0; }), {}},
    {'2', with([](settings& s) { s.iterations = 2; }), {}},
    {'3', with([](settings& s) { s.iterations = 3; }), {}},
    {'4', with([](settings& s) { s.iterations = 4; }), {}},
    {'5', with([](settings& s) { s.iterations = 5; }), {}},
    {'-', with([](settings& s) { s.cube_scale = 0.99f; }), {}},
};

TEST_F(controls, each_key_does_its_one_thing_and_asks_for_one_frame) {
    for (const key_row& r : key_rows) {
        SCOPED_TRACE(testing::Message() << "key '" << r.key << "'");
        reset();
        keyboard(r.key, 0, 0);
        expect_after(r.after, r.t);
    }
    // Every other byte, '1' and '+' among them (they change nothing from the
    // start), upper-case letters and control characters, only asks for a frame.
    for (int key = 0; key < 256; ++key) {
        const bool acts =
            key == 27 || std::any_of(std::begin(key_rows), std::end(key_rows),
                                     [key](const key_row& r) { return r.key == key; });
        if (!acts) {
            SCOPED_TRACE(testing::Message() << "byte " << key);
            reset();
            keyboard(static_cast<unsigned char>(key), 0, 0);
            expect_after({}, {});
        }
    }
}

TEST_F(controls, toggles_come_back_and_lighting_off_is_flat_red) {
    keyboard('l', 0, 0);
    display();
    EXPECT_EQ(count_wrong(read_pixels(500, 500), 500, 500, 250, 3, rgb{255, 0, 0}, in_carpet), 0);
    for (const unsigned char key : {'l', 'f', 'f', 'v', 'v'}) {
        keyboard(key, 0, 0);
    }
    expect_after({}, {}, 6);
}

TEST_F(controls, scale_steps_in_double_and_stops_at_both_ends) {
    const float down[] = {0.99f, 0.98f, 0.97f, 0.96000004f, 0.95000005f, 0.94000006f, 0.94000006f};
    const float up[] = {0.95000005f, 0.96000004f, 0.97f, 0.98f, 0.99f, 1.0f, 1.0f};
    ASSERT_NE(0.96000004f, 0.96f); // not merely the floats nearest the decimals
    ASSERT_NE(0.95000005f, 0.95f);
    keyboard('+', 0, 0);
    EXPECT_EQ(cube_scale, 1.0f);
    for (const float want : down) {
        keyboard('-', 0, 0);
        EXPECT_EQ(cube_scale, want);
    }
    for (const float want : up) {
        keyboard('+', 0, 0);
        EXPECT_EQ(cube_scale, want);
    }
}

TEST_F(controls, menu_has_eleven_entries_and_each_does_what_its_key_does) {
    menu_entries.clear();
    const int menu = create_menu();
    EXPECT_EQ(glutGetMenu(), menu);
    EXPECT_EQ(glutGet(GLUT_MENU_NUM_ITEMS), 11);
    const std::vector<menu_entry> want = {
        {"Lighting\tL", 1},
        {"Inverse\tV", 2},
        {"Wireframe\tF", 3},
        {"Exit demo\tEsc", 4},
        {"0 Iterations\t0", 5},
        {"1 Iterations\t1", 6},
        {"2 Iterations\t2", 7},
        {"3 Iterations\t3", 8},
        {"4 Iterations\t4", 9},
        {"Use Q W E A S D to rotate", 10},
        {"Use +/- to scale cube size", 11},
    };
    EXPECT_EQ(menu_entries, want);

    const struct {
        int value;
        settings after;
    } rows[] = {
        {1, with([](settings& s) { s.lighting = false; })},
        {2, with([](settings& s) { s.inverse = true; })},
        {3, with([](settings& s) { s.solid = false; })},
        {5, with([](settings& s) { s.iterations = 0; })},
        {6, {}},
        {7, with([](settings& s) { s.iterations = 2; })},
        {8, with([](settings& s) { s.iterations = 3; })},
        {9, with([](settings& s) { s.iterations = 4; })},
        {10, {}},
        {11, {}},
        {0, {}},
        {12, {}},
        {-1, {}},
        {INT_MIN, {}},
        {INT_MAX, {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "value " << r.value);
        reset();
        if (r.value == 6) {
            iterations = 3; // so that setting depth 1 shows
        }
        menu_select(r.value);
        expect_after(r.after, {});
    }
}

TEST_F(controls, esc_and_the_menus_exit_end_the_process_with_status_zero) {
    EXPECT_EXIT(keyboard(27, 0, 0), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(menu_select(4), testing::ExitedWithCode(0), "");
}

} // namespace
