// The controls: the keyboard callback and the right-button pop-up menu.
// Both change the view settings or the orientation, then ask for a frame.
#pragma once

void keyboard(unsigned char key, int x, int y);

// Builds the menu, leaves it current for glutAttachMenu, returns its id.
int create_menu();
void menu_select(int value);
