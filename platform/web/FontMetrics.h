#pragma once

// The character grid of the page's serif face, read from its TrueType tables and rounded as
// the desktop's font engine rounds it, so that both editions put the program's text on the
// same cells:
// - the face is set at a whole pixel size, k points being k * 4 / 3 pixels;
// - ascent and descent are the hhea values scaled in 26.6 fixed point, rounded to pixels;
// - the cell is the classic average character width of platform/qt/Fonts.cpp: the advances
//   of a..z and the space, each cut to 1/64 pixel, weighted by their frequency in English.

#include <array>
#include <cstdint>
#include <vector>

class FontMetrics {
public:
    struct Cell {
        int pixelSize = 0;
        int ascent = 0;
        int descent = 0;
        int averageWidth = 0;
        int height() const { return ascent + descent; }
    };

    // Tables that cannot be read leave Liberation Serif's proportions in place.
    explicit FontMetrics(const std::vector<uint8_t>& trueTypeFile);

    Cell cellAt(double points) const;
    static int pixelSize(double points);

private:
    int unitsPerEm_ = 2048;
    int ascender_ = 1825;
    int descender_ = 443;
    std::array<int, 27> advances_;   // a..z, then the space
};
