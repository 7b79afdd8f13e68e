#include "measurement/DotSprites.h"

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "platform/Platform.h"

namespace {

// The dots are drawn around window pixel (30, 30), a spot the start picture covers, and the
// pixels there are put back at once: the window looks as before.
constexpr double kCentre = 30;

// Captures the background, draws the dot and captures it, then restores the background;
// gives the dot's image.
ImageString makeDot(double r, Colour colour, ImageString& background)
{
    Platform& p = platform();
    p.setForeground(colour);
    background = p.capture(kCentre - r, kCentre - r, kCentre + r, kCentre + r);
    p.drawCircle(kCentre, kCentre, r);
    ImageString dot = p.capture(kCentre - r, kCentre - r, kCentre + r, kCentre + r);
    p.putImage(kCentre - r, kCentre - r, background);
    return dot;
}

} // namespace

void PrepareDotSprites()
{
    state.blueDotRadius = static_cast<float>(ScaleX(4));
    state.redDotRadius = ScaleX(3);
    // Only the blue dot's background is kept: it is the patch the first flight of the
    // demonstration carries where no particle flies.
    makeDot(state.blueDotRadius, makeColour(0, 0, 255), state.backgroundBox);
    ImageString redDotBackground;
    state.redDotImage = makeDot(state.redDotRadius, makeColour(255, 0, 0), redDotBackground);
}
