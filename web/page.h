// Where C++ and JavaScript meet: the functions of page.js that the browser's GLUT and OpenGL call,
// the functions of theirs that page.js calls, and the one layout of data that crosses, the state
// that a batch of cubes is drawn with (the vertex shader's uniform block `batch_state`).
#pragma once

#include <cstddef>

// A light as the shader reads it, in eye space; `position` has w = 0 for a direction.
struct light_state {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float position[4];
};

// std140: every vec4 and every column of a matrix on 16 bytes. `faces` lists the faces of a cube
// that are drawn (GLUT's numbering), `vertices_per_cube` is four for each of them, and `lights`
// holds the lights that are on, in order.
struct batch_state {
    float projection[16];
    float turn[3][4]; // the modelview's rotation: three columns, as std140 keeps a mat3
    float colour[4];
    float material_ambient[4];
    float material_diffuse[4];
    float material_specular[4];
    float scene_ambient[4];
    int faces[8]; // two ivec4
    float shininess;
    int vertices_per_cube;
    float unused[2];
    light_state lights[8];
};
static_assert(offsetof(batch_state, turn) == 64);
static_assert(offsetof(batch_state, colour) == 112);
static_assert(offsetof(batch_state, faces) == 192);
static_assert(offsetof(batch_state, shininess) == 224);
static_assert(offsetof(batch_state, vertices_per_cube) == 228);
static_assert(offsetof(batch_state, lights) == 240);
static_assert(sizeof(batch_state) == 240 + 8 * 64);

// GLUT's cube of edge 1 as the shader reads it (uniform block `cube_shape`): for each face, its
// four corners counter-clockwise, then the six faces' normals.
struct cube_shape {
    float corners[24][4];
    float normals[6][4];
};

// The ways a batch's cubes are drawn: as lines, or as triangles with one, two or three faces each.
enum shape { wire_edges, one_face, two_faces, three_faces, shape_count };

extern "C" {
// The canvas, sized and titled, with its WebGL 2 context; false where the browser has none.
bool page_open(const char* title, int width, int height);
// Room for a batch: `rows` of `row_width` cubes, each four floats (its centre in eye space and its
// edge); the cube's shape; and room for a batch's state.
void page_prepare_cubes(int row_width, int rows, const cube_shape* cube, int cube_size,
                        int state_size);
// The vertices that each cube of a batch drawn as `kind` goes through, `count` in all.
void page_shape(shape kind, bool lines, const unsigned* indices, int count);
void page_add_entry(const char* label, int value);
void page_attach_menu();
void page_request_frame();
void page_clear(const float* colour, bool colour_buffer, bool depth_buffer);
void page_viewport(int x, int y, int width, int height);
void page_depth_test(bool on);
// Draws `count` cubes as `kind`, with `state`, by the shader that `shader_key` (its #defines)
// makes of the one source.
void page_draw_cubes(shape kind, const float* cubes, int count, const batch_state* state,
                     const char* shader_key);

// Called by page.js: a frame, a key typed (its character's code), a menu entry chosen, the
// canvas's new size in pixels, and a lost WebGL context given back.
void glut_frame();
void glut_key(int key);
void glut_menu(int value);
void glut_reshape(int width, int height);
void glut_restore();
}

// Hands page.js the batch's room and the cube's shapes, once the canvas is open.
void prepare_cubes();

// Hands page.js again all that it held of OpenGL's, its context given back.
void restore_context();

// Adds one cube of edge `size`, centred on the modelview matrix's origin, to the batch in hand.
void add_cube(bool wire, double size);
