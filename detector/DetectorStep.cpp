#include "detector/DetectorStep.h"

#include "core/Canvas.h"
#include "core/NumberRules.h"
#include "core/ProgramState.h"
#include "platform/Platform.h"

#include <limits>

namespace {

// The count field sits in the counter box of the experiment picture.
constexpr int16_t kCountFieldX = 260;
constexpr int16_t kCountFieldY = 70;

void showCount()
{
    Platform& p = platform();
    const double x = ScaleX(kCountFieldX);
    const double y = ScaleY(kCountFieldY);
    p.setForeground(colourOf(state.colorBlue));
    p.setBackground(colourOf(state.colorBlue));
    // Opaque text, blue on blue: paints over the number shown so far.
    p.drawText(x, y, numberText(state.eventCount - 1) + " ");
    p.setForeground(state.colorWhite);
    // One-digit counts stand right-aligned under two-digit ones.
    const std::string digits = numberText(state.eventCount);
    p.drawText(x, y, state.eventCount > 9 ? digits + " " : " " + digits + " ");
}

} // namespace

void DetectorStep()
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
        showCount();
    }
    platform().setForeground(state.colorBlack);
}
