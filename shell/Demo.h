#pragma once

// The two-pass demonstration: slow first pass with flying dots, halt notice, second pass,
// then the parameters of every later series.
void RunDemo();
