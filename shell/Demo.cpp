#include "shell/Demo.h"

void RunDemo()
{
}

