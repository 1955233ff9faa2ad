// Fixed-function OpenGL for the browser, as the viewer uses it: the matrix stacks, the depth
// test, the lights and the material, kept here and handed to WebGL's shader, which lights each
// vertex by OpenGL's equation. The arithmetic on matrices rounds as a desktop OpenGL's does, in
// floats, so that every cube lands where it would there. Cubes are gathered into batches and
// drawn many at a time; a batch is drawn before anything that it depends on changes.
#include "GL/glut.h"

#include "page.h"

#include <cmath>
#include <cstdio>
#include <utility>
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
// black specular; light 0 white, the others black; a scene ambient of 0.2.
struct light {
    light_state state;
    bool on;
};
light lights[8] = {{{{0, 0, 0, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, {0, 0, 1, 0}}, false}};
float material_ambient[4] = {0.2f, 0.2f, 0.2f, 1};
float material_diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
float material_specular[4] = {0, 0, 0, 1};
float shininess = 0;
float colour[4] = {1, 1, 1, 1};
float clear_colour[4] = {0, 0, 0, 0};
bool lighting = false;
bool depth_test = false;

// GLUT's cube of edge 1: its corners, and its faces as GLUT draws them, each with its normal and
// its corners counter-clockwise seen from outside.
const float corners[8][3] = {{0.5f, 0.5f, 0.5f},   {-0.5f, 0.5f, 0.5f},  {-0.5f, -0.5f, 0.5f},
                             {0.5f, -0.5f, 0.5f},  {0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, -0.5f},
                             {-0.5f, 0.5f, -0.5f}, {-0.5f, -0.5f, -0.5f}};
const struct {
    int corners[4];
    float normal[3];
} faces[6] = {
    {{0, 1, 2, 3}, {0, 0, 1}},  {{0, 3, 4, 5}, {1, 0, 0}},  {{0, 5, 6, 1}, {0, 1, 0}},
    {{1, 6, 7, 2}, {-1, 0, 0}}, {{7, 4, 3, 2}, {0, -1, 0}}, {{4, 7, 6, 5}, {0, 0, -1}},
};

// A batch's cubes are one draw call over a texture of their centres and edges, a row of the
// texture for each 1,024 cubes: on Chromium's software WebGL this measured faster than instanced
// drawing, which is slower there per instance than per vertex. Each vertex of the draw finds its
// cube, face and corner from its number alone, so the index buffers are made once.
const int row_width = 1024;
const int batch_size = 16 * row_width;
float cubes[batch_size * 4];
int count = 0;
shape batch_shape = one_face;
// Solid cubes' shapes by how many faces face the viewer: none shows nothing.
const shape solid_shapes[4] = {shape_count, one_face, two_faces, three_faces};
batch_state state;
char shader_key[128];

void copy4(float* to, const float* from) {
    for (int i = 0; i < 4; ++i) { to[i] = from[i]; }
}

// Whether face f goes round counter-clockwise on the screen, as the projection and the rotation
// turn it: the projection is parallel (glOrtho), so this holds for every cube of a batch.
bool faces_viewer(const float* p, const float* v, int f) {
    float screen[2][3]; // the screen's x and y of each of the cube's axes
    for (int row = 0; row < 2; ++row) {
        for (int axis = 0; axis < 3; ++axis) {
            screen[row][axis] = 0;
            for (int j = 0; j < 3; ++j) { screen[row][axis] += p[4 * j + row] * v[4 * axis + j]; }
        }
    }
    const int* c = faces[f].corners;
    float edge[2][2]; // the screen's picture of the edges from corner 0 to corners 1 and 2
    for (int e = 0; e < 2; ++e) {
        for (int row = 0; row < 2; ++row) {
            edge[e][row] = 0;
            for (int axis = 0; axis < 3; ++axis) {
                edge[e][row] += screen[row][axis] * (corners[c[e + 1]][axis] - corners[c[0]][axis]);
            }
        }
    }
    return edge[0][0] * edge[1][1] - edge[0][1] * edge[1][0] > 0;
}

// Takes the state for a new batch, and the shader key that says what of it the shader needs:
// whether it is lit, how many lights are on, which are directional (bit i for the i-th on), and
// which can add a highlight (the material's specular colour and the light's are not black).
void take_state(bool wire) {
    const float* p = projection.back().m;
    const float* v = modelview.back().m;
    for (int i = 0; i < 16; ++i) { state.projection[i] = p[i]; }
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 4; ++row) {
            state.turn[column][row] = row < 3 ? v[column * 4 + row] : 0;
        }
    }
    int drawn = 0;
    for (int f = 0; f < 6; ++f) {
        if (wire || faces_viewer(p, v, f)) { state.faces[drawn++] = f; }
    }
    state.vertices_per_cube = 4 * drawn;
    batch_shape = wire ? wire_edges : solid_shapes[drawn];

    copy4(state.colour, colour);
    copy4(state.material_ambient, material_ambient);
    copy4(state.material_diffuse, material_diffuse);
    copy4(state.material_specular, material_specular);
    const float scene_ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    copy4(state.scene_ambient, scene_ambient);
    state.shininess = shininess;
    const bool shiny = material_specular[0] || material_specular[1] || material_specular[2];
    int on = 0, directional = 0, specular = 0;
    for (const light& l : lights) {
        if (!l.on) { continue; }
        const float* s = l.state.specular;
        if (l.state.position[3] == 0) { directional |= 1 << on; }
        if (shiny && (s[0] || s[1] || s[2])) { specular |= 1 << on; }
        state.lights[on++] = l.state;
    }
    std::snprintf(shader_key, sizeof shader_key,
                  "#define LIGHTING %s\n#define LIGHTS %d\n#define DIRECTIONAL %d\n"
                  "#define SPECULAR %d\n",
                  lighting ? "true" : "false", on, directional, specular);
}

// Whether the modelview matrix still turns as it did when the batch began.
bool same_rotation() {
    const float* v = modelview.back().m;
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            if (state.turn[column][row] != v[column * 4 + row]) { return false; }
        }
    }
    return true;
}

// Draws the batch in hand, if it shows anything.
void flush() {
    if (count > 0 && batch_shape != shape_count) {
        page_draw_cubes(batch_shape, cubes, count, &state, shader_key);
    }
    count = 0;
}

// The index buffer of a whole batch drawn as `kind`: each cube's `pattern` of its own vertices,
// the cube's vertices following the last cube's.
void make_shape(shape kind, bool lines, const std::vector<unsigned>& pattern, unsigned per_cube) {
    std::vector<unsigned> all;
    all.reserve(pattern.size() * batch_size);
    for (unsigned cube = 0; cube < batch_size; ++cube) {
        for (const unsigned vertex : pattern) { all.push_back(cube * per_cube + vertex); }
    }
    page_shape(kind, lines, all.data(), static_cast<int>(all.size()));
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
    if (capability == GL_DEPTH_TEST) {
        depth_test = on;
        page_depth_test(on);
    }
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

void prepare_cubes() {
    cube_shape cube;
    for (int f = 0; f < 6; ++f) {
        for (int k = 0; k < 4; ++k) {
            const float* corner = corners[faces[f].corners[k]];
            const float point[4] = {corner[0], corner[1], corner[2], 1};
            copy4(cube.corners[4 * f + k], point);
        }
        const float* n = faces[f].normal;
        const float normal[4] = {n[0], n[1], n[2], 0};
        copy4(cube.normals[f], normal);
    }
    page_prepare_cubes(row_width, batch_size / row_width, &cube, sizeof cube, sizeof state);

    // Solid cubes show only the faces that face the viewer, at most three: those behind them the
    // depth test would hide. Each face is two triangles, (0, 1, 2) and (0, 2, 3), as GLUT's are.
    std::vector<unsigned> pattern;
    for (unsigned drawn = 1; drawn <= 3; ++drawn) {
        for (const unsigned corner : {0u, 1u, 2u, 0u, 2u, 3u}) {
            pattern.push_back(4 * (drawn - 1) + corner);
        }
        make_shape(solid_shapes[drawn], false, pattern, 4 * drawn);
    }

    // GLUT draws a wire cube as the loop of each face's edges, so each edge twice; the second
    // drawing has the same depths and, with the depth test, never shows. Each edge is drawn once,
    // as its first face draws it, always from its lower-numbered corner, so that the edges of
    // neighbouring cubes that meet get the same depths too.
    bool drawn_edge[8][8] = {};
    pattern.clear();
    for (unsigned f = 0; f < 6; ++f) {
        for (unsigned k = 0; k < 4; ++k) {
            unsigned from = 4 * f + k;
            unsigned to = 4 * f + (k + 1) % 4;
            const int a = faces[f].corners[k];
            const int b = faces[f].corners[(k + 1) % 4];
            if (drawn_edge[a][b]) { continue; }
            drawn_edge[a][b] = drawn_edge[b][a] = true;
            if (a > b) { std::swap(from, to); }
            pattern.push_back(from);
            pattern.push_back(to);
        }
    }
    make_shape(wire_edges, true, pattern, 24);
}

void restore_context() {
    prepare_cubes();
    page_depth_test(depth_test);
}

void add_cube(bool wire, double size) {
    if (count > 0 && ((batch_shape == wire_edges) != wire || !same_rotation())) { flush(); }
    if (count == 0) { take_state(wire); }
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

// The page hands its drawing to the GPU as it can (page.js).
void glFlush() { flush(); }

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
    copy_colour(material_diffuse, values, name, GL_DIFFUSE);
    copy_colour(material_specular, values, name, GL_SPECULAR);
    if (name == GL_SHININESS) { shininess = values[0]; }
}

// A position is taken into eye space by the modelview matrix of the moment, and kept there.
void glLightfv(GLenum number, GLenum name, const GLfloat* values) {
    flush();
    light& l = lights[number - GL_LIGHT0];
    copy_colour(l.state.diffuse, values, name, GL_DIFFUSE);
    copy_colour(l.state.specular, values, name, GL_SPECULAR);
    if (name == GL_POSITION) {
        const float* m = modelview.back().m;
        for (int row = 0; row < 4; ++row) {
            l.state.position[row] = m[row] * values[0] + m[4 + row] * values[1] +
                                    m[8 + row] * values[2] + m[12 + row] * values[3];
        }
    }
}
