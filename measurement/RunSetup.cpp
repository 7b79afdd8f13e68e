#include "measurement/RunSetup.h"

#include "core/Canvas.h"
#include "core/NumberRules.h"
#include "core/ProgramState.h"

void ConfigureFirstPass()
{
    state.rateParameter = 4.0;
    clearHistogram();
    state.demoSnapshot = state.menuEventCount;   // any counted command from here on disturbs it
    state.seriesAnnounced = 1;   // no "Neue Versuchsreihe!" inside the demonstration
    state.scaleDivisor = 2;
    state.intervalsTotal = 1;
    state.blueDotRadius = static_cast<float>(ScaleX(3));
    state.redDotRadius = ScaleX(3);
    state.experimentMode = ExperimentMode::FirstPass;
    state.intervalsPerRun = 1;
    state.intervalsDone = 0;
    state.delayFactor = 1.0;
    state.stepsPerInterval = 40;
}

void ConfigureSecondPass()
{
    state.experimentMode = ExperimentMode::Counting;
    state.stepsPerInterval = 100;
}

void ConfigureAfterDemonstration()
{
    clearHistogram();
    state.intervalsDone = 0;
    state.seriesAnnounced = 0;
    state.scaleDivisor = 1;
    state.intervalsTotal = 0;
    state.rateParameter = 1.0;
    state.demoDone = 1;
}

void ConfigureSeries(int16_t intervals)
{
    state.demoDone = 1;
    state.delayFactor = 1.0;
    state.stepsPerInterval = 100;
    state.intervalsPerRun = intervals;
    state.intervalsTotal = saturateToInt16(int64_t{state.intervalsTotal} + intervals);
}
