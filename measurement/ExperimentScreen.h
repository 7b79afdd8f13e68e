#pragma once

// Draws the experiment screen, announces a new series once after each demonstration,
// runs one measurement and marks the screen idle again.
void ExperimentScreen();
