#pragma once

// One time step of the detector: registers a particle when the probability exceeds
// stepRandom, counts it, clicks and shows the count.
void DetectorStep();
