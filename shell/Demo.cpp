#include "shell/Demo.h"

#include "core/ProgramState.h"
#include "measurement/ExperimentScreen.h"
#include "measurement/RunSetup.h"
#include "screens/HaltNotice.h"

namespace {

// Nothing has been chosen from the menu since the demonstration began, and the window is
// still open (closing it raises no menu event, only quitRequest).
bool demonstrationUndisturbed()
{
    return state.menuEventCount == state.demoSnapshot && !quitRequested();
}

} // namespace

void RunDemo()
{
    ConfigureFirstPass();
    ExperimentScreen();

    if (demonstrationUndisturbed())
        ShowHaltNotice();

    ConfigureSecondPass();
    if (demonstrationUndisturbed())
        ExperimentScreen();

    // Whatever ran, every later series starts from these settings.
    ConfigureAfterDemonstration();
}
