#pragma once

// The logical canvas: 320 units across, 200 down, stretched over the drawing area
// independently in each direction. The size is read at every call, so drawing done
// after a resize follows the new size.

#include <cstdint>

// Pixels for a logical x (or width): v * width / 320, truncated toward zero.
int ScaleX(int16_t v);
// Pixels for a logical y (or height): v * height / 200, truncated toward zero.
int ScaleY(int16_t v);
// Size for a font of k points at a drawing-area width of 800 pixels: k * width / 800.
double FontPoints(double k);
// Clears the histogram, sets the canvas bases and the start values of the rate and pixelsPerUnitY.
void InitCanvas();
