// The recursive sponge renderer: every cube goes through GLUT's cube
// primitive on every frame, each leaf inside its own matrix save and restore.
#include "sponge.h"

namespace {

// A cell centre as multiples of the cell edge s away from its parent's centre.
struct offset {
    int x, y, z;
};

// The 20 cells the sponge keeps: layer z + s first, then z, then z - s;
// within a layer rows y + s, y, y - s; within a row x - s before x + s.
const offset kept_cells[20] = {
    {-1, 1, 1}, {0, 1, 1},   {1, 1, 1},  {-1, 0, 1},   {1, 0, 1},   {-1, -1, 1}, {0, -1, 1},
    {1, -1, 1}, {-1, 1, 0},  {1, 1, 0},  {-1, -1, 0},  {1, -1, 0},  {-1, 1, -1}, {0, 1, -1},
    {1, 1, -1}, {-1, 0, -1}, {1, 0, -1}, {-1, -1, -1}, {0, -1, -1}, {1, -1, -1},
};

// The 7 cells the sponge removes (the centre and the six face centres),
// in the order the inverse view draws them.
const offset removed_cells[7] = {
    {0, 1, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, -1},
};

// The 20 kept cells in the order the inverse view recurses into them:
// the 8 corners first, then the 12 edge cells.
const offset inverse_kept_cells[20] = {
    {-1, 1, 1},  {1, 1, 1},  {-1, -1, 1}, {1, -1, 1},  {-1, 1, -1}, {1, 1, -1},  {-1, -1, -1},
    {1, -1, -1}, {0, 1, 1},  {-1, 0, 1},  {1, 0, 1},   {0, -1, 1},  {-1, 1, 0},  {1, 1, 0},
    {-1, -1, 0}, {1, -1, 0}, {0, 1, -1},  {-1, 0, -1}, {1, 0, -1},  {0, -1, -1},
};

// One coordinate of a cell centre: worked in double, kept as a float.
float cell(float centre, int steps, float s) {
    return static_cast<float>(centre + steps * static_cast<double>(s));
}

void draw_cells(const offset (&cells)[20], int level, float x, float y, float z, float s) {
    for (const offset& c : cells) {
        glPushMatrix();
        draw_sponge(level, cell(x, c.x, s), cell(y, c.y, s), cell(z, c.z, s), s);
        glPopMatrix();
    }
}

} // namespace

void draw_cube(float x, float y, float z, float size) {
    glTranslatef(x, y, z);
    const double edge = static_cast<double>(size) * cube_scale;
    if (solid) {
        glutSolidCube(edge);
    } else {
        glutWireCube(edge);
    }
}

void draw_sponge(int level, float x, float y, float z, float size) {
    // A leaf is the whole cube. Its translation is left for the caller's
    // matrix restore to undo; display passes the origin, so nothing is left.
    if (level <= 0 && !inverse) {
        draw_cube(x, y, z, size);
        return;
    }

    const float s = static_cast<float>(size / 3.0);
    if (inverse) {
        for (const offset& c : removed_cells) {
            glPushMatrix();
            draw_cube(cell(x, c.x, s), cell(y, c.y, s), cell(z, c.z, s), s);
            glPopMatrix();
        }
        if (level > 1) { draw_cells(inverse_kept_cells, level - 1, x, y, z, s); }
        return;
    }
    draw_cells(kept_cells, level - 1, x, y, z, s);
}
