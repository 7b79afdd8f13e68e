#pragma once

// One time step of the detector: registers a particle when the probability exceeds
// stepRandom, counts it, and clicks and shows the count while nobody has intervened.
void DetectorStep();
