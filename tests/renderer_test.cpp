// The sponge renderer: which cubes a frame issues, of what edge, where and in
// what order, and that a frame leaves the modelview matrix as it found it.
#include "gl_test.h"

#include "../app/app.h"

#include <map>

namespace {

using renderer = gl_test;

// Cell edges are worked in double and kept as floats, level by level.
float third(float size) {
    return static_cast<float>(size / 3.0);
}
float edge_at(int depth) {
    float size = 2.0f;
    for (int i = 0; i < depth; ++i) {
        size = third(size);
    }
    return size;
}

TEST_F(renderer, issues_every_cube_of_every_level_at_its_edge) {
    struct row {
        int depth;
        bool inverse;
        std::map<int, size_t> cubes_per_level; // level of the cell edge -> count
    };
    const row rows[] = {
        {0, false, {{0, 1}}},
        {1, false, {{1, 20}}},
        {2, false, {{2, 400}}},
        {3, false, {{3, 8000}}},
        {4, false, {{4, 160000}}},
        {0, true, {{1, 7}}},
        {1, true, {{1, 7}}},
        {2, true, {{1, 7}, {2, 140}}},
        {3, true, {{1, 7}, {2, 140}, {3, 2800}}},
        {4, true, {{1, 7}, {2, 140}, {3, 2800}, {4, 56000}}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << "depth " << r.depth << (r.inverse ? " inverse" : ""));
        for (const float scale : {1.0f, 0.94000006f}) {
            cubes.clear();
            iterations = r.depth;
            inverse = r.inverse;
            cube_scale = scale;
            display();

            std::map<double, size_t> by_edge;
            for (const cube_call& c : cubes) {
                ++by_edge[c.edge];
                ASSERT_TRUE(c.solid);
            }
            std::map<double, size_t> want;
            for (const auto& [level, count] : r.cubes_per_level) {
                // The drawn edge is the float cell edge times the float scale, in double.
                want[static_cast<double>(edge_at(level)) * scale] = count;
            }
            EXPECT_EQ(by_edge, want) << "scale " << scale;
        }
    }
}

// Offsets in cell edges, in the order the cells must come.
struct offset {
    int x, y, z;
};
const offset kept_order[20] = {
    {-1, 1, 1}, {0, 1, 1},   {1, 1, 1},  {-1, 0, 1},   {1, 0, 1},   {-1, -1, 1}, {0, -1, 1},
    {1, -1, 1}, {-1, 1, 0},  {1, 1, 0},  {-1, -1, 0},  {1, -1, 0},  {-1, 1, -1}, {0, 1, -1},
    {1, 1, -1}, {-1, 0, -1}, {1, 0, -1}, {-1, -1, -1}, {0, -1, -1}, {1, -1, -1},
};
const offset removed_order[7] = {{0, 1, 0}, {0, 0, 1},  {-1, 0, 0}, {0, 0, 0},
                                 {1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
const offset inverse_kept_order[20] = {
    {-1, 1, 1},  {1, 1, 1},  {-1, -1, 1}, {1, -1, 1},  {-1, 1, -1}, {1, 1, -1},  {-1, -1, -1},
    {1, -1, -1}, {0, 1, 1},  {-1, 0, 1},  {1, 0, 1},   {0, -1, 1},  {-1, 1, 0},  {1, 1, 0},
    {-1, -1, 0}, {1, -1, 0}, {0, 1, -1},  {-1, 0, -1}, {1, 0, -1},  {0, -1, -1},
};

// A cell centre, each coordinate worked in double from its parent's and
// rounded to a float.
cube_call centre(const cube_call& parent, const offset& o, float s) {
    const auto at = [s](float c, int k) {
        return static_cast<float>(c + k * static_cast<double>(s));
    };
    return {at(parent.x, o.x), at(parent.y, o.y), at(parent.z, o.z), 0.0, true, 0};
}

void expect_at(const cube_call& got, const cube_call& want, int stack_depth) {
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.z, want.z);
    EXPECT_EQ(got.stack_depth, stack_depth);
}

TEST_F(renderer, places_cells_bit_exact_in_order) {
    const cube_call origin{0, 0, 0, 0, true, 1};
    const float s1 = edge_at(1), s2 = edge_at(2);

    // Depth 2: the 20 cells of the first cell, then the first of the second.
    iterations = 2;
    display();
    ASSERT_EQ(cubes.size(), 400u);
    const cube_call first = centre(origin, kept_order[0], s1);
    for (int i = 0; i < 20; ++i) {
        SCOPED_TRACE(i);
        expect_at(cubes[i], centre(first, kept_order[i], s2), 3);
    }
    expect_at(cubes[20], centre(centre(origin, kept_order[1], s1), kept_order[0], s2), 3);

    // Inverse, depth 2: the 7 removed cells, then the 7 removed cells of each
    // kept cell in turn; the fourth of those sits on the kept cell's centre.
    cubes.clear();
    inverse = true;
    display();
    ASSERT_EQ(cubes.size(), 147u);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        expect_at(cubes[i], centre(origin, removed_order[i], s1), 2);
    }
    for (int k = 0; k < 20; ++k) {
        SCOPED_TRACE(k);
        const cube_call kept = centre(origin, inverse_kept_order[k], s1);
        for (int i = 0; i < 7; ++i) {
            expect_at(cubes[7 + 7 * k + i], centre(kept, removed_order[i], s2), 3);
        }
    }
}

TEST_F(renderer, a_frame_leaves_the_modelview_matrix_and_stack_as_found) {
    glRotatef(30.0f, 1.0f, 2.0f, 3.0f);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    for (const bool inv : {false, true}) {
        for (int depth = 0; depth <= 3; ++depth) {
            SCOPED_TRACE(testing::Message() << "depth " << depth << " inverse " << inv);
            iterations = depth;
            inverse = inv;
            display();
            glGetFloatv(GL_MODELVIEW_MATRIX, after);
            GLint stack = 0;
            glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &stack);
            EXPECT_EQ(stack, 1);
            for (int i = 0; i < 16; ++i) {
                EXPECT_EQ(after[i], before[i]) << "element " << i;
            }
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
