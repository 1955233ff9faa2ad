// Pixel checks shared by the in-process and the end-to-end tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

struct rgb {
    int r, g, b;
};

// Matches any pixel that is clearly not black, whatever its colour.
constexpr rgb any_lit{-1, -1, -1};

// Whether cell (col, row) of a Sierpinski carpet is filled: it is unless
// some base-3 digit of both is 1. A face-on sponge shows this pattern.
inline bool in_carpet(int col, int row) {
    for (; col > 0 || row > 0; col /= 3, row /= 3) {
        if (col % 3 == 1 && row % 3 == 1) {
            return false;
        }
    }
    return true;
}

// The lit colour of a front face in the first frame: light 0 alone reaches
// it. Global ambient 0.2 on the default material ambient 0.2, plus light 0's
// white diffuse at cos = 1/sqrt(3) on the material's green.
inline rgb front_face_green() {
    const double lambert = 1.0 / std::sqrt(3.0);
    const auto channel = [&](double diffuse) {
        return static_cast<int>(std::lround(255 * (0.2 * 0.2 + diffuse * lambert)));
    };
    return {channel(0.3), channel(1.0), channel(0.4)};
}

inline bool near(rgb got, rgb want) {
    if (want.r < 0) {
        return std::max({got.r, got.g, got.b}) > 3;
    }
    return std::abs(got.r - want.r) <= 3 && std::abs(got.g - want.g) <= 3 &&
           std::abs(got.b - want.b) <= 3;
}

// Counts the pixels of a width x height picture (bottom row first) that
// differ by more than 3/255 in a channel from a face-on sponge of `side`
// pixels centred in it: `cells` x `cells` cells, those for which
// filled(col, row) is true (counted from the top left) in `colour`, the rest
// and everything outside the square black. Pixels within two of a cell edge
// are not judged: edges may rasterise either way.
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
            const bool near_edge =
                (std::abs(u - std::round(u)) * cell < 2 && v > -1 && v < cells + 1) ||
                (std::abs(v - std::round(v)) * cell < 2 && u > -1 && u < cells + 1);
            if (near_edge) {
                continue;
            }
            const bool lit = inside && filled(static_cast<int>(u), cells - 1 - static_cast<int>(v));
            if (!near(picture[static_cast<size_t>(py) * width + px], lit ? colour : rgb{0, 0, 0})) {
                ++wrong;
            }
        }
    }
    return wrong;
}
