#include "detector/ClickDetector.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kHighPassHz = 300.0;
constexpr double kWarmUpSeconds = 2.0;
constexpr double kDeadTimeSeconds = 0.002;
constexpr double kReleaseSeconds = 0.0005;
constexpr float kThresholdOverFloor = 8.0f;
constexpr float kLeastThreshold = 0.002f;

// The threshold from the pieces of the warm-up: their lower quartile, so that neither the
// clicks among them nor a start in silence moves it.
float thresholdOf(ClickDetector& detector)
{
    const auto pieces = std::span(detector.pieceMeanSquares).first(static_cast<size_t>(detector.piecesMeasured));
    const auto quartile = pieces.begin() + static_cast<std::ptrdiff_t>(pieces.size() / 4);
    std::nth_element(pieces.begin(), quartile, pieces.end());
    return std::max(kThresholdOverFloor * std::sqrt(*quartile), kLeastThreshold);
}

void measureFloor(ClickDetector& detector, float sample)
{
    detector.pieceSum += static_cast<double>(sample) * sample;
    if (++detector.pieceFill == detector.pieceLength) {
        // At rates that do not divide into 10 ms, the last few samples of the warm-up are left out.
        if (detector.piecesMeasured < static_cast<int32_t>(detector.pieceMeanSquares.size()))
            detector.pieceMeanSquares[static_cast<size_t>(detector.piecesMeasured++)] =
                static_cast<float>(detector.pieceSum / detector.pieceLength);
        detector.pieceSum = 0;
        detector.pieceFill = 0;
    }
    if (detector.position + 1 == detector.warmUpEnd)
        detector.threshold = thresholdOf(detector);
}

} // namespace

ClickDetector StartClickDetector(int sampleRate)
{
    const double rate = sampleRate;
    ClickDetector detector;
    detector.highPassFactor = static_cast<float>(1.0 / (1.0 + 2.0 * std::numbers::pi * kHighPassHz / rate));
    detector.envelopeRelease = static_cast<float>(std::exp(-1.0 / (kReleaseSeconds * rate)));
    detector.warmUpEnd = std::llround(kWarmUpSeconds * rate);
    detector.deadTime = std::llround(kDeadTimeSeconds * rate);
    detector.pieceLength = std::max(1, sampleRate / 100);
    // Far enough back that only the envelope keeps the detector deaf when the warm-up ends: a
    // click ringing across that moment is not counted in the middle of its ring.
    detector.lastOnset = -detector.deadTime;
    return detector;
}

void DetectClicks(ClickDetector& detector, std::span<const float> samples, std::vector<int64_t>& onsets)
{
    ClickDetector& d = detector;
    for (const float input : samples) {
        d.highPassed = d.highPassFactor * (d.highPassed + input - d.previousInput);
        d.previousInput = input;
        const float magnitude = std::fabs(d.highPassed);
        if (d.position < d.warmUpEnd) {
            measureFloor(d, d.highPassed);
        } else {
            // The envelope up to the previous sample decides whether this one may count.
            d.armed = d.armed || (d.position - d.lastOnset >= d.deadTime && d.envelope < 0.5f * d.threshold);
            if (d.armed && magnitude >= d.threshold) {
                onsets.push_back(d.position);
                d.lastOnset = d.position;
                d.armed = false;
            }
        }
        d.envelope = std::max(magnitude, d.envelope * d.envelopeRelease);
        ++d.position;
    }
}
