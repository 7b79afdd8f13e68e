#include "shell/DotSprites.h"

void PrepareDotSprites()
{
}

