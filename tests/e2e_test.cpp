// The built program as a person uses it: started on the test display, sent
// real X key and mouse events, and judged by the pixels of its window.
#include <gtest/gtest.h>

#include "viewer.h"

namespace {

// A viewer whose failing checks leave the window's picture named after the test.
struct test_viewer : viewer {
    explicit test_viewer(bool with_display = true, const std::vector<KeySym>& keys = {})
        : viewer(with_display, keys) {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        failure_picture = std::string(test->test_suite_name()) + "." + test->name() + ".ppm";
    }
};

// Checks for a face-on sponge as wide as half the window's shorter side.
auto face_on(int cells, rgb colour, bool (*filled)(int, int) = in_carpet) {
    return [=](const std::vector<rgb>& picture, int width, int height) {
        return count_wrong(picture, width, height, std::min(width, height) / 2, cells, colour,
                           filled) == 0;
    };
}
bool every_cell(int, int) {
    return true;
}
bool no_cell(int, int) {
    return false;
}
bool plus_sign(int col, int row) {
    return col == 1 || row == 1;
}

const rgb green = front_face_green(), red{255, 0, 0};

TEST(as_a_user, first_frame_lighting_depth_and_inverse_view) {
    test_viewer v;
    ASSERT_NE(v.window, 0u) << "no window titled " << title;
    EXPECT_TRUE(v.shows(face_on(3, green))) << "first frame";
    ASSERT_TRUE(v.type("l"));
    EXPECT_TRUE(v.shows(face_on(3, red))) << "lighting off";
    ASSERT_TRUE(v.type("l"));
    EXPECT_TRUE(v.shows(face_on(3, green))) << "lighting on again";
    ASSERT_TRUE(v.type("2"));
    EXPECT_TRUE(v.shows(face_on(9, green))) << "depth 2";
    ASSERT_TRUE(v.type("0"));
    EXPECT_TRUE(v.shows(face_on(1, green, every_cell))) << "depth 0";
    ASSERT_TRUE(v.type("1v"));
    EXPECT_TRUE(v.shows(face_on(3, any_lit, plus_sign))) << "inverse view";
    EXPECT_TRUE(v.alive());
}

TEST(as_a_user, wire_cubes_and_gaps_between_cells) {
    test_viewer v;
    ASSERT_TRUE(v.shows(face_on(3, green)));
    ASSERT_TRUE(v.type("f"));
    // Wire cubes: eight lines of 250 pixels along the cell edges, and nothing
    // lit away from them.
    EXPECT_TRUE(v.shows([](const std::vector<rgb>& p, int width, int height) {
        const auto lit = std::count_if(p.begin(), p.end(), [](rgb c) { return near(c, any_lit); });
        return lit > 6 * 250 && count_wrong(p, width, height, 250, 3, green, no_cell) == 0;
    })) << "wire cubes";
    ASSERT_TRUE(v.type("f------"));
    // Cubes at 94 % of their cells leave five-pixel gaps on the cell edges.
    EXPECT_TRUE(v.shows([](const std::vector<rgb>& p, int width, int height) {
        int lit_in_gaps = 0;
        for (const int edge : {208, 291}) {
            for (int y = 140; y < 360; ++y) {
                lit_in_gaps += near(p[static_cast<size_t>(y) * width + edge], any_lit);
            }
        }
        return lit_in_gaps == 0 && count_wrong(p, width, height, 250, 3, green, no_cell) > 40000;
    })) << "gaps";
    ASSERT_TRUE(v.type("++++++"));
    EXPECT_TRUE(v.shows(face_on(3, green))) << "gaps closed";
}

TEST(as_a_user, a_turn_survives_a_resize_and_the_sponge_stays_square) {
    test_viewer v;
    ASSERT_TRUE(v.shows(face_on(3, green)));
    // Three turns of 5 degrees about y: the box around the sponge widens to
    // cos 15 + sin 15 of its face-on width, and keeps its height.
    const auto turned = [](const std::vector<rgb>& p, int width, int height) {
        int left = width, right = -1, bottom = height, top = -1;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (near(p[static_cast<size_t>(y) * width + x], any_lit)) {
                    left = std::min(left, x), right = std::max(right, x);
                    bottom = std::min(bottom, y), top = std::max(top, y);
                }
            }
        }
        const double pi = std::acos(-1.0), side = std::min(width, height) / 2.0;
        const double wide = side * (std::cos(pi / 12) + std::sin(pi / 12));
        return std::abs(right + 1 - left - wide) < 3 && std::abs(top + 1 - bottom - side) < 3 &&
               std::abs(left + right + 1 - width) < 3 && std::abs(top + bottom + 1 - height) < 3;
    };
    ASSERT_TRUE(v.type("aaa"));
    EXPECT_TRUE(v.shows(turned)) << "turned";
    v.resize(1000, 500);
    EXPECT_TRUE(v.shows(turned)) << "turned, in a wide window";
    v.resize(500, 800);
    EXPECT_TRUE(v.shows(turned)) << "turned, in a tall window";
}

TEST(as_a_user, menu_switches_lighting_and_exits) {
    test_viewer v;
    ASSERT_TRUE(v.shows(face_on(3, green)));
    ASSERT_TRUE(v.choose_menu_entry(0)); // "Lighting\tL"
    EXPECT_TRUE(v.shows(face_on(3, red))) << "lighting off from the menu";
    ASSERT_TRUE(v.choose_menu_entry(3)); // "Exit demo\tEsc"
    EXPECT_EQ(v.exit_status(), 0);
}

TEST(as_a_user, esc_exits_with_status_zero) {
    test_viewer v;
    ASSERT_TRUE(v.shows(face_on(3, green)));
    ASSERT_TRUE(v.press(XK_Escape));
    EXPECT_EQ(v.exit_status(), 0);
}

TEST(bad_input, every_byte_x_can_type_leaves_the_picture_alone) {
    std::vector<KeySym> latin1;
    for (KeySym sym = 160; sym < 256; ++sym) {
        latin1.push_back(sym);
    }
    test_viewer v(true, latin1);
    ASSERT_TRUE(v.shows(face_on(3, green)));

    const std::string commands = "qeadswlvf012345+-";
    int sent = 0;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == 27 || commands.find(static_cast<char>(byte)) != std::string::npos) {
            continue; // Esc ends the program; the commands have tests of their own
        }
        if (byte < 32) {
            ASSERT_TRUE(v.press(byte | 0x40, true)); // Control with @, A to Z, [ \ ] ^ _
        } else if (byte == 127) {
            ASSERT_TRUE(v.press(XK_Delete));
        } else if (byte < 127 || byte >= 160) {
            ASSERT_TRUE(v.press(byte)); // Latin-1 key symbols are their own codes
        } else {
            continue; // 128 to 159: no key symbol gives these
        }
        ++sent;
    }
    EXPECT_EQ(sent, 256 - 1 - 17 - 32);
    EXPECT_TRUE(v.alive());
    EXPECT_TRUE(v.shows(face_on(3, green))) << "the picture after every byte";
}

TEST(bad_input, a_burst_of_keys_at_depth_three_is_absorbed) {
    test_viewer v;
    ASSERT_TRUE(v.shows(face_on(3, green)));
    ASSERT_TRUE(v.type("3"));
    ASSERT_TRUE(v.shows(face_on(27, green)));
    for (int i = 0; i < 500; ++i) { // 1,000 events: a press and a release each
        ASSERT_TRUE(v.press('x'));
    }
    ASSERT_TRUE(v.type("0"));
    EXPECT_TRUE(v.shows(face_on(1, green, every_cell), 60s)) << "a key after the burst";
    EXPECT_TRUE(v.alive());
}

TEST(bad_input, tiny_zero_and_huge_windows_then_the_normal_picture) {
    test_viewer v;
    ASSERT_TRUE(v.shows(face_on(3, green)));
    v.resize(1, 1);
    x_errors = 0;
    v.resize(0, 500); // X refuses a zero size with an error
    v.resize(500, 0);
    EXPECT_EQ(x_errors, 2);
    v.resize(4000, 4000);
    v.resize(500, 500);
    EXPECT_TRUE(v.shows(face_on(3, green)));
    EXPECT_TRUE(v.alive());
}

TEST(bad_input, no_display_ends_at_once_with_glut_s_message) {
    test_viewer v(false);
    EXPECT_GT(v.exit_status(5s), 0);
    EXPECT_NE(v.stderr_text().find("failed to open display"), std::string::npos);
}

} // namespace
