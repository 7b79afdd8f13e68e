// Rounding, saturation and number texts, checked against values worked out by hand.

#include "core/NumberRules.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(NumberRules, NearestIntegerSendsHalvesToTheEvenNeighbour)
{
    const struct { double value; int64_t expected; } rows[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {10.49, 10}, {10.51, 11}, {99.999, 100}, {-7.2, -7}, {188.4, 188},
        {std::numeric_limits<double>::quiet_NaN(), 0}, {1e300, std::numeric_limits<int64_t>::max()},
        {std::numeric_limits<double>::infinity(), std::numeric_limits<int64_t>::max()},
        {-std::numeric_limits<double>::infinity(), std::numeric_limits<int64_t>::min()},
    };
    for (const auto& row : rows)
        EXPECT_EQ(nearestInteger(row.value), row.expected) << row.value;
}

TEST(NumberRules, LogicalCoordinatesSaturateAtSixteenBits)
{
    EXPECT_EQ(logicalCoordinate(100 - 4 * 5000.0), -19900);
    EXPECT_EQ(logicalCoordinate(100 - 4 * 1e6), -32768);
    EXPECT_EQ(logicalCoordinate(1e9), 32767);
    EXPECT_EQ(logicalCoordinate(220.5), 220);
    EXPECT_EQ(saturateToInt16(32768), 32767);
    EXPECT_EQ(saturateToInt16(-40000), -32768);
}

TEST(NumberRules, NumbersAreWrittenWithoutALeadingBlank)
{
    EXPECT_EQ(numberText(0), "0");
    EXPECT_EQ(numberText(18), "18");
    EXPECT_EQ(numberText(-3), "-3");
}

TEST(NumberRules, MeanIsRoundedHalfUpToOneDecimalWithAComma)
{
    const struct { double mean; const char* text; } rows[] = {
        {10.25, "10,3"}, {10.24, "10,2"}, {10.0, "10,0"}, {0.0, "0,0"}, {9.95, "10,0"},
        {10.3, "10,3"}, {0.05, "0,1"}, {33.333333, "33,3"}, {100.0, "100,0"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(meanText(row.mean), row.text) << row.mean;
}

} // namespace
