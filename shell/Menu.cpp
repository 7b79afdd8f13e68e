#include "shell/Menu.h"

void InitMenu()
{
}

void Win_0_MenuEvent(int32_t)
{
}

