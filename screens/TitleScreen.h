#pragma once

#include <cstdint>

// The title screen with both pictures; makes the program's folder the current directory,
// waits on the continue prompt and clears the window.
void TitleScreen();
// Prints "Weiter ?  <RETURN>" and waits for any key or mouse button.
void WaitContinue(int16_t promptRow);
// Waits until a key is pressed (and takes it), a mouse button is down or a menu choice is made.
void WaitForKeyOrMouse();
