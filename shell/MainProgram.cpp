#include "shell/MainProgram.h"

int RunMainProgram()
{
    return 0;
}

void DrawStartPicture()
{
}

void WindowClosed()
{
}

