#include "detector/DetectorStep.h"

#include "core/Canvas.h"
#include "core/NumberRules.h"
#include "core/ProgramState.h"
#include "platform/Platform.h"

#include <algorithm>
#include <limits>

namespace {

// The count field sits in the counter box of the experiment picture.
constexpr int16_t kCountFieldX = 260;
constexpr int16_t kCountFieldY = 70;

// The number shown so far is painted over blue on blue (opaque text), then the new one written.
void showCount(int32_t shownBefore)
{
    Platform& p = platform();
    const double x = ScaleX(kCountFieldX);
    const double y = ScaleY(kCountFieldY);
    p.setForeground(colourOf(state.colorBlue));
    p.setBackground(colourOf(state.colorBlue));
    p.drawText(x, y, numberText(shownBefore) + " ");
    p.setForeground(state.colorWhite);
    // One-digit counts stand right-aligned under two-digit ones.
    const std::string digits = numberText(state.eventCount);
    p.drawText(x, y, state.eventCount > 9 ? digits + " " : " " + digits + " ");
}

// A real counter registers what it clicked in this step's time, however many; it clicks by
// itself, so the program adds no sound of its own.
void registerCounterClicks()
{
    const int32_t before = state.eventCount;
    const int64_t after = int64_t{before} + platform().takeCounterClicks();
    state.eventCount = static_cast<int32_t>(std::min<int64_t>(after, std::numeric_limits<int32_t>::max()));
    if (state.eventCount != before)
        showCount(before);
}

// The lesson's own detector: registers a particle when the step's draw is below the probability.
void registerByChance()
{
    const double probability =
        state.rateParameter * 0.1 / static_cast<double>(state.scaleDivisor);
    // Strictly greater: a draw equal to the probability registers nothing, which keeps the
    // demonstration's registrations identical to its flying dots (stepRandom < 0.2).
    if (probability > state.stepRandom) {
        if (state.eventCount < std::numeric_limits<int32_t>::max())
            ++state.eventCount;
        // Every registration is heard and seen, whatever was chosen from the menu before:
        // the clicks and the running count are what the class is there for.
        platform().playSound("knack2.wav", 0);
        showCount(state.eventCount - 1);
    }
}

} // namespace

bool RegistersFromCounter()
{
    // The demonstration's first pass flies a dot for each registration before it is made, so
    // only its own draw can decide both: it stays simulated.
    return platform().counterIsOn() && state.experimentMode != ExperimentMode::FirstPass;
}

void DetectorStep()
{
    if (RegistersFromCounter())
        registerCounterClicks();
    else
        registerByChance();
    platform().setForeground(state.colorBlack);
}
