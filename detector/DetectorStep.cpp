#include "detector/DetectorStep.h"

void DetectorStep()
{
}

