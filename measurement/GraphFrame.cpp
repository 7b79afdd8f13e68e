#include "measurement/GraphFrame.h"

void DrawGraphFrame()
{
}

