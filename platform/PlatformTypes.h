#pragma once

// The values that cross the platform interface, for headers that hold them without
// calling the platform (the program state, the canvas).
// Colours are 24-bit values: red in the low byte, then green, then blue.

#include <cstdint>
#include <vector>

using Colour = int32_t;

constexpr Colour makeColour(int red, int green, int blue)
{
    return red | (green << 8) | (blue << 16);
}

// A captured pixel rectangle ("image string"): row-major 0xBBGGRR values.
// Putting it back draws exactly these pixels again. On a HiDPI screen it holds device
// pixels, so width and height may be a multiple of the logical size asked for.
struct ImageString {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;
    bool empty() const { return width <= 0 || height <= 0; }
};

// A loaded picture; 0 means "no picture" (never loaded, released, or the file was unusable).
using PictureId = int;
