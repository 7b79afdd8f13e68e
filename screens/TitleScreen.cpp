#include "screens/TitleScreen.h"

#include "core/Canvas.h"
#include "core/NumberRules.h"
#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "screens/MessageBoxes.h"

#include <algorithm>
#include <string>

namespace {

constexpr Colour kTitleBlue = makeColour(0, 0, 255);
constexpr Colour kWhite = makeColour(255, 255, 255);
constexpr Colour kBlack = makeColour(0, 0, 0);
constexpr Colour kWindowBackground = makeColour(51, 168, 238);

// The prompt keeps its size on every screen so that it always reads the same.
constexpr double kPromptPoints = 16.0;
// promptRow is the row on a 600-pixel-high window, 3 pixels per logical unit.
constexpr double kPromptRowPixelsPerUnit = 3.0;
constexpr int kPromptColumn = 73;
constexpr const char* kPrompt = "Weiter ?  <RETURN>";
constexpr int kNoTimeLimit = -1;

void DrawTextAt(int16_t x, int16_t y, const std::string& text)
{
    platform().drawText(ScaleX(x), ScaleY(y), text);
}

// Both pictures are stretched over the same 154 x 184 frame, side by side.
void DrawFramedPicture(PictureId picture, int16_t left)
{
    platform().drawPicture(picture, ScaleX(left), ScaleY(4), ScaleX(154), ScaleY(184));
    platform().drawRectangle(ScaleX(left), ScaleY(4), ScaleX(static_cast<int16_t>(left + 154)),
                             ScaleY(4) + ScaleY(184));
}

// The last cell (counted from 1) of a grid of cells `cell` wide whose start leaves `room`
// pixels free after it.
int lastCellWithin(int room, int cell)
{
    return std::max(1, room / std::max(1, cell) + 1);
}

} // namespace

void TitleScreen()
{
    platform().clearWindow();
    platform().setFontName("times");
    platform().setFontSize(FontPoints(30));
    // Every later file is read by its bare name from the program's own folder.
    platform().setCurrentFolder(platform().programFolder());
    state.titlePictureLeft = platform().loadPicture("kestrino.jpg");
    state.titlePictureRight = platform().loadPicture("quorvel2.jpg");

    platform().setForeground(kBlack);
    DrawFramedPicture(state.titlePictureLeft, 4);

    platform().setTitleAttribute(true);
    platform().setForeground(kTitleBlue);
    platform().setBackground(kWhite);
    DrawTextAt(42, 40, "Zählstatistik");
    DrawTextAt(21, 90, "zufällig emittierter");
    DrawTextAt(39, 140, "Mikroteilchen");
    platform().setFontSize(FontPoints(12));
    DrawTextAt(75, 170, CreditLine());

    platform().setForeground(kTitleBlue);
    platform().setBackground(kWhite);
    platform().setFontSize(FontPoints(20));
    // The right frame is drawn in the blue that is set now.
    DrawFramedPicture(state.titlePictureRight, 164);

    platform().setTitleAttribute(true);
    DrawTextAt(210, 40, "Programmautor: ");
    DrawTextAt(214, 70, "Das Projektteam");
    DrawTextAt(175, 90, "Mikroteilchen-Statistik");
    DrawTextAt(210, 110, "ein Schulprojekt");
    DrawTextAt(207, 130, "im Fach Physik");
    platform().setTitleAttribute(false);

    WaitContinue(25);
    platform().clearWindow();
}

void WaitContinue(int16_t promptRow)
{
    platform().setForeground(kWhite);
    platform().setBackground(kWindowBackground);
    platform().setFontSize(kPromptPoints);
    // pixelsPerUnitY is the height taken at start-up, so the row stays near the
    // bottom of the window the program opened with.
    const int64_t row = nearestInteger(promptRow * state.pixelsPerUnitY / kPromptRowPixelsPerUnit);
    // The prompt keeps its place where it shows whole; on a small screen (a projector's
    // 800 x 600 or 640 x 480) it moves only as far left and up as it must.
    const TextCell cell = platform().textCell();
    const int lastColumn = lastCellWithin(platform().drawingWidth() - platform().textWidth(kPrompt), cell.width);
    const int lastRow = lastCellWithin(platform().drawingHeight() - cell.height, cell.height);
    platform().setTextCursor(std::min(kPromptColumn, lastColumn), static_cast<int>(std::clamp<int64_t>(row, 1, lastRow)));
    platform().printLine(kPrompt);

    // The key that answers the prompt is taken, so it does not reach anything later.
    WaitForKeyOrMouse();
}

void WaitForKeyOrMouse()
{
    for (;;) {
        if (!platform().takeKey().empty() || platform().mouseButtons() > 0)
            return;
        // A menu choice ends the wait as a key would and runs at the next event processing
        // (a teacher who goes straight to the menu expects it to work); a program that is
        // ending ends it too.
        const InputWait woken = platform().waitForInput(kNoTimeLimit);
        if (woken == InputWait::MenuChoice || woken == InputWait::Ended)
            return;
    }
}
