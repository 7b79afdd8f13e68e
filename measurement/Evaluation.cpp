#include "measurement/Evaluation.h"

#include "core/Canvas.h"
#include "core/NumberRules.h"
#include "core/ProgramState.h"
#include "detector/DetectorStep.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr int32_t kHighestSummedCount = 100;
constexpr double kMeasuredPointRadius = 4;   // pixels, whatever the window size
constexpr double kExpectedPointRadius = 2;

// A logical coordinate from a computed value. Infinities (a divisor of 0) are pinned to the
// 16-bit edges here, because the nearest-integer rule is only defined for finite values.
int16_t logical(double value)
{
    if (std::isinf(value))
        return value > 0 ? std::numeric_limits<int16_t>::max()
                         : std::numeric_limits<int16_t>::min();
    return logicalCoordinate(value);
}

// Count axis: 6 units per count (3 in the demonstration), count 0 at x = 100.
int16_t countX(double count)
{
    return logical(6.0 * count / static_cast<double>(state.scaleDivisor) + 100.0);
}

// Frequency axis: 4 units per interval upwards from the count axis at y = 100.
int16_t frequencyY(double frequency)
{
    return logical(100.0 - 4.0 * frequency);
}

void enterFinishedInterval()
{
    // eventCount exceeds stepsPerInterval (100) only with a fast real counter; the top slot,
    // never summed or drawn, takes anything larger rather than writing past the table.
    const auto slot = static_cast<size_t>(std::clamp<int32_t>(state.eventCount, 0, 101));
    if (state.histogram[slot] < std::numeric_limits<int32_t>::max())
        ++state.histogram[slot];
    state.intervalRecords.push_back({state.eventCount, state.stepsDone, RegistersFromCounter()});
    state.intervalsDone = saturateToInt16(int64_t{state.intervalsDone} + 1);
}

void computeMean()
{
    for (int32_t k = 1; k <= kHighestSummedCount; ++k)
        state.meanCount += static_cast<double>(k) * state.histogram[static_cast<size_t>(k)];
    // The entries the histogram holds, which is intervalsDone for as long as that 16-bit
    // counter does not saturate: a very long lesson keeps a true mean.
    state.meanCount /= static_cast<double>(IntervalsMeasured());
}

// The Poisson law is scaled to the intervals announced: from the first interval of a series of
// ten the class sees the whole curve the red points grow towards.
double expectedFrequency(int32_t m, int32_t k)
{
    return static_cast<double>(state.intervalsTotal) * PoissonProbability(m, k);
}

void drawPointsAndCurve(int32_t m)
{
    Platform& p = platform();
    const int32_t lastDrawnCount = 20 * int32_t{state.scaleDivisor};
    for (int16_t k = 1; k <= kHighestSummedCount; ++k) {
        p.setForeground(state.colorRed);
        if (k > lastDrawnCount)
            continue;
        const int pixelX = ScaleX(countX(k));
        p.drawCircle(pixelX, ScaleY(frequencyY(state.histogram[static_cast<size_t>(k)])),
                     kMeasuredPointRadius);
        p.setForeground(state.colorWhite);
        const int expectedY = ScaleY(frequencyY(expectedFrequency(m, k)));
        p.drawCircle(pixelX, expectedY, kExpectedPointRadius);
        // The segment into the last point is left out, as the lesson has always shown it.
        if (k > 1 && k < lastDrawnCount)
            p.drawLine(ScaleX(countX(k - 1)), ScaleY(frequencyY(expectedFrequency(m, k - 1))),
                       pixelX, expectedY);
        p.setForeground(state.colorRed);
    }
}

void printMean()
{
    Platform& p = platform();
    p.setForeground(state.colorWhite);
    p.setBackground(state.colorRed);
    p.setFontSize(FontPoints(30));
    p.setTextCursor(4, 3);
    p.setFontSize(FontPoints(12));
    p.printLine("Mittelwert:");
    p.setFontSize(FontPoints(30));
    p.setTextCursor(4, 4);
    p.printLine("          ");   // clears the previous value
    p.setTextCursor(4, 4);
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on " " + text + " ".
    const std::string mean = meanText(state.meanCount);
    std::string meanLine(1, ' ');
    meanLine += mean;
    meanLine += ' ';
    p.printLine(meanLine);
    std::string spoken("Mittelwert: ");
    spoken += mean;
    p.announce(spoken);
}

void drawMeanMarker()
{
    platform().setForeground(state.colorRed);
    const int x = ScaleX(countX(state.meanCount));
    platform().drawLine(x, ScaleY(100), x, ScaleY(20));
}

} // namespace

int64_t IntervalsMeasured()
{
    int64_t entries = 0;
    for (int32_t entry : state.histogram)
        entries += entry;
    return entries;
}

double PoissonProbability(int32_t m, int32_t k)
{
    double p = 1.0;
    for (int64_t i = 1; i <= k; ++i)
        p *= static_cast<double>(m) / static_cast<double>(i);
    return p * std::exp(-static_cast<double>(m));
}

void EvaluateInterval()
{
    state.meanCount = 0;
    enterFinishedInterval();
    platform().setForeground(state.colorRed);
    platform().setBackground(colourOf(state.colorOrange));
    computeMean();
    // The comparison is with the Poisson law of the rounded mean, not of the mean itself.
    const auto m = static_cast<int32_t>(
        std::clamp<int64_t>(nearestInteger(state.meanCount), 0, std::numeric_limits<int32_t>::max()));
    drawPointsAndCurve(m);
    printMean();
    drawMeanMarker();
}
