#pragma once

// The whole program: start-up, the wait for a key or click, the event loop, shut-down.
// Returns the exit status.
int RunMainProgram();
// The program's eight named colours, as start-up sets them.
void SetColours();
// The window was closed by the user: acts as Quit for every running loop.
void WindowClosed();
