// Test support: a real GLUT window on the test display, a record of the cube
// primitives and redraw requests the program issues.
#pragma once

#include "../sponge/sponge.h"

#include "picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// One cube primitive as the program issued it, with where the modelview
// matrix had put its centre and how deep the matrix stack was.
struct cube_call {
    float x, y, z;
    double edge;
    bool solid;
    int stack_depth;
};

extern std::vector<cube_call> cubes;
extern int redisplays;

// The menu entries the program adds, as label and value.
struct menu_entry {
    std::string label;
    int value;
    bool operator==(const menu_entry& o) const { return label == o.label && value == o.value; }
};
extern std::vector<menu_entry> menu_entries;
extern int test_window; // 500 x 500, set up as the program sets up its own

// Resizes the test window and lets GLUT handle the events that follow.
void resize_window(int width, int height);

// The current window's pixels, bottom row first, after the frame has finished.
std::vector<rgb> read_pixels(int width, int height);

// Every test starts from the program's state at start: settings, matrices,
// lighting, an empty record.
class gl_test : public ::testing::Test {
  protected:
    void SetUp() override;
};
