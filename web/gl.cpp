// Fixed-function OpenGL for the browser, as the viewer uses it: the matrix stacks, the depth
// test, the lights and the material, kept here and handed to WebGL's shaders, which light each
// vertex by OpenGL's equation. The arithmetic on matrices rounds as a desktop OpenGL's does, in
// floats, so that every cube lands where it would there. Cubes are gathered into batches and
// drawn many at a time; a batch is drawn before anything that it depends on changes.
#include "GL/glut.h"

#include "page.h"

#include <cmath>
#include <emscripten.h>
#include <vector>

namespace {

// Column-major, as OpenGL keeps it: m[column * 4 + row].
struct matrix {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

std::vector<matrix> modelview(1);
std::vector<matrix> projection(1);
std::vector<matrix>* current = &modelview;

// OpenGL's defaults where the viewer sets nothing: a material of ambient 0.2 and diffuse 0.8,
// black specular and emission; light 0 white, the others black; a scene ambient of 0.2.
struct light {
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};
    float specular[4] = {0, 0, 0, 1};
    float position[4] = {0, 0, 1, 0}; // in eye space
    bool on = false;
};
light lights[8] = {{{0, 0, 0, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}}};
float material_ambient[4] = {0.2f, 0.2f, 0.2f, 1};
float material_diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
float material_specular[4] = {0, 0, 0, 1};
float material_emission[4] = {0, 0, 0, 1};
float shininess = 0;
float colour[4] = {1, 1, 1, 1};
float clear_colour[4] = {0, 0, 0, 0};
bool lighting = false;

// The batch in hand: its cubes, four floats each (centre in eye space, edge), and the state
// that they are drawn with, as the shaders read it, in vec4s:
//   0-3 projection, 4-6 the modelview's rotation, 7 colour, 8-11 material ambient, diffuse,
//   specular and emission, 12 (shininess, lighting, lights on), 13 scene ambient, then for each
//   light that is on: ambient, diffuse, specular, position.
const int batch_size = 16384; // a multiple of 1024, the width of page.js's texture of cubes
float cubes[batch_size * 4];
int count = 0;
bool batch_wire = false;
float state[4 * (14 + 4 * 8)];

void copy4(float* to, const float* from) {
    for (int i = 0; i < 4; ++i) { to[i] = from[i]; }
}

void take_state() {
    const float* p = projection.back().m;
    const float* v = modelview.back().m;
    for (int i = 0; i < 16; ++i) { state[i] = p[i]; }
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) { state[16 + column * 4 + row] = v[column * 4 + row]; }
        state[16 + column * 4 + 3] = 0;
    }
    copy4(state + 28, colour);
    copy4(state + 32, material_ambient);
    copy4(state + 36, material_diffuse);
    copy4(state + 40, material_specular);
    copy4(state + 44, material_emission);
    const float scene_ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    copy4(state + 52, scene_ambient);
    int on = 0;
    for (const light& l : lights) {
        if (!l.on) { continue; }
        float* at = state + 56 + 16 * on++;
        copy4(at, l.ambient);
        copy4(at + 4, l.diffuse);
        copy4(at + 8, l.specular);
        copy4(at + 12, l.position);
    }
    state[48] = shininess;
    state[49] = lighting ? 1 : 0;
    state[50] = static_cast<float>(on);
    state[51] = 0;
}

// Whether the modelview matrix still turns as it did when the batch began.
bool same_rotation() {
    const float* v = modelview.back().m;
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            if (state[16 + column * 4 + row] != v[column * 4 + row]) { return false; }
        }
    }
    return true;
}

// Draws the batch in hand, if any.
void flush() {
    if (count > 0) { page_draw_cubes(batch_wire, cubes, count, state); }
    count = 0;
}

// m = m * by, each element summed in column order, as OpenGL implementations do.
void multiply(matrix& m, const matrix& by) {
    matrix product;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            product.m[column * 4 + row] =
                m.m[row] * by.m[column * 4] + m.m[4 + row] * by.m[column * 4 + 1] +
                m.m[8 + row] * by.m[column * 4 + 2] + m.m[12 + row] * by.m[column * 4 + 3];
        }
    }
    m = product;
}

void copy_colour(float* to, const float* from, GLenum name, GLenum wanted) {
    if (name == wanted) { copy4(to, from); }
}

void enable(GLenum capability, bool on) {
    flush();
    if (capability == GL_DEPTH_TEST) { page_depth_test(on); }
    if (capability == GL_LIGHTING) { lighting = on; }
    if (capability >= GL_LIGHT0 && capability < GL_LIGHT0 + 8) {
        lights[capability - GL_LIGHT0].on = on;
    }
}

// A batch takes the projection as it is when the batch begins, and is drawn before that changes.
// The modelview matrix's rotation it takes too, but add_cube compares that for every cube.
void matrix_changes() {
    if (current == &projection) { flush(); }
}

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE int glut_batch_size() { return batch_size; }

void add_cube(bool wire, double size) {
    if (count > 0 && (wire != batch_wire || !same_rotation())) { flush(); }
    if (count == 0) {
        take_state();
        batch_wire = wire;
    }
    const float* v = modelview.back().m;
    float* cube = cubes + 4 * count++;
    cube[0] = v[12];
    cube[1] = v[13];
    cube[2] = v[14];
    cube[3] = static_cast<float>(size); // GLUT takes the edge as a float
    if (count == batch_size) { flush(); }
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    const float c[4] = {red, green, blue, alpha};
    copy4(clear_colour, c);
}

void glClear(GLbitfield mask) {
    flush();
    page_clear(clear_colour, mask & GL_COLOR_BUFFER_BIT, mask & GL_DEPTH_BUFFER_BIT);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    flush();
    page_viewport(x, y, width, height);
}

void glFlush() {
    flush();
    page_flush();
}

void glEnable(GLenum capability) { enable(capability, true); }
void glDisable(GLenum capability) { enable(capability, false); }

void glMatrixMode(GLenum mode) { current = mode == GL_PROJECTION ? &projection : &modelview; }

void glLoadIdentity() {
    matrix_changes();
    current->back() = matrix();
}

void glPushMatrix() { current->push_back(current->back()); }

void glPopMatrix() {
    matrix_changes();
    if (current->size() > 1) { current->pop_back(); }
}

// The arguments rounded to floats first, as OpenGL's own glOrtho does.
void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val,
             GLdouble far_val) {
    matrix_changes();
    const float l = static_cast<float>(left), r = static_cast<float>(right);
    const float b = static_cast<float>(bottom), t = static_cast<float>(top);
    const float n = static_cast<float>(near_val), f = static_cast<float>(far_val);
    matrix ortho;
    ortho.m[0] = 2.0f / (r - l);
    ortho.m[5] = 2.0f / (t - b);
    ortho.m[10] = -2.0f / (f - n);
    ortho.m[12] = -(r + l) / (r - l);
    ortho.m[13] = -(t + b) / (t - b);
    ortho.m[14] = -(f + n) / (f - n);
    multiply(current->back(), ortho);
}

// Only the last column changes: m[12..15] += x m[0..3] + y m[4..7] + z m[8..11].
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    matrix_changes();
    float* m = current->back().m;
    for (int row = 0; row < 4; ++row) {
        m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    }
}

// About one of the axes, the sine and cosine are placed as they are, so that the ones and zeros
// stay exact; about any other axis, OpenGL's general rotation.
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    const double radians = angle * 3.14159265358979323846 / 180.0;
    const float s = static_cast<float>(std::sin(radians));
    const float c = static_cast<float>(std::cos(radians));
    matrix r;
    float* m = r.m;
    if (y == 0 && z == 0 && x != 0) {
        m[5] = c;
        m[10] = c;
        m[6] = x < 0 ? -s : s;
        m[9] = -m[6];
    } else if (x == 0 && z == 0 && y != 0) {
        m[0] = c;
        m[10] = c;
        m[8] = y < 0 ? -s : s;
        m[2] = -m[8];
    } else if (x == 0 && y == 0 && z != 0) {
        m[0] = c;
        m[5] = c;
        m[1] = z < 0 ? -s : s;
        m[4] = -m[1];
    } else {
        const float length = std::sqrt(x * x + y * y + z * z);
        if (length == 0) { return; }
        const float u[3] = {x / length, y / length, z / length};
        for (int column = 0; column < 3; ++column) {
            for (int row = 0; row < 3; ++row) {
                m[column * 4 + row] = u[row] * u[column] * (1 - c) + (row == column ? c : 0);
            }
        }
        m[1] += u[2] * s; // the skew part of the axis' cross product
        m[4] -= u[2] * s;
        m[2] -= u[1] * s;
        m[8] += u[1] * s;
        m[6] += u[0] * s;
        m[9] -= u[0] * s;
    }
    matrix_changes();
    multiply(current->back(), r);
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    flush();
    const float c[4] = {red, green, blue, 1};
    copy4(colour, c);
}

// Colours are interpolated across each face: the viewer asks for nothing else.
void glShadeModel(GLenum /*mode*/) {}

// One material serves both sides: without two-sided lighting, OpenGL lights every face with the
// front material.
void glMaterialfv(GLenum /*face*/, GLenum name, const GLfloat* values) {
    flush();
    copy_colour(material_ambient, values, name, GL_AMBIENT);
    copy_colour(material_diffuse, values, name, GL_DIFFUSE);
    copy_colour(material_specular, values, name, GL_SPECULAR);
    copy_colour(material_emission, values, name, GL_EMISSION);
    if (name == GL_SHININESS) { shininess = values[0]; }
}

// A position is taken into eye space by the modelview matrix of the moment, and kept there.
void glLightfv(GLenum number, GLenum name, const GLfloat* values) {
    flush();
    light& l = lights[number - GL_LIGHT0];
    copy_colour(l.ambient, values, name, GL_AMBIENT);
    copy_colour(l.diffuse, values, name, GL_DIFFUSE);
    copy_colour(l.specular, values, name, GL_SPECULAR);
    if (name == GL_POSITION) {
        const float* m = modelview.back().m;
        for (int row = 0; row < 4; ++row) {
            l.position[row] = m[row] * values[0] + m[4 + row] * values[1] + m[8 + row] * values[2] +
                              m[12 + row] * values[3];
        }
    }
}
