// The experiment screen and the measurement run inside it: picture, labels, the new-series box and
// the busy state; the steps, the step number, the closing line, and every stop signal
// injected at the exact event-processing call where it matters. The interval start makes one
// processEvents call and every step one more: step i of the first interval is call i + 1, and
// the next interval starts at call stepsPerInterval + 2.

#include "lesson_fixture.h"
#include "measurement/ExperimentScreen.h"
#include "measurement/MeasurementRun.h"

#include <deque>
#include <utility>

namespace {

using namespace lesson;

class MeasurementRunTest : public LessonTest {
protected:
    // The step number of a series stands at (30, 125).
    Texts stepNumbers() const { return textsAt(75, 375); }
    int framesDrawn() const { return fake.count("fillRectangle") / 2; }
    size_t evaluations() const
    {
        return callsWhere("printLine", [](const Call& line) { return line.text == "Mittelwert:"; }).size();
    }
};

TEST_F(MeasurementRunTest, UndisturbedIntervalShowsEveryStepAndClosesWithTheCount)
{
    prepareSeries(1);
    state.intervalsTotal = 7;
    std::vector<double> randoms(100, 0.5);
    randoms[2] = randoms[49] = randoms[99] = 0.05;   // steps 3, 50 and 100 register
    scriptRandoms(randoms);
    fake.pendingKeys = {"a", "b"};
    RunMeasurement();
    EXPECT_EQ(state.histogram[3], 1);
    EXPECT_EQ(histogramEntries(), 1);
    EXPECT_EQ(fake.count("playSound"), 3);
    // Under "Zeit": the old number painted over in orange, then the new one in white.
    Texts expectedNumbers;
    for (int i = 1; i <= 100; ++i) {
        expectedNumbers.push_back(std::to_string(i - 1) + " ");
        expectedNumbers.push_back(std::to_string(i) + "  ");
    }
    EXPECT_EQ(stepNumbers(), expectedNumbers);
    for (const auto* text : fake.callsOf("drawText")) {
        if (text->args[0] == 75) {
            EXPECT_EQ(text->background, kOrange);
            EXPECT_EQ(text->foreground, text->text.ends_with("  ") ? kWhite : kOrange) << text->text;
        }
    }
    // The key pressed during the interval is consumed at its end, after the evaluation.
    EXPECT_EQ(fake.pendingKeys, (std::deque<std::string>{"b"}));
    EXPECT_GT(indexOf("keyTaken"), indexOf("drawCircle"));

    const Call* closing = fake.callsOf("printLine").back();
    EXPECT_EQ(closing->text, "Zahl der Versuche n:7");
    EXPECT_EQ(closing->args, (Args{5, 4}));
    EXPECT_EQ((std::tuple{closing->fontSize, closing->foreground, closing->background}),
              (std::tuple{10.0, kBlack, kLightBlue}));
    // Left for the screen: the run's large font, red.
    EXPECT_EQ((std::pair{fake.fontSize, fake.foreground}), (std::pair{30.0, kRed}));
}

// Every step registers, so an interval's entry is the number of steps it reached. A count is
// shown and clicked only while no menu event has been counted (menuEventCount 0).
TEST_F(MeasurementRunTest, EachStopSignalEndsTheRunAtItsCall)
{
    // call: the processEvents call at which the user acts (0: never); entries: histogram slot and
    // intervals entered there; stepNumbers: texts under "Zeit", two a step.
    struct Row {
        const char* name; int16_t intervals; int call; UserAction action;
        std::vector<std::pair<size_t, int>> entries; int processEvents, clicks; size_t stepNumbers;
        int32_t steps = 100;
    };
    const UserAction theory = [](FakePlatform& f) { f.dispatchMenu(kTheory); };
    const UserAction author = [](FakePlatform& f) { f.dispatchMenu(kAuthor); };
    const UserAction quit = [](FakePlatform& f) { f.dispatchMenu(kQuit); };
    const UserAction close = [](FakePlatform& f) { f.closeWindowByUser(); };
    const Row rows[] = {
        {"undisturbed", 10, 0, nullptr, {{100, 10}}, 1010, 1000, 2000},
        // A command at an interval's start skips it: frame drawn, but no steps, entry or key read.
        {"Autor at the start of interval 1", 3, 1, author, {{100, 2}}, 203, 0, 400},
        {"Theorie at the start of interval 2", 3, 102, theory, {{100, 2}}, 203, 100, 400},
        {"Quit at the start of interval 3", 3, 203, quit, {{100, 2}}, 203, 200, 400},
        {"ignored series entry at the start of interval 2", 3, 102,
         [](FakePlatform& f) { f.dispatchMenu(kTenSeries); }, {{100, 2}}, 203, 100, 400},
        // Step 30 still shows its number, then the stop request ends the interval before the
        // detector; the next interval starts afresh and runs to its end.
        {"Theorie in step 30", 2, 31, theory, {{29, 1}, {100, 1}}, 132, 29, 260},
        {"Autor in step 30 only silences the counting", 1, 31, author, {{100, 1}}, 101, 29, 200},
        // Step 5 goes on to its detector; every later step sees the buttons before its events.
        {"both buttons in step 5", 3, 6, [](FakePlatform& f) { f.mouseState = 3; }, {{5, 1}, {0, 2}}, 8, 5, 10},
        // Each remaining interval ends in its first step with count 0. Quit counts as a menu
        // event, so step 20 registers silently; a closed window is no menu event.
        {"Quit in step 20 of ten", 10, 21, quit, {{20, 1}, {0, 9}}, 30, 19, 40},
        {"window closed in step 20 of ten", 10, 21, close, {{20, 1}, {0, 9}}, 30, 20, 40},
        // Quit with a stop request: step 20 neither shows its number nor reaches the detector.
        {"Theorie and a closed window in step 20", 2, 21,
         [](FakePlatform& f) { f.dispatchMenu(kTheory); f.closeWindowByUser(); }, {{19, 1}, {0, 1}}, 22, 19, 38},
        {"interval without steps", 1, 0, nullptr, {{0, 1}}, 1, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        startAfresh();
        prepareSeries(row.intervals);
        state.stepsPerInterval = row.steps;
        state.experimentEntered = 1;   // a screen is up: series entries are ignored
        scriptRandoms(std::vector<double>(static_cast<size_t>(row.intervals) * 100, 0.05));
        for (int k = 0; k < 12; ++k)
            fake.pendingKeys.push_back("key " + std::to_string(k));
        if (row.action)
            fake.atProcessEvents(row.call, [this, &row] { row.action(fake); });
        RunMeasurement();
        int entered = 0;
        for (const auto& [slot, intervals] : row.entries) {
            EXPECT_EQ(state.histogram[slot], intervals) << "slot " << slot;
            entered += intervals;
        }
        // An entry, an evaluation and a key read for every interval entered; a frame for every one started.
        EXPECT_EQ((Args{double(histogramEntries()), double(state.intervalsDone), double(evaluations()),
                        12.0 - double(fake.pendingKeys.size())}),
                  Args(4, entered));
        EXPECT_EQ((Args{double(framesDrawn()), double(state.runPass)}), Args(2, row.intervals));
        EXPECT_EQ(fake.processEventsCount, row.processEvents);
        EXPECT_EQ(fake.count("playSound"), row.clicks);
        EXPECT_EQ(stepNumbers().size(), row.stepNumbers);
        EXPECT_EQ(fake.count("clearWindow"), 0);
        EXPECT_EQ(fake.callsOf("printLine").back()->text,
                  "Zahl der Versuche n:" + std::to_string(row.intervals));
    }
}

class ExperimentScreenTest : public LessonTest {
protected:
    void SetUp() override { LessonTest::SetUp(); prepareSeries(1); state.stepsPerInterval = 3; }
};

TEST_F(ExperimentScreenTest, DrawsPictureAndTimeLabelAnnouncesTheSeriesAndIsBusyDuringTheRun)
{
    Args flagsDuringRun;
    fake.atProcessEvents(1, [&] { flagsDuringRun = {double(state.experimentIdle), double(state.experimentEntered)}; });
    // EXPERIMENT entries chosen during the run start nothing, but count.
    fake.atProcessEvents(2, [this] { fake.dispatchMenu(kOneSeries); });
    fake.atProcessEvents(3, [this] { fake.dispatchMenu(kDemo); });
    ExperimentScreen();
    EXPECT_EQ(fake.calls.front().op, "clearWindow");
    EXPECT_EQ(fake.count("clearWindow"), 1);
    ASSERT_EQ(fake.count("loadPicture"), 1);
    const Call& load = nth("loadPicture", 0);
    EXPECT_EQ(load.text, "bild3c2.gif");
    EXPECT_EQ(nth("drawPicture", 0).args, (Args{load.args[0], 10, 12, 780, 576}));
    EXPECT_EQ(nth("drawRectangle", 0).args, (Args{10, 12, 790, 588}));
    EXPECT_EQ(nth("drawRectangle", 0).foreground, kBlack);
    EXPECT_EQ(textsAt(75, 285), (Texts{"Zeit"}));
    const Call& zeit = nth("drawText", 0);
    EXPECT_EQ((std::tuple{zeit.foreground, zeit.background, zeit.fontSize, zeit.fontName}),
              (std::tuple{kBlack, kLightBlue, 30.0, std::string("times")}));
    EXPECT_TRUE(textCalls("  DEMO !").empty());

    // The new-series box once, after "Zeit" is on the screen and before the run.
    EXPECT_EQ(boxesSaying("Neue Versuchsreihe!"), 1);
    EXPECT_EQ(nth("messageBox", 0).captions, " OK ");
    EXPECT_EQ(state.alertText, "Neue Versuchsreihe!");
    EXPECT_GT(indexOf("messageBox"), positionOf(&zeit));
    EXPECT_LT(indexOf("messageBox"), indexOf("processEvents", 1));

    EXPECT_EQ(fake.processEventsCount, 1 + 3);
    EXPECT_EQ(flagsDuringRun, (Args{0, 1}));
    EXPECT_EQ((Args{double(state.experimentIdle), double(state.experimentEntered)}), (Args{1, 1}));
    EXPECT_EQ(state.menuEventCount, 2);
    EXPECT_EQ(fake.maxHandlerDepth, 1);
    // What the halt notice and the next command find.
    EXPECT_EQ((std::tuple{fake.foreground, fake.background, fake.fontSize, fake.fontName, fake.titleAttribute}),
              (std::tuple{kRed, kLightBlue, 30.0, std::string("times"), false}));

    // The next screen gives the picture back, loads it afresh, and announces nothing.
    const double first = load.args[0];
    ExperimentScreen();
    ASSERT_EQ(fake.count("releasePicture"), 1);
    EXPECT_EQ(nth("releasePicture", 0).args[0], first);
    EXPECT_EQ(state.backgroundPicture, nth("loadPicture", 1).args[0]);
    EXPECT_EQ(boxesSaying("Neue Versuchsreihe!"), 1);
}

// The first demonstration's red label at (10, 10), blocked out after the run light blue on light
// blue in the run's larger font, drawn plainly. The frame's lower edge is ScaleY(4) + ScaleY(192):
// at height 590 that is 11 + 566 = 577, one pixel above ScaleY(196) = 578.
TEST_F(ExperimentScreenTest, FirstDemonstrationCarriesTheLabelAndBlocksItOutAfterwards)
{
    const struct { int width, height; double labelX, labelY, small, large; Args frame; } rows[] = {
        {800, 600, 25, 30, 12, 30, {10, 12, 790, 588}}, {1000, 590, 31, 29, 15, 37.5, {12, 11, 987, 577}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.width);
        startAfresh(row.width, row.height);
        state.demoDone = 0;
        fake.setTitleAttribute(true);
        ExperimentScreen();
        const auto labels = textCalls("  DEMO !");
        ASSERT_EQ(labels.size(), 2u);
        EXPECT_EQ(labels[0]->args, (Args{row.labelX, row.labelY}));
        EXPECT_EQ(labels[1]->args, (Args{row.labelX, row.labelY}));
        EXPECT_EQ((std::tuple{labels[0]->foreground, labels[0]->background, labels[0]->fontSize}),
                  (std::tuple{kRed, kLightBlue, row.small}));
        EXPECT_EQ((std::tuple{labels[1]->foreground, labels[1]->background, labels[1]->fontSize,
                              labels[1]->titleAttribute}),
                  (std::tuple{kLightBlue, kLightBlue, row.large, false}));
        EXPECT_GT(positionOf(labels[1]), indexOf("processEvents", 4));
        EXPECT_EQ(nth("drawRectangle", 0).args, row.frame);
    }
}

} // namespace
