// The scene set-up done once at start: background, colour, depth test,
// three lights fixed to the viewer, and the green front-face material.
#include "app.h"

#include "../sponge/sponge.h"

void init() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glColor3f(1.0f, 0.0f, 0.0f); // seen only when lighting is off
    glEnable(GL_DEPTH_TEST);

    // A placeholder projection; reshape replaces it before the first frame.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);

    glShadeModel(GL_SMOOTH);

    const GLfloat mat_diffuse[] = {0.3f, 1.0f, 0.4f, 1.0f};
    const GLfloat mat_shininess[] = {3.0f};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, mat_diffuse);
    glMaterialfv(GL_FRONT, GL_SHININESS, mat_shininess);

    // The positions are given once, under the identity modelview matrix, so
    // the lights stay put while the sponge turns beneath them.
    const GLfloat light_position[] = {1.0f, -1.0f, 1.0f, 0.0f}; // directional
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);

    const GLfloat light1_diffuse[] = {1.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat light1_specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat light1_position[] = {0.0f, 1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT1, GL_DIFFUSE, light1_diffuse);
    glLightfv(GL_LIGHT1, GL_SPECULAR, light1_specular);
    glLightfv(GL_LIGHT1, GL_POSITION, light1_position);
    glEnable(GL_LIGHT1);

    const GLfloat light2_diffuse[] = {0.0f, 0.0f, 1.0f, 0.5f};
    const GLfloat light2_specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat light2_position[] = {-0.75f, -1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT2, GL_DIFFUSE, light2_diffuse);
    glLightfv(GL_LIGHT2, GL_SPECULAR, light2_specular);
    glLightfv(GL_LIGHT2, GL_POSITION, light2_position);
    glEnable(GL_LIGHT2);
}
