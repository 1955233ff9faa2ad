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
void (*reshape_callback)(int, int) = nullptr;
void (*display_callback)() = nullptr;
void (*keyboard_callback)(unsigned char, int, int) = nullptr;
void (*menu_callback)(int) = nullptr;
bool frame_asked = false;

} // namespace

EMSCRIPTEN_KEEPALIVE void glut_frame() {
    frame_asked = false;
    if (display_callback) { display_callback(); }
}

EMSCRIPTEN_KEEPALIVE void glut_key(int key) {
    if (keyboard_callback) { keyboard_callback(static_cast<unsigned char>(key), 0, 0); }
}

EMSCRIPTEN_KEEPALIVE void glut_menu(int value) {
    if (menu_callback) { menu_callback(value); }
}

EMSCRIPTEN_KEEPALIVE void glut_reshape(int width, int height) {
    window_width = width;
    window_height = height;
    if (reshape_callback) { reshape_callback(width, height); }
}

// The viewport and the projection set again by the program's reshape, which asks for a frame.
EMSCRIPTEN_KEEPALIVE void glut_restore() {
    restore_context();
    glut_reshape(window_width, window_height);
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
    prepare_cubes();
    return 1;
}

void glutReshapeFunc(void (*callback)(int, int)) { reshape_callback = callback; }
void glutDisplayFunc(void (*callback)()) { display_callback = callback; }
void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) { keyboard_callback = callback; }

int glutCreateMenu(void (*callback)(int)) {
    menu_callback = callback;
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
    if (reshape_callback) { reshape_callback(window_width, window_height); }
    glutPostRedisplay();
    emscripten_exit_with_live_runtime();
}

void glutSolidCube(GLdouble size) { add_cube(false, size); }
void glutWireCube(GLdouble size) { add_cube(true, size); }
