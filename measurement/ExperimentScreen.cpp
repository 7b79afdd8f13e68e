#include "measurement/ExperimentScreen.h"

void ExperimentScreen()
{
}

