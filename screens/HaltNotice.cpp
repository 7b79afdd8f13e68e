#include "screens/HaltNotice.h"

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "platform/Platform.h"

namespace {

constexpr int kFlashCycles = 4;
constexpr int kBlankMilliseconds = 275;
constexpr int kShownMilliseconds = 549;

// Texts and colours are those the experiment screen leaves behind (red on light blue,
// opaque), so the blank strings paint over the words.
void drawWords(const char* left, const char* right)
{
    platform().drawText(ScaleX(10), ScaleY(10), left);
    platform().drawText(ScaleX(270), ScaleY(10), right);
}

// A choice made while the notice flashes runs when the wait ends, before anything new is
// drawn: Quit ends the program there, "&Theorie" shows its box and stops the flashing.
void waitThenRunChoices(int milliseconds)
{
    platform().pause(milliseconds);
    platform().processEvents();
}

bool flashingStopped()
{
    return platform().mouseButtons() == 3 || interruptRequested() || quitRequested();
}

std::string notObservableText()
{
    return std::string("| ") + "| " + "| Laufende Mikroteilchen sind nicht"
           + "|          beobachtbar!" + "| " + "| " + "| Beschränken wir uns auf das, was"
           + "|   wirklich beobachtbar ist !" + "| ";
}

} // namespace

void ShowHaltNotice()
{
    // The words always stay on screen when the flashing ends, also while the box is open.
    for (int cycle = 1; cycle <= kFlashCycles; ++cycle) {
        drawWords("            ", "       ");
        waitThenRunChoices(kBlankMilliseconds);
        drawWords("  Halt !", " ? ? ");
        waitThenRunChoices(kShownMilliseconds);
        if (flashingStopped())
            break;
    }
    platform().messageBox(BoxStyle::Explanation, notObservableText(), 2, "OK");
}
