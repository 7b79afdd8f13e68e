#pragma once

// One time step of the detector: registers a particle when the probability exceeds
// stepRandom, counts it, clicks and shows the count. With a real counter at the audio input,
// it registers the clicks the counter made in the step instead, without a click of its own.
void DetectorStep();

// Whether this step's registrations come from a real counter at the audio input rather than
// from the draw.
bool RegistersFromCounter();
