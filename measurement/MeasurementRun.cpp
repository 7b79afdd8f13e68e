#include "measurement/MeasurementRun.h"

void RunMeasurement()
{
}

