// The right-button pop-up menu. Each entry does what its key does, by
// handing that key to the keyboard callback, so the two never drift apart.
#include "controls.h"

#include "../sponge/sponge.h"

#ifdef _WIN32
#include <GL/freeglut_ext.h>
#endif

namespace {

// Top to bottom; an entry's value is its place in this list, counted from 1.
// The last two only remind of keys that have no entry of their own: they
// pass a key that does nothing but ask for a frame.
const struct {
    const char* label;
    unsigned char key;
} entries[] = {
    {"Lighting\tL", 'l'},
    {"Inverse\tV", 'v'},
    {"Wireframe\tF", 'f'},
    {"Exit demo\tEsc", 27},
    {"0 Iterations\t0", '0'},
    {"1 Iterations\t1", '1'},
    {"2 Iterations\t2", '2'},
    {"3 Iterations\t3", '3'},
    {"4 Iterations\t4", '4'},
    {"Use Q W E A S D to rotate", '\0'},
    {"Use +/- to scale cube size", '\0'},
};
const int entry_count = sizeof entries / sizeof entries[0];

} // namespace

int create_menu() {
    const int menu = glutCreateMenu(menu_select);
    for (int i = 0; i < entry_count; ++i) { glutAddMenuEntry(entries[i].label, i + 1); }
#ifdef _WIN32
    // freeglut draws its Windows menus in an 8 x 13 font that shows the tab as a glyph; in the
    // font of its X11 menus the tab is blank, and so it reads the same on both.
    glutSetMenuFont(menu, GLUT_BITMAP_HELVETICA_18);
#endif
    return menu;
}

void menu_select(int value) {
    if (value >= 1 && value <= entry_count) {
        keyboard(entries[value - 1].key, 0, 0);
    } else {
        glutPostRedisplay();
    }
}
