#include "shell/Menu.h"

#include "core/ProgramState.h"
#include "measurement/ExperimentScreen.h"
#include "measurement/RunSetup.h"
#include "platform/Platform.h"
#include "screens/MessageBoxes.h"
#include "screens/StartPicture.h"
#include "shell/Demo.h"

#include <array>
#include <vector>

namespace {

// The built-in menu definition, read item by item: a title ends in " |", "*" closes a
// title's entries (the empty item after it becomes the list's terminator in menuText),
// "ende" closes the definition.
constexpr std::array<const char*, 19> kMenuDefinition = {
    "DESK |",
    "&Quit",
    "----------",
    "&Info",
    "&Autor",
    "*",
    "",
    "EXPERIMENT |",
    "&1 Demo-Experiment",
    "&2 Neues Experiment / 1 x wiederholen",
    "&3 Experiment 10 x wiederholen",
    "*",
    "",
    "HILFE |",
    "&Theorie",
    "&Bedienung",
    "*",
    "",
    "ende",
};

// menuText indices of the commands; the platform reports a choice by this index.
enum MenuIndex : int32_t {
    kQuit = 1,
    kInfo = 3,
    kAuthor = 4,
    kDemonstration = 7,
    kOneSeries = 8,
    kTenSeries = 9,
    kTheory = 12,
    kUsage = 13,
};

// menuText 0..16 is the whole menu: three lists, their terminators and the two
// empty strings that end the menu.
constexpr int kMenuItemCount = 17;

// After the very first demonstration the class gets a moment to take in the result
// before the series it asked for starts.
constexpr int kPauseAfterAutomaticDemo = 5000;

bool isExperimentEntry(int32_t index)
{
    return index == kDemonstration || index == kOneSeries || index == kTenSeries;
}

// An experiment screen is up exactly between its start and its end; before the first
// one both flags are 0, which counts as idle.
bool experimentActive()
{
    return state.experimentIdle == 0 && state.experimentEntered > 0;
}

void RunSeries(int16_t intervals)
{
    if (state.demoDone == 0) {
        RunDemo();
        platform().pause(kPauseAfterAutomaticDemo);
        // What the class chose in the pause runs now, before the series draws anything.
        platform().processEvents();
    }
    // Quit or a close during the demonstration: an ending program starts no new screen.
    if (quitRequested())
        return;
    // A series that is carried out is not a "user interfered" event for the detector
    // step and the demonstration: it takes back the count every event adds.
    --state.menuEventCount;
    ConfigureSeries(intervals);
    ExperimentScreen();
}

void ShowInfo()
{
    platform().setCurrentFolder(platform().programFolder());
    DrawStartPicture();
    platform().pause(55);
    ShowTheoryBox();
}

} // namespace

void InitMenu()
{
    int16_t k = -1;
    size_t readPosition = 0;
    do {
        ++k;
        state.menuText[static_cast<size_t>(k)] = kMenuDefinition[readPosition++];
        if (state.menuText[static_cast<size_t>(k)] == "*")
            --k;
    } while (state.menuText[static_cast<size_t>(k)] != "ende");
    state.menuText[static_cast<size_t>(k)] = "";

    const std::vector<std::string> items(state.menuText.begin(),
                                         state.menuText.begin() + kMenuItemCount);
    platform().installMenu(items);
}

void RunQuitIfChosen()
{
    if (platform().holdsMenuChoice(kQuit))
        platform().processEvents();
}

void Win_0_MenuEvent(int32_t index)
{
    // Every choice, whatever it is, leaves its mark first: a running measurement
    // looks at these values after its own event processing to see that the user acted.
    platform().seedRandom(platform().timer());
    state.lastMenuIndex = index;
    ++state.menuEventCount;
    state.interruptRequest = kFalse;

    // No second experiment inside a running one; the choice still counted above.
    if (experimentActive() && isExperimentEntry(index))
        return;

    switch (index) {
    case kQuit:
        requestQuit();
        // What is still to come of a running command returns at once, as after a close.
        platform().beginShutDown();
        break;
    case kInfo:
        ShowInfo();
        break;
    case kAuthor:
        ShowAuthorBox();
        break;
    case kDemonstration:
        RunDemo();
        break;
    case kOneSeries:
        RunSeries(1);
        break;
    case kTenSeries:
        RunSeries(10);
        break;
    case kTheory:
        ShowTheoryBox();
        state.interruptRequest = kTrue;
        break;
    case kUsage:
        ShowUsageBox();
        state.interruptRequest = kTrue;
        break;
    default:
        // Titles, the separator and list ends carry no command.
        break;
    }
}
