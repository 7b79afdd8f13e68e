#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "measurement/DotSprites.h"
#include "platform/Platform.h"

namespace {

// The dots are drawn around window pixel (30, 30), a spot the start picture covers, and the
// pixels there are put back at once: the window looks as before.
constexpr double kCentre = 30;

// Captures the background, draws the dot, captures it, and restores the background.
void makeDot(double r, Colour colour, ImageString& background, ImageString& dot)
{
    Platform& p = platform();
    p.setForeground(colour);
    background = p.capture(kCentre - r, kCentre - r, kCentre + r, kCentre + r);
    p.drawCircle(kCentre, kCentre, r);
    dot = p.capture(kCentre - r, kCentre - r, kCentre + r, kCentre + r);
    p.putImage(kCentre - r, kCentre - r, background);
}

} // namespace

void PrepareDotSprites()
{
    state.blueDotRadius = static_cast<float>(ScaleX(4));
    state.redDotRadius = ScaleX(3);
    makeDot(state.blueDotRadius, makeColour(0, 0, 255), state.backgroundBox, state.blueDotImage);
    makeDot(state.redDotRadius, makeColour(255, 0, 0), state.redDotBackground, state.redDotImage);
}
