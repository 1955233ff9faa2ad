// Menger sponge viewer: draws the cube fractal to depth 0 to 5, lit by three
// lights fixed to the viewer, in one 500 x 500 window.
#include "app.h"

#include "../sponge/sponge.h"

int main(int argc, char** argv) {
    glutInit(&argc, argv); // GLUT takes its own options, such as -geometry
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE | GLUT_DEPTH);
    glutInitWindowSize(500, 500);
    glutCreateWindow("Menger Sponge - Vardelle");

    glutReshapeFunc(reshape);
    glutDisplayFunc(display);

    init();
    glutMainLoop();
    return 0;
}
