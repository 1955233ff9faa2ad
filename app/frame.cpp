// One frame of the sponge, and the projection that keeps it undistorted.
#include "app.h"

#include "../sponge/sponge.h"

#include <algorithm>

// Draws under whatever rotation the keys have built up: the modelview matrix
// is never loaded or reset here. Single-buffered, so a flush, not a swap.
void display() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw_sponge(iterations, 0.0f, 0.0f, 0.0f, 2.0f);
    glFlush();
}

// The shorter side of the window always spans -2 to +2, so the sponge
// (at most sqrt(3) from the centre) fits whichever way it is turned.
void reshape(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();

    // A window may be zero pixels wide or high for a moment; count such a
    // side as one pixel so that the projection stays finite.
    const double w = std::max(width, 1);
    const double h = std::max(height, 1);
    if (w <= h) {
        glOrtho(-2.0, 2.0, -2.0 * h / w, 2.0 * h / w, -10.0, 10.0);
    } else {
        glOrtho(-2.0 * w / h, 2.0 * w / h, -2.0, 2.0, -10.0, 10.0);
    }

    // Back to the modelview matrix, without resetting it: the rotation stays.
    glMatrixMode(GL_MODELVIEW);
    glutPostRedisplay();
}
