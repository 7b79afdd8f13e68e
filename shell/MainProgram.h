#pragma once

// The whole program: start-up, the wait for a key or click, the event loop, shut-down.
// Returns the exit status.
int RunMainProgram();
// The program's eight named colours, as start-up sets them.
void SetColours();
// Loads "bild3c2.gif" and draws it with its black outline over logical 4..316 x 4..196.
void DrawStartPicture();
// The window was closed by the user: acts as Quit for every running loop.
void WindowClosed();
