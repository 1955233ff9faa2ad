// GLUT for the browser, as the viewer uses it: one canvas for the window, the page's keys and a
// pop-up menu of page elements (page.js), a frame drawn in the browser's next animation frame
// after glutPostRedisplay, and the cubes handed to gl.cpp.
#include "GL/glut.h"

#include "page.h"

#include <cstdlib>
#include <emscripten.h>

namespace {

int window_width = 300; // GLUT's own default size
int window_height = 300;
void (*reshape)(int, int) = nullptr;
void (*display)() = nullptr;
void (*keyboard)(unsigned char, int, int) = nullptr;
void (*menu)(int) = nullptr;
bool frame_asked = false;

} // namespace

// Called by page.js: a frame, a key typed (its character's code), a menu entry chosen.
extern "C" {
EMSCRIPTEN_KEEPALIVE void glut_frame() {
    frame_asked = false;
    if (display) { display(); }
}

EMSCRIPTEN_KEEPALIVE void glut_key(int key) {
    if (keyboard) { keyboard(static_cast<unsigned char>(key), 0, 0); }
}

EMSCRIPTEN_KEEPALIVE void glut_menu(int value) {
    if (menu) { menu(value); }
}
}

// The browser takes no command line.
void glutInit(int* /*argc*/, char** /*argv*/) {}

// The canvas always has a depth buffer and keeps what a frame drew, as a single buffer does.
void glutInitDisplayMode(unsigned int /*mode*/) {}

void glutInitWindowSize(int width, int height) {
    window_width = width;
    window_height = height;
}

// Without WebGL there is no window to draw in: the page says so, and the program ends as a
// desktop GLUT ends it when no OpenGL context can be made.
int glutCreateWindow(const char* title) {
    if (!page_open(title, window_width, window_height)) { std::exit(1); }
    return 1;
}

void glutReshapeFunc(void (*callback)(int, int)) { reshape = callback; }
void glutDisplayFunc(void (*callback)()) { display = callback; }
void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) { keyboard = callback; }

int glutCreateMenu(void (*callback)(int)) {
    menu = callback;
    return 1;
}

void glutAddMenuEntry(const char* label, int value) { page_add_entry(label, value); }

void glutAttachMenu(int button) {
    if (button == GLUT_RIGHT_BUTTON) { page_attach_menu(); }
}

void glutPostRedisplay() {
    if (!frame_asked) { page_request_frame(); }
    frame_asked = true;
}

// The window is shown at once: its size is reported, then the browser's own event loop takes
// over, and main never returns.
void glutMainLoop() {
    if (reshape) { reshape(window_width, window_height); }
    glutPostRedisplay();
    emscripten_exit_with_live_runtime();
}

void glutSolidCube(GLdouble size) { add_cube(false, size); }
void glutWireCube(GLdouble size) { add_cube(true, size); }
