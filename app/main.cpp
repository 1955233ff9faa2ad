// Menger sponge viewer: draws the cube fractal to depth 0 to 5, lit by three
// lights fixed to the viewer, in one 500 x 500 window.
//
// Keys (case-sensitive):
//   q / e      turn about the x axis        0 to 5   recursion depth
//   a / d      turn about the y axis        l        lighting on or off
//   w / s      turn about the z axis        f        solid or wire cubes
//   - / +      shrink or regrow the cubes   v        inverse view: the removed cubes
//   Esc        quit
// The right mouse button opens a menu with lighting, inverse, wireframe,
// exit and depths 0 to 4.
#include "app.h"

#include "../controls/controls.h"

#include "../sponge/sponge.h"

int main(int argc, char** argv) {
    glutInit(&argc, argv); // GLUT takes its own options, such as -geometry
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE | GLUT_DEPTH);
    glutInitWindowSize(500, 500);
    glutCreateWindow("Menger Sponge - Vardelle");

    glutReshapeFunc(reshape);
    glutDisplayFunc(display);
    glutKeyboardFunc(keyboard);
    create_menu();
    glutAttachMenu(GLUT_RIGHT_BUTTON);

    init();
    glutMainLoop();
    return 0;
}
