// The keyboard and the menu: what every key and menu value changes, that each
// asks for one frame, and that Esc and the menu's exit end the process.
#include "gl_test.h"

#include "../app/app.h"
#include "../controls/controls.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

using controls = gl_test;

struct settings {
    bool lighting, solid;
    int iterations;
    float cube_scale;
    bool inverse;
};
const settings start{true, true, 1, 1.0f, false};

void set(const settings& s) {
    lighting = s.lighting, solid = s.solid, iterations = s.iterations;
    cube_scale = s.cube_scale, inverse = s.inverse;
    glEnable(GL_LIGHTING);
    glLoadIdentity();
    redisplays = 0;
}

// What commands must leave behind: the settings, GL_LIGHTING matching
// `lighting`, one redraw asked for per command, a modelview matrix turned
// by `degrees` about `axis` (0, 1, 2 for x, y, z; -1 for none), and a next
// frame that reads the settings.
void expect_after(const settings& want, int axis = -1, double degrees = 0, int commands = 1) {
    EXPECT_EQ(lighting, want.lighting);
    EXPECT_EQ(solid, want.solid);
    EXPECT_EQ(iterations, want.iterations);
    EXPECT_EQ(cube_scale, want.cube_scale);
    EXPECT_EQ(inverse, want.inverse);
    EXPECT_EQ(glIsEnabled(GL_LIGHTING), want.lighting ? GL_TRUE : GL_FALSE);
    EXPECT_EQ(redisplays, commands);

    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const double c = std::cos(degrees * M_PI / 180), s = std::sin(degrees * M_PI / 180);
    for (int col = 0; col < 3; ++col) {
        for (int row = 0; row < 3; ++row) {
            // The two other axes turn: (u, v) -> (u cos - v sin, u sin + v cos).
            const bool turns = axis >= 0 && col != axis && row != axis;
            const double e = !turns ? col == row : col == row ? c : row == (axis + 1) % 3 ? -s : s;
            EXPECT_NEAR(m[col * 4 + row], e, 1e-6) << "row " << row << " col " << col;
        }
    }

    if (want.iterations < 5) { // a depth-5 frame takes seconds here
        cubes.clear();
        display();
        const size_t kept = static_cast<size_t>(std::pow(20, want.iterations));
        EXPECT_EQ(cubes.size(), !want.inverse          ? kept
                                : want.iterations == 0 ? 7
                                                       : 7 * (kept - 1) / 19);
        EXPECT_EQ(cubes.back().solid, want.solid);
    }
}

const struct {
    unsigned char key;
    settings after;
    int axis;
    double degrees;
} key_rows[] = {
    // key  lighting solid depth scale inverse   turn
    {'q', start, 0, -5},
    {'e', start, 0, 5},
    {'a', start, 1, 5},
    {'d', start, 1, -5},
    {'w', start, 2, -5},
    {'s', start, 2, 5},
    {'l', {false, true, 1, 1.0f, false}, -1, 0},
    {'f', {true, false, 1, 1.0f, false}, -1, 0},
    {'v', {true, true, 1, 1.0f, true}, -1, 0},
    {'0', {true, true, 0, 1.0f, false}, -1, 0},
    {'2', {true, true, 2, 1.0f, false}, -1, 0},
    {'3', {true, true, 3, 1.0f, false}, -1, 0},
    {'4', {true, true, 4, 1.0f, false}, -1, 0},
    {'5', {true, true, 5, 1.0f, false}, -1, 0},
    {'-', {true, true, 1, 0.99f, false}, -1, 0},
};

TEST_F(controls, each_key_does_its_one_thing_and_asks_for_one_frame) {
    for (const auto& r : key_rows) {
        SCOPED_TRACE(testing::Message() << "key '" << r.key << "'");
        set(start);
        keyboard(r.key, 0, 0);
        expect_after(r.after, r.axis, r.degrees);
    }
    // Every other byte, '1' and '+' among them (they change nothing from the
    // start), upper-case letters and control characters, only asks for a frame.
    for (int key = 0; key < 256; ++key) {
        if (key != 27 && std::none_of(std::begin(key_rows), std::end(key_rows),
                                      [key](const auto& r) { return r.key == key; })) {
            SCOPED_TRACE(testing::Message() << "byte " << key);
            set(start);
            keyboard(static_cast<unsigned char>(key), 0, 0);
            expect_after(start);
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
    expect_after(start, -1, 0, 6);
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
    ASSERT_EQ(menu_entries, want);

    // The key a label names after its tab, in lower case, does the same; the
    // reminders, and values outside the menu, only ask for a frame.
    const settings deep{true, true, 3, 1.0f, false}; // so that choosing depth 1 shows
    for (const int value : {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 0, 12, -1, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(testing::Message() << "value " << value);
        set(deep);
        const bool entry = value >= 1 && value <= 11;
        const char* tab = entry ? std::strchr(want[value - 1].label.c_str(), '\t') : nullptr;
        if (tab != nullptr) {
            keyboard(static_cast<unsigned char>(std::tolower(tab[1])), 0, 0);
        }
        const settings by_key{lighting, solid, iterations, cube_scale, inverse};
        set(deep);
        menu_select(value);
        expect_after(tab != nullptr ? by_key : deep);
    }
}

TEST_F(controls, esc_and_the_menus_exit_end_the_process_with_status_zero) {
    EXPECT_EXIT(keyboard(27, 0, 0), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(menu_select(4), testing::ExitedWithCode(0), "");
}

} // namespace
