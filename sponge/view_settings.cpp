// The view settings with their values at start.
#include "sponge.h"

bool lighting = true;
bool solid = true;
int iterations = 1;
float cube_scale = 1.0f;
bool inverse = false;
