#include "measurement/Evaluation.h"

void EvaluateInterval()
{
}

double PoissonProbability(int32_t, int32_t)
{
    return 0.0;
}

