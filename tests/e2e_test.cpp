// The built program as a person uses it: real key presses and a menu choice on the test
// display, each judged by what its 500 x 500 window shows next; every build is tried on this.
#include <gtest/gtest.h>

#include "viewer.h"

#include <cmath>

namespace {

using check = std::function<bool(const picture&)>;

// A front face before any turn lies in the plane of lights 1 and 2, so light 0 alone lights it:
// the default ambient 0.2 on the default material ambient 0.2, plus light 0's white diffuse at
// cos = 1/sqrt(3) on the green material.
int lit(double diffuse) { return int(std::lround(255 * (0.2 * 0.2 + diffuse / std::sqrt(3.0)))); }
const rgb green{lit(0.3), lit(1.0), lit(0.4)}, red{255, 0, 0};

// The sponge of depth d face-on, in the middle half of the window: a Sierpinski carpet of 3^d
// cells a side, where a cell is drawn unless some base-3 digit of both its column and its row is
// 1. Drawn cells show `colour` within 3/255, all else is black, but for 2 pixels around where
// the two meet, which may rasterise either way. A picture of nothing fails.
check carpet(int depth, rgb colour) {
    return [=](const picture& p) {
        const auto drawn = [&](double x, double y) {
            int col = int(std::floor((x - 125) * std::pow(3, depth) / 250)),
                row = int(std::floor((y - 125) * std::pow(3, depth) / 250));
            bool in = x >= 125 && y >= 125 && x < 375 && y < 375;
            for (; in && (col > 0 || row > 0); col /= 3, row /= 3)
                in = col % 3 != 1 || row % 3 != 1;
            return in;
        };
        int judged = 0;
        for (int i = 0; i < p.width * p.height; ++i) {
            const double x = i % p.width + 0.5, y = i / p.width + 0.5;
            bool edge = false;
            for (int d = 0; d < 9; ++d)
                edge |= drawn(x + d % 3 * 2 - 2, y + d / 3 * 2 - 2) != drawn(x, y);
            const rgb want = drawn(x, y) ? colour : rgb{0, 0, 0}, got = p.pixels[i];
            if (!edge && (std::abs(got.r - want.r) > 3 || std::abs(got.g - want.g) > 3 ||
                          std::abs(got.b - want.b) > 3))
                return false;
            judged += !edge && drawn(x, y);
        }
        return p.width == 500 && p.height == 500 && judged > 0;
    };
}

// Each step types keys, or chooses a menu entry ("#N"), then the window must show its picture
// or, where there is none, the program must have ended with status 0.
TEST(as_a_user, first_frame_lighting_and_depth_from_keys_and_the_menu_then_esc_or_the_menu_s_exit) {
    const std::pair<std::string, check> steps[] = {{"", carpet(1, green)},
                                                   {"l", carpet(1, red)},
                                                   {"l2", carpet(2, green)},
                                                   {"#0", carpet(2, red)},
                                                   {"\x1b", {}}};
    viewer v;
    ASSERT_NE(v.window, 0u) << "no window titled Menger Sponge - Vardelle";
    for (int i = 0; i < 5; ++i) {
        const auto& [act, shows] = steps[i];
        ASSERT_TRUE(act[0] == '#' ? v.choose(act[1] - '0') : (v.type(act), true)) << i;
        const std::string name = std::string("e2e.") + std::to_string(i) + ".ppm";
        ASSERT_TRUE(shows ? v.shows(shows, name) : v.exit_status() == 0) << "step " << i;
    }
    viewer again; // and the menu's exit entry ends it as well
    ASSERT_TRUE(again.choose(3));
    EXPECT_EQ(again.exit_status(), 0);
}

} // namespace
