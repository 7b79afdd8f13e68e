#include "screens/TitleScreen.h"

void TitleScreen()
{
}

void WaitContinue(int16_t)
{
}

