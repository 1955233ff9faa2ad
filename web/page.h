// What the browser's GLUT and OpenGL share: the functions of page.js, which hold the canvas, its
// WebGL 2 context, the keys and the menu, and the cubes that gl.cpp gathers into batches.
#pragma once

extern "C" {
// The canvas, sized and titled, with its WebGL context; false where the browser has none.
bool page_open(const char* title, int width, int height);
void page_add_entry(const char* label, int value);
void page_attach_menu();
void page_request_frame();
void page_clear(const float* colour, bool colour_buffer, bool depth_buffer);
void page_viewport(int x, int y, int width, int height);
void page_depth_test(bool on);
void page_flush();
// Draws `count` cubes, each as four floats: its centre in eye space and its edge; `state` holds
// the matrices, colour, material and lights as the shaders read them (see gl.cpp).
void page_draw_cubes(bool wire, const float* cubes, int count, const float* state);
}

// Adds one cube of edge `size`, centred on the modelview matrix's origin, to the batch in hand.
void add_cube(bool wire, double size);
