#pragma once

#include <cstdint>

// Enters the finished interval into the histogram and redraws measured and expected
// frequencies, the mean line and "Mittelwert:".
void EvaluateInterval();
// The intervals the histogram holds; the mean divides by it.
int64_t IntervalsMeasured();
// m^k / k! * e^-m, built up as a product of quotients so that nothing grows like k!.
double PoissonProbability(int32_t m, int32_t k);
