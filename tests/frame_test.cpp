// The frame on the real pipeline: what the first frame shows, how the
// projection follows the window, and the scene state that init leaves.
#include "gl_test.h"

#include "../app/app.h"

namespace {

using frame = gl_test;

TEST_F(frame, first_frame_is_a_green_three_by_three_square_with_an_open_middle) {
    display();
    const std::vector<rgb> picture = read_pixels(500, 500);
    EXPECT_EQ(count_wrong(picture, 500, 500, 250, 3, front_face_green(), in_carpet), 0);
    // The middle cell really is open, and the green really is there.
    const rgb middle = picture[250 * 500 + 250], corner = picture[180 * 500 + 180];
    EXPECT_EQ(middle.g, 0);
    EXPECT_GT(corner.g, 100);
}

TEST_F(frame, a_wide_window_shows_the_sponge_square_and_centred) {
    resize_window(1000, 500);
    display();
    const std::vector<rgb> picture = read_pixels(1000, 500);
    EXPECT_EQ(count_wrong(picture, 1000, 500, 250, 3, front_face_green(), in_carpet), 0);
}

bool finite_projection() {
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    for (const GLfloat v : m) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

TEST_F(frame, a_zero_sized_window_leaves_a_finite_projection) {
    const int sizes[][2] = {{0, 500}, {500, 0}, {0, 0}, {1, 1}, {4000, 1}};
    for (const auto& size : sizes) {
        reshape(size[0], size[1]);
        EXPECT_TRUE(finite_projection()) << size[0] << " x " << size[1];
    }
    // The next real size gives the normal projection back.
    reshape(500, 500);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    const GLfloat ortho[16] = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, -0.1f, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(m[i], ortho[i]) << "element " << i;
    }
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(frame, init_enables_depth_test_and_three_lights_fixed_to_the_viewer) {
    for (const GLenum cap : {GL_DEPTH_TEST, GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_LIGHT2}) {
        EXPECT_TRUE(glIsEnabled(cap)) << cap;
    }
    for (const GLenum cap : {GL_CULL_FACE, GL_COLOR_MATERIAL, GL_NORMALIZE, GL_LIGHT3}) {
        EXPECT_FALSE(glIsEnabled(cap)) << cap;
    }
    // Positions are kept in eye space: given under the identity, they stay.
    const struct {
        GLenum light;
        GLfloat position[4];
    } lights[] = {
        {GL_LIGHT0, {1, -1, 1, 0}}, {GL_LIGHT1, {0, 1, 1, 1}}, {GL_LIGHT2, {-0.75f, -1, 1, 1}}};
    for (const auto& l : lights) {
        GLfloat position[4];
        glGetLightfv(l.light, GL_POSITION, position);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(position[i], l.position[i]) << "light " << l.light - GL_LIGHT0;
        }
    }

    // Lighting off shows the current colour: flat red.
    glDisable(GL_LIGHTING);
    display();
    const std::vector<rgb> picture = read_pixels(500, 500);
    EXPECT_EQ(count_wrong(picture, 500, 500, 250, 3, rgb{255, 0, 0}, in_carpet), 0);
}

} // namespace
