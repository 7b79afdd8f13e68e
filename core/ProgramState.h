#pragma once

// Everything that more than one procedure uses lives here, in one instance (`state`).
// The procedures take no parameters and talk through these fields. Types follow the
// program's model exactly: 16-bit counters stay int16_t, the blue dot radius is a float.
// The one truth value, interruptRequest, is -1 (true) or 0 (false) in a double; the flags
// demoDone, seriesAnnounced, experimentIdle and experimentEntered are 0 or 1.
// A test starts from a fresh program with `state = ProgramState{};`.

#include "platform/PlatformTypes.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// How a run's steps go. Both show each step's number. The demonstration's first pass also flies
// a dot (or a patch of background) along the path at every step, and any counted menu command
// ends its interval; the second pass and every series count with clicks and numbers only.
enum class ExperimentMode : int16_t { FirstPass = 2, Counting = 3 };

// One interval the histogram holds, as the class takes it home: what it counted, how many
// steps it ran (fewer when it was ended early) and whether a real counter registered it.
struct IntervalRecord {
    int32_t count = 0;
    int32_t steps = 0;
    bool fromCounter = false;
};

struct ProgramState {
    // --- Menu and command bookkeeping ---------------------------------------
    // Sized as in the program's model; the menu fills only the first 17 slots, the rest stay empty.
    std::array<std::string, 81> menuText{};
    int32_t lastMenuIndex = 0;
    int16_t menuEventCount = 0;
    int16_t demoSnapshot = 0;
    double interruptRequest = 0;   // kTrue after the theory or usage box, else kFalse
    std::string quitRequest;       // "*" once Quit was chosen or the window closed
    int32_t experimentIdle = 0;
    int32_t experimentEntered = 0;
    std::string alertText;

    // --- Experiment parameters ----------------------------------------------
    ExperimentMode experimentMode{};
    int16_t demoDone = 0;
    int32_t stepsPerInterval = 0;
    int16_t intervalsPerRun = 0;
    int16_t intervalsTotal = 0;
    int16_t intervalsDone = 0;
    double rateParameter = 0.0;
    int16_t scaleDivisor = 0;
    double delayFactor = 0.0;
    int16_t seriesAnnounced = 0;
    std::array<int32_t, 102> histogram{};
    std::vector<IntervalRecord> intervalRecords;   // the histogram's entries, in the order measured

    // --- Measurement run (read by the detector step and the evaluation) -----
    int16_t intervalIndex = 0;
    int32_t eventCount = 0;
    int32_t stepsDone = 0;           // the steps of the running interval that reached the detector
    int32_t buttonsAtLastPoll = 0;   // what the run's last look at the mouse saw
    int16_t chordSpent = 0;          // 1 while both buttons held since an earlier interval stay down
    double stepRandom = 0.0;
    int16_t stepEmits = 0;
    ImageString flightImage;
    double meanCount = 0.0;

    // --- Canvas ---------------------------------------------------------------
    int16_t xBase = 0;
    int16_t yBase = 0;
    double pixelsPerUnitY = 0.0;

    // --- Drawing resources ----------------------------------------------------
    Colour colorBackground = 0;
    Colour colorWhite = 0;
    Colour colorBlack = 0;
    Colour colorRed = 0;
    double colorLightBlue = 0;
    double colorLightGreen = 0;
    double colorBlue = 0;
    double colorOrange = 0;

    PictureId backgroundPicture = 0;
    PictureId titlePictureLeft = 0;
    PictureId titlePictureRight = 0;

    float blueDotRadius = 0.0f;
    double redDotRadius = 0.0;
    ImageString redDotImage;
    ImageString backgroundBox;   // under the blue dot at start-up, then the run's flight patch
};

extern ProgramState state;

// The four colours kept as doubles are whole numbers; this makes them a colour again.
inline Colour colourOf(double storedColour)
{
    return static_cast<Colour>(storedColour);
}

// Quit was chosen or the window was closed: every running loop ends at its next test.
inline bool quitRequested()
{
    return state.quitRequest == "*";
}

inline void requestQuit()
{
    // assign() rather than = "*": GCC 12 at -O2 warns falsely (-Wrestrict) on the latter.
    state.quitRequest.assign(1, '*');
}

// A new series: the histogram and its record of intervals start empty.
inline void clearHistogram()
{
    state.histogram.fill(0);
    state.intervalRecords.clear();
}

// Truth values as the program stores them.
constexpr int kTrue = -1;
constexpr int kFalse = 0;

// A closed theory or usage box asks the running interval to stop.
inline bool interruptRequested()
{
    return state.interruptRequest != kFalse;
}
