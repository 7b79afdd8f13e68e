#include "screens/HaltNotice.h"

void ShowHaltNotice()
{
}

