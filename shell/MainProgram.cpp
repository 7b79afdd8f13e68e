#include "shell/MainProgram.h"

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "measurement/DotSprites.h"
#include "measurement/SeriesTable.h"
#include "platform/Platform.h"
#include "screens/MessageBoxes.h"
#include "screens/StartPicture.h"
#include "screens/TitleScreen.h"
#include "shell/Menu.h"

#include <string>

namespace {

// 64 characters in all: the name padded with blanks.
const std::string kWindowTitle =
    std::string("Statistik von zufälligen Mikroteilchen") + std::string(26, ' ');

// Every command runs to its end inside one dispatch; the loop only looks for the end
// of the program between dispatches. A window closed during start-up must not leave
// the program waiting for events of a window that is gone.
void RunEventLoop()
{
    while (platform().windowExists() && !quitRequested())
        platform().waitForEvents();
}

void ReleasePicture(PictureId& picture)
{
    if (picture != 0)
        platform().releasePicture(picture);
    picture = 0;
}

} // namespace

int RunMainProgram()
{
    state.menuEventCount = 0;
    InitCanvas();
    SetColours();

    platform().setMenuHandler(Win_0_MenuEvent);
    platform().setCloseHandler(WindowClosed);
    platform().setTableWriter(SeriesTable);
    platform().openWindow(kWindowTitle);
    InitMenu();
    platform().setWindowBackground(state.colorBackground);

    TitleScreen();
    // The other choices made at the title prompt run in the event loop, after the start-up.
    RunQuitIfChosen();
    state.alertText = kStartHint;
    ShowOkBox();
    DrawStartPicture();
    platform().pause(55);
    ShowTheoryBox();
    PrepareDotSprites();
    // The class reads the theory text first; any key or mouse button starts the lesson.
    WaitForKeyOrMouse();

    RunEventLoop();

    ReleasePicture(state.titlePictureLeft);
    ReleasePicture(state.titlePictureRight);
    ReleasePicture(state.backgroundPicture);
    platform().closeWindow();
    return 0;
}

void SetColours()
{
    state.colorBackground = makeColour(51, 168, 238);
    state.colorWhite = makeColour(255, 255, 255);
    state.colorBlack = makeColour(0, 0, 0);
    state.colorRed = makeColour(255, 0, 0);
    state.colorLightBlue = makeColour(153, 204, 255);
    state.colorLightGreen = makeColour(149, 255, 204);
    state.colorBlue = makeColour(51, 102, 255);
    state.colorOrange = makeColour(255, 102, 51);
}

void WindowClosed()
{
    requestQuit();
}
