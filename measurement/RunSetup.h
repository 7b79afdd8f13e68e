#pragma once

#include <cstdint>

// The settings each kind of run starts from, each kind in one place. The demonstration and
// the series commands call these before their experiment screens.

// The demonstration's first pass: one slow interval of 40 steps with flying dots, registering
// with the probability 4.0 · 0.1 / 2 = 0.2 per step, on a cleared table at half the count scale.
void ConfigureFirstPass();
// The demonstration's second pass: the same interval at 100 steps, only clicks and counts.
void ConfigureSecondPass();
// Whatever of the demonstration ran, every later series starts from these settings.
void ConfigureAfterDemonstration();
// A series of `intervals` intervals of 100 steps, added to the intervals announced. It runs in
// the mode the demonstration left behind.
void ConfigureSeries(int16_t intervals);
