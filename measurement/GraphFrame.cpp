#include "measurement/GraphFrame.h"

#include "core/Canvas.h"
#include "core/NumberRules.h"
#include "core/ProgramState.h"
#include "platform/Platform.h"

namespace {

// Draws the logical rectangle (x1, y1)-(x2, y2) through the scaling functions.
void fillLogical(int16_t x1, int16_t y1, int16_t x2, int16_t y2)
{
    platform().fillRectangle(ScaleX(x1), ScaleY(y1), ScaleX(x2), ScaleY(y2));
}

void lineLogical(int16_t x1, int16_t y1, int16_t x2, int16_t y2)
{
    platform().drawLine(ScaleX(x1), ScaleY(y1), ScaleX(x2), ScaleY(y2));
}

} // namespace

void DrawGraphFrame()
{
    Platform& p = platform();
    const Colour lightBlue = colourOf(state.colorLightBlue);

    // The filled margin and panel cover everything the previous interval plotted.
    p.setForeground(lightBlue);
    p.setBackground(lightBlue);
    fillLogical(95, 15, 225, 105);
    p.setForeground(state.colorBackground);
    p.setBackground(state.colorBackground);
    fillLogical(100, 20, 220, 100);

    p.setForeground(state.colorBlack);
    p.setLineWidth(3);
    p.drawRectangle(ScaleX(100), ScaleY(20), ScaleX(220), ScaleY(100));
    p.setLineWidth(1);
    p.setFontSize(FontPoints(10));

    // Grid line i stands at the count 2·i·s, since a count k belongs at 100 + 6·k / s.
    const int64_t s = state.scaleDivisor;
    for (int16_t i = 1; i <= 9; ++i) {
        const auto gridX = static_cast<int16_t>(100 + 12 * i);
        p.setForeground(state.colorWhite);
        lineLogical(gridX, 20, gridX, 100);
        p.setForeground(state.colorBlack);
        p.setBackground(lightBlue);
        p.drawText(ScaleX(static_cast<int16_t>(97 + 12 * i)), ScaleY(105), numberText(2 * i * s));
    }

    p.setForeground(state.colorBlack);
    lineLogical(160, 20, 160, 100);
    p.setFontSize(FontPoints(30));
}
