// The test program's own main: it opens the window the tests draw in, with
// the program's display mode, size, scene set-up and projection.
#include "gl_test.h"

#include "../app/app.h"

#include <GL/freeglut_ext.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

std::vector<cube_call> cubes;
int redisplays = 0;
std::vector<menu_entry> menu_entries;
int test_window = 0;

namespace {

void record_cube(double edge, bool is_solid) {
    GLfloat m[16];
    GLint depth = 0;
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    cubes.push_back({m[12], m[13], m[14], edge, is_solid, depth});
}

class window_environment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) {
            std::fprintf(stderr, "These tests need an X display (scripts/test.sh starts one).\n");
            std::exit(2);
        }
        int argc = 1;
        char name[] = "tests";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE | GLUT_DEPTH);
        glutInitWindowSize(500, 500);
        test_window = glutCreateWindow("tests");
        glutReshapeFunc(reshape);
        glutDisplayFunc(display);
        init();
        resize_window(500, 500);
    }
};

} // namespace

// The program's calls to these GLUT entry points land here first (the test
// program is linked with --wrap), are recorded, then go on to GLUT.
extern "C" {
void __real_glutSolidCube(double size);
void __real_glutWireCube(double size);
void __real_glutPostRedisplay();
void __real_glutAddMenuEntry(const char* label, int value);

void __wrap_glutSolidCube(double size) {
    record_cube(size, true);
    __real_glutSolidCube(size);
}
void __wrap_glutWireCube(double size) {
    record_cube(size, false);
    __real_glutWireCube(size);
}
void __wrap_glutPostRedisplay() {
    ++redisplays;
    __real_glutPostRedisplay();
}
void __wrap_glutAddMenuEntry(const char* label, int value) {
    menu_entries.push_back({label, value});
    __real_glutAddMenuEntry(label, value);
}
}

void gl_test::SetUp() {
    glutSetWindow(test_window);
    lighting = true;
    solid = true;
    iterations = 1;
    cube_scale = 1.0f;
    inverse = false;
    glEnable(GL_LIGHTING);
    glLoadIdentity();
    resize_window(500, 500);
    reshape(500, 500);
    cubes.clear();
    redisplays = 0;
}

void resize_window(int width, int height) {
    glutReshapeWindow(width, height);
    for (int i = 0; i < 500; ++i) {
        glutMainLoopEvent();
        if (glutGet(GLUT_WINDOW_WIDTH) == width && glutGet(GLUT_WINDOW_HEIGHT) == height) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    glutMainLoopEvent(); // the frame GLUT asks for after the resize
}

std::vector<rgb> read_pixels(int width, int height) {
    glFinish();
    std::vector<unsigned char> bytes(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bytes.data());
    std::vector<rgb> picture;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        picture.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
    }
    return picture;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new window_environment);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    return RUN_ALL_TESTS();
}
