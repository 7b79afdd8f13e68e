#include "shell/Demo.h"

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "measurement/ExperimentScreen.h"
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
    // First pass: slow, enlarged, probability 4.0 · 0.1 / 2 = 0.2 per step, flying dots.
    state.rateParameter = 4.0;
    state.histogram.fill(0);
    state.demoSnapshot = state.menuEventCount;
    state.seriesAnnounced = 1;   // no "Neue Versuchsreihe!" inside the demonstration
    state.scaleDivisor = 2;
    state.intervalsTotal = 1;
    state.blueDotRadius = static_cast<float>(ScaleX(3));
    state.redDotRadius = ScaleX(3);
    state.runPassLimit = 1;
    state.experimentMode = 2;
    state.intervalsPerRun = 1;
    state.intervalsDone = 0;
    state.delayFactor = 1.0;
    state.stepsPerInterval = 40;
    ExperimentScreen();

    if (demonstrationUndisturbed())
        ShowHaltNotice();

    // Second pass: only clicks and counts remain.
    state.experimentMode = 3;
    state.stepsPerInterval = 100;
    if (demonstrationUndisturbed())
        ExperimentScreen();

    // Whatever ran, every later series starts from these settings.
    state.histogram.fill(0);
    state.intervalsDone = 0;
    state.seriesAnnounced = 0;
    state.scaleDivisor = 1;
    state.intervalsTotal = 0;
    state.rateParameter = 1.0;
    state.demoDone = 1;
}
