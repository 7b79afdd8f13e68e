#pragma once

#include <cstdint>

// Fills menuText from the built-in menu definition and installs the menu bar.
void InitMenu();
// Every menu choice arrives here with its menuText index, nested if a command is running.
void Win_0_MenuEvent(int32_t index);
// Quit chosen while the program waited for input runs now (with the choices made before it),
// so the program ends without showing anything more; other choices stay held.
void RunQuitIfChosen();
