#include "screens/StartPicture.h"

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "platform/Platform.h"

void DrawStartPicture()
{
    Platform& p = platform();
    if (state.backgroundPicture != 0)
        p.releasePicture(state.backgroundPicture);
    state.backgroundPicture = p.loadPicture("bild3c2.gif");
    p.setForeground(state.colorBlack);
    p.drawPicture(state.backgroundPicture, ScaleX(4), ScaleY(4), ScaleX(312), ScaleY(192));
    // The bottom edge is the sum of two scaled values, so it meets the picture's own edge.
    p.drawRectangle(ScaleX(4), ScaleY(4), ScaleX(316), ScaleY(4) + ScaleY(192));
}
