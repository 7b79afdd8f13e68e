#include "measurement/MeasurementRun.h"

#include "core/Canvas.h"
#include "core/NumberRules.h"
#include "core/ProgramState.h"
#include "detector/DetectorStep.h"
#include "measurement/Evaluation.h"
#include "measurement/GraphFrame.h"
#include "platform/Platform.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kBothMouseButtons = 3;
constexpr int kFlightSubSteps = 20;
// The first pass writes its step number a little further right, clear of the flight.
constexpr int16_t kStepNumberXFirstPass = 35;
constexpr int16_t kStepNumberX = 30;
constexpr int16_t kStepNumberY = 125;

// The flight path of the first demonstration pass, in pixels. It is taken afresh at every
// interval start, so a window resized during a run is followed from the next interval on.
struct FlightPath {
    int x0 = 0;
    int yF = 0;
    float d = 0.0f;   // single precision, as the lesson has always computed it
    double r = 0;     // half-size of the dot image, a whole number of pixels
};

FlightPath currentFlightPath()
{
    FlightPath path;
    path.x0 = ScaleX(80);
    const int x1 = ScaleX(164);
    path.yF = ScaleY(135);
    path.d = static_cast<float>(static_cast<float>(x1 - path.x0) / 10.0f);
    path.r = static_cast<double>(nearestInteger(state.redDotRadius));
    return path;
}

// Both mouse buttons end the interval under way. A chord still held when the next interval
// starts is spent: it ends no later interval until the buttons are let go, so a teacher who
// holds them a moment longer does not enter intervals nobody measured.
bool bothButtonsPressed()
{
    state.buttonsAtLastPoll = platform().mouseButtons();
    if (state.buttonsAtLastPoll != kBothMouseButtons)
        state.chordSpent = 0;
    return state.buttonsAtLastPoll == kBothMouseButtons && state.chordSpent == 0;
}

// The stop signals a user can give at any step: Quit (or a closed window), both mouse
// buttons held, or a closed theory or usage box.
bool stopSignalled()
{
    return quitRequested() || bothButtonsPressed() || interruptRequested();
}

// In the first demonstration pass any counted menu command ends the interval.
bool demonstrationDisturbed()
{
    return state.menuEventCount != state.demoSnapshot;
}

// The old number is painted over in orange on orange, the new one written in white on orange.
void showStepNumber(int32_t step, int16_t logicalX)
{
    Platform& p = platform();
    const double x = ScaleX(logicalX);
    const double y = ScaleY(kStepNumberY);
    p.setForeground(colourOf(state.colorOrange));
    p.setBackground(colourOf(state.colorOrange));
    p.drawText(x, y, numberText(int64_t{step} - 1) + " ");
    p.setForeground(state.colorWhite);
    p.drawText(x, y, numberText(step) + "  ");
}

int flightPauseMilliseconds()
{
    const int64_t ms = nearestInteger(state.delayFactor / 100.0 * 1000.0);
    return static_cast<int>(std::clamp<int64_t>(ms, 0, INT_MAX));
}

// Only the box captured at a sub-step is put back, so nothing larger may be put there: the
// first patch of a pass is the box the dot images left behind (the blue dot's, larger than
// the red one), and a dot image made before the window was resized keeps its old size.
// A larger image is cut to the box around its middle, so the dot stays centred.
ImageString fittedTo(const ImageString& image, const ImageString& box)
{
    const bool complete = image.width > 0 && image.height > 0
        && image.pixels.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    if (!complete || box.empty() || (image.width <= box.width && image.height <= box.height))
        return image;
    ImageString cut;
    cut.width = std::min(image.width, box.width);
    cut.height = std::min(image.height, box.height);
    const int left = (image.width - cut.width) / 2;
    const int top = (image.height - cut.height) / 2;
    cut.pixels.reserve(static_cast<size_t>(cut.width) * static_cast<size_t>(cut.height));
    for (int row = top; row < top + cut.height; ++row) {
        const auto first = image.pixels.begin() + static_cast<std::ptrdiff_t>(row) * image.width + left;
        cut.pixels.insert(cut.pixels.end(), first, first + cut.width);
    }
    return cut;
}

// Carries flightImage along the path: the red dot when a particle is emitted, otherwise a
// patch of background, so that every step of the first pass takes the same time.
void runFlight(const FlightPath& path)
{
    Platform& p = platform();
    const double r = path.r;
    const int pauseMs = flightPauseMilliseconds();
    for (int j = 1; j <= kFlightSubSteps; ++j) {
        const double xj = path.x0 + j * static_cast<double>(path.d);
        state.backgroundBox = p.capture(xj - r, path.yF - r, xj + r, path.yF + r);
        p.putImage(xj - r, path.yF - r, fittedTo(state.flightImage, state.backgroundBox));
        p.pause(pauseMs);
        p.putImage(xj - r, path.yF - r, state.backgroundBox);
        // An interruption here ends only the flight; the step itself goes on.
        if (stopSignalled() || demonstrationDisturbed())
            return;
    }
}

// The steps of one interval; returns when the interval is over, at its end or early. What draws
// here (step number, detector, then the evaluation) sets the colours it draws with.
void runSteps(const FlightPath& path)
{
    Platform& p = platform();
    for (int32_t i = 1; i <= state.stepsPerInterval; ++i) {
        p.seedRandom(p.timer());
        state.stepRandom = p.random();
        state.stepEmits = state.stepRandom < 0.2 ? 1 : 0;
        if (interruptRequested())
            return;
        if (stopSignalled())
            return;
        p.processEvents();   // menu commands run nested in here
        if (state.experimentMode == ExperimentMode::FirstPass) {
            if (demonstrationDisturbed())
                return;
            showStepNumber(i, kStepNumberXFirstPass);
            state.flightImage = state.stepEmits == 1 ? state.redDotImage : state.backgroundBox;
            runFlight(path);
        }
        // Quit together with a stop request: the next step's first test ends the interval.
        if (quitRequested() && interruptRequested())
            continue;
        if (state.experimentMode == ExperimentMode::Counting)
            showStepNumber(i, kStepNumberX);
        if (interruptRequested())
            return;
        DetectorStep();
        state.stepsDone = i;
    }
}

// One counting interval. A menu command handled while the interval starts skips it
// entirely: no steps, no histogram entry, no key read. A skipped interval is no longer
// announced either, so n and the Poisson curve never count an interval nobody measured.
void measureInterval()
{
    Platform& p = platform();
    p.setForeground(state.colorWhite);
    state.eventCount = 0;
    state.stepsDone = 0;
    state.chordSpent = state.buttonsAtLastPoll == kBothMouseButtons ? 1 : 0;
    const FlightPath path = currentFlightPath();

    state.lastMenuIndex = 0;
    p.processEvents();
    state.interruptRequest = state.lastMenuIndex != 0 ? kTrue : kFalse;
    if (interruptRequested()) {
        state.intervalsTotal = saturateToInt16(std::max<int64_t>(0, int64_t{state.intervalsTotal} - 1));
        return;
    }
    if (RegistersFromCounter())
        p.startCounterInterval();

    runSteps(path);
    // An interval ended early is entered with the count it had reached.
    EvaluateInterval();
    // A key pressed during the interval must not reach a later prompt.
    p.takeKey();
}

void writeClosingLine()
{
    Platform& p = platform();
    p.setForeground(state.colorBlack);
    p.setBackground(colourOf(state.colorLightBlue));
    p.setFontSize(FontPoints(10));
    p.setTextCursor(5, 4);
    const std::string closingLine = "Zahl der Versuche n:" + numberText(state.intervalsTotal);
    p.printLine(closingLine);
    p.announce(closingLine);
    p.setFontSize(FontPoints(30));
    p.setForeground(state.colorRed);
}

} // namespace

void RunMeasurement()
{
    state.intervalIndex = 0;
    state.buttonsAtLastPoll = 0;   // a chord from before the run is not this run's
    // Every interval is started, even after an interruption; the count of intervals is the
    // only way out. (At least one interval runs, and a count that is not positive cannot
    // keep the loop going past the 16-bit range.)
    do {
        ++state.intervalIndex;
        DrawGraphFrame();
        measureInterval();
    } while (state.intervalIndex < state.intervalsPerRun);
    writeClosingLine();
}
