#pragma once

// The program's few number rules, in one place:
// floating point to integer goes to the nearest integer with halves to even;
// values that must fit 16 bits saturate instead of wrapping or being undefined;
// numbers become text without a leading blank, the mean with a German decimal comma.

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// NaN gives 0; infinities and values beyond the 64-bit range saturate.
inline int64_t nearestInteger(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9.2e18)
        return std::numeric_limits<int64_t>::max();
    if (value <= -9.2e18)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value - std::remainder(value, 1.0));
}

inline int16_t saturateToInt16(int64_t value)
{
    if (value > std::numeric_limits<int16_t>::max())
        return std::numeric_limits<int16_t>::max();
    if (value < std::numeric_limits<int16_t>::min())
        return std::numeric_limits<int16_t>::min();
    return static_cast<int16_t>(value);
}

// A computed logical coordinate made a 16-bit integer: nearest, then saturated,
// so that a huge frequency lands far off the frame rather than being undefined.
inline int16_t logicalCoordinate(double value)
{
    return saturateToInt16(nearestInteger(value));
}

// Decimal text of an integer, no leading blank: "7", "-3", "120".
inline std::string numberText(int64_t value)
{
    return std::to_string(value);
}

// The mean as shown under "Mittelwert:": floor(mean * 10 + 0.5) tenths, written with one
// decimal and a comma ("10,3"). Computed in whole tenths, so no binary noise shows.
inline std::string meanText(double mean)
{
    const double tenthsValue = std::floor(mean * 10.0 + 0.5);
    if (!std::isfinite(tenthsValue))
        return "0,0";
    const int64_t tenths = static_cast<int64_t>(tenthsValue);
    const int64_t magnitude = tenths < 0 ? -tenths : tenths;
    std::string text = tenths < 0 ? "-" : "";
    text += std::to_string(magnitude / 10) + "," + std::to_string(magnitude % 10);
    return text;
}
