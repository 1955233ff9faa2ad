// The view settings and the sponge renderer: the one header that the window
// and the controls include. It also brings in GLUT and OpenGL for them.
#pragma once

#ifdef __APPLE__
#include <GLUT/glut.h>
#else
#include <GL/glut.h>
#endif

// View settings: written by the keyboard and the menu, read by every frame.
// The sponge's orientation is not among them; it lives in the modelview matrix.
extern bool lighting;    // mirrors the enable state of GL_LIGHTING
extern bool solid;       // solid cubes, or wire cubes when false
extern int iterations;   // recursion depth, 0 to 5
extern float cube_scale; // drawn edge over cell edge, 0.94000006 to 1.0
extern bool inverse;     // draw the cubes the sponge removes instead of those it keeps

// Draws the sponge of depth `level` centred on (x, y, z) with edge `size`.
void draw_sponge(int level, float x, float y, float z, float size);

// Moves to (x, y, z) and draws one cube of edge size * cube_scale there.
// Does not save the matrix: the caller does.
void draw_cube(float x, float y, float z, float size);
