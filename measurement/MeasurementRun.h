#pragma once

// Measures intervalsPerRun counting intervals of stepsPerInterval steps each.
void RunMeasurement();
