// The keyboard commands. Keys are case-sensitive; every key but Esc, known
// or not, asks for one new frame.
#include "controls.h"

#include "../sponge/sponge.h"

#include <cstdlib>

void keyboard(unsigned char key, int /*x*/, int /*y*/) {
    switch (key) {
    case 27: std::exit(0);

    // Turn by 5 degrees about the sponge's own axes, as already turned:
    // glRotatef multiplies onto the modelview matrix, which keeps the turns.
    case 'q': glRotatef(-5.0f, 1.0f, 0.0f, 0.0f); break;
    case 'e': glRotatef(5.0f, 1.0f, 0.0f, 0.0f); break;
    case 'a': glRotatef(5.0f, 0.0f, 1.0f, 0.0f); break;
    case 'd': glRotatef(-5.0f, 0.0f, 1.0f, 0.0f); break;
    case 'w': glRotatef(-5.0f, 0.0f, 0.0f, 1.0f); break;
    case 's': glRotatef(5.0f, 0.0f, 0.0f, 1.0f); break;

    case 'l':
        lighting = !lighting;
        if (lighting) {
            glEnable(GL_LIGHTING);
        } else {
            glDisable(GL_LIGHTING);
        }
        break;
    case 'v': inverse = !inverse; break;
    case 'f': solid = !solid; break;

    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5': iterations = key - '0'; break;

    // Steps of 0.01 worked in double and kept as a float: seven sizes from
    // 1.0 down to 0.94000006, and back up to exactly 1.0.
    case '+':
        if (cube_scale != 1.0f) { cube_scale = static_cast<float>(cube_scale + 0.01); }
        break;
    case '-':
        if (cube_scale > 0.95) { cube_scale = static_cast<float>(cube_scale - 0.01); }
        break;

    default: break;
    }
    glutPostRedisplay();
}
