// Test support: a real GLUT window on the test display, a record of the cube
// primitives and redraw requests the program issues, and pixel probes.
#pragma once

#include "../sponge/sponge.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

// One cube primitive as the program issued it, with where the modelview
// matrix had put its centre and how deep the matrix stack was.
struct cube_call {
    float x, y, z;
    double edge;
    bool solid;
    int stack_depth;
};

extern std::vector<cube_call> cubes;
extern int redisplays;

// The menu entries the program adds, as label and value.
struct menu_entry {
    std::string label;
    int value;
    bool operator==(const menu_entry& o) const { return label == o.label && value == o.value; }
};
extern std::vector<menu_entry> menu_entries;
extern int test_window; // 500 x 500, set up as the program sets up its own

struct rgb {
    int r, g, b;
};

// Resizes the test window and lets GLUT handle the events that follow.
void resize_window(int width, int height);

// The current window's pixels, bottom row first, after the frame has finished.
std::vector<rgb> read_pixels(int width, int height);

// Counts the pixels of a width x height picture (bottom row first) that
// differ by more than 3/255 in a channel from a square sponge face of `side`
// pixels centred in it: `cells` x `cells` cells, those for which `filled`
// is true in `colour`, the rest and everything outside the square black.
// Pixels within two of any cell or square edge are not judged.
template <class F>
int count_wrong(const std::vector<rgb>& picture, int width, int height, int side, int cells,
                rgb colour, F filled);

// Whether cell (col, row) of a Sierpinski carpet is filled: it is unless
// some base-3 digit of both is 1. A face-on sponge shows this pattern.
bool in_carpet(int col, int row);

// The lit colour of a front face in the first frame: light 0 alone reaches it.
rgb front_face_green();

// Every test starts from the program's state at start: settings, matrices,
// lighting, an empty record.
class gl_test : public ::testing::Test {
  protected:
    void SetUp() override;
};

template <class F>
int count_wrong(const std::vector<rgb>& picture, int width, int height, int side, int cells,
                rgb colour, F filled) {
    const double left = (width - side) / 2.0, bottom = (height - side) / 2.0;
    const double cell = static_cast<double>(side) / cells;
    int wrong = 0;
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            const double u = (px + 0.5 - left) / cell, v = (py + 0.5 - bottom) / cell;
            const bool inside = u > 0 && v > 0 && u < cells && v < cells;
            const double near_u = std::abs(u - std::round(u)) * cell;
            const double near_v = std::abs(v - std::round(v)) * cell;
            const bool near_edge =
                (near_u < 2 && v > -1 && v < cells + 1) || (near_v < 2 && u > -1 && u < cells + 1);
            if (near_edge) {
                continue;
            }
            // Columns from the left, rows from the top, as one reads a picture.
            const bool lit = inside && filled(static_cast<int>(u), cells - 1 - static_cast<int>(v));
            const rgb want = lit ? colour : rgb{0, 0, 0};
            const rgb got = picture[static_cast<size_t>(py) * width + px];
            if (std::abs(got.r - want.r) > 3 || std::abs(got.g - want.g) > 3 ||
                std::abs(got.b - want.b) > 3) {
                ++wrong;
            }
        }
    }
    return wrong;
}
