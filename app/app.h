// The window's callbacks and its one-time scene set-up.
#pragma once

void display();
void reshape(int width, int height);
void init();
