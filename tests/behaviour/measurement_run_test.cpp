// The measurement run: its steps, the step number, the closing line, and every stop signal
// injected at the exact event-processing call where it matters. The interval start makes
// one processEvents call and every step one more, so for one-interval runs step i is call
// i + 1 and the next interval starts at call stepsPerInterval + 2.

#include "measurement/MeasurementRun.h"

#include "lesson_fixture.h"

#include <deque>

namespace {

using namespace lesson;

class MeasurementRunTest : public LessonTest {
protected:
    // Step number place of a series at (30, 125) and of the first pass at (35, 125).
    static constexpr double kStepX = 75;
    static constexpr double kFirstPassStepX = 87;
    static constexpr double kStepY = 375;

    void registerEveryStep(size_t steps) { scriptRandoms(std::vector<double>(steps, 0.05)); }

    std::vector<std::string> stepNumberTexts(double x = kStepX) const { return textsAt(x, kStepY); }

    int framesDrawn() const { return fake.count("fillRectangle") / 2; }
    int evaluations() const
    {
        int found = 0;
        for (const auto* line : fake.callsOf("printLine"))
            found += line->text == "Mittelwert:";
        return found;
    }
};

TEST_F(MeasurementRunTest, UndisturbedIntervalRunsEveryStepAndClosesWithTheCount)
{
    prepareSeries(1);
    state.intervalsTotal = 7;
    std::vector<double> randoms(100, 0.5);
    randoms[2] = 0.05;    // step 3
    randoms[3] = 0.1;     // step 4: equal to the probability, no event
    randoms[49] = 0.0;    // step 50
    randoms[99] = 0.0999; // step 100
    scriptRandoms(randoms);
    fake.pendingKeys = {"a", "b"};

    RunMeasurement();

    EXPECT_EQ(fake.processEventsCount, 101);
    EXPECT_EQ(state.eventCount, 3);
    EXPECT_EQ(state.histogram[3], 1);
    EXPECT_EQ(histogramEntries(), 1);
    EXPECT_EQ(state.intervalsDone, 1);
    EXPECT_EQ(framesDrawn(), 1);
    EXPECT_EQ(evaluations(), 1);
    EXPECT_EQ(fake.count("playSound"), 3);

    // Under "Zeit": the old number painted over in orange, then the new one in white.
    std::vector<std::string> expectedNumbers;
    for (int i = 1; i <= 100; ++i) {
        expectedNumbers.push_back(std::to_string(i - 1) + " ");
        expectedNumbers.push_back(std::to_string(i) + "  ");
    }
    EXPECT_EQ(stepNumberTexts(), expectedNumbers);
    for (const auto* text : fake.callsOf("drawText")) {
        if (text->args[0] != kStepX)
            continue;
        EXPECT_EQ(text->background, kOrange);
        const bool newNumber = text->text.ends_with("  ");
        EXPECT_EQ(text->foreground, newNumber ? kWhite : kOrange) << text->text;
    }

    // The key pressed during the interval is consumed at its end, after the evaluation.
    EXPECT_EQ(fake.pendingKeys, (std::deque<std::string>{"b"}));
    EXPECT_GT(indexOf("keyTaken"), indexOf("drawCircle"));

    const auto* closing = fake.callsOf("printLine").back();
    EXPECT_EQ(closing->text, "Zahl der Versuche n:7");
    EXPECT_EQ(closing->args, (std::vector<double>{5, 4}));
    EXPECT_DOUBLE_EQ(closing->fontSize, 10.0);
    EXPECT_EQ(closing->foreground, kBlack);
    EXPECT_EQ(closing->background, kLightBlue);
    EXPECT_DOUBLE_EQ(fake.fontSize, 30.0);
    EXPECT_EQ(fake.foreground, kRed);
}

TEST_F(MeasurementRunTest, TenIntervalsEachGetAFrameAnEntryAndAKeyRead)
{
    prepareSeries(10);
    fake.pendingKeys = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"};
    RunMeasurement();
    EXPECT_EQ(fake.processEventsCount, 10 * 101);
    EXPECT_EQ(framesDrawn(), 10);
    EXPECT_EQ(evaluations(), 10);
    EXPECT_EQ(histogramEntries(), 10);
    EXPECT_EQ(state.intervalsDone, 10);
    EXPECT_EQ(state.intervalIndex, 10);
    EXPECT_EQ(state.runPass, 10);
    EXPECT_EQ(fake.pendingKeys, (std::deque<std::string>{"11"}));
    EXPECT_EQ(fake.callsOf("printLine").back()->text, "Zahl der Versuche n:10");
}

TEST_F(MeasurementRunTest, CommandAtAnIntervalStartSkipsThatInterval)
{
    // Call 1 starts interval 1, call 102 interval 2, call 203 interval 3.
    const struct { int call; int command; } rows[] = {
        {1, kAuthor}, {102, kTheory}, {203, kQuit}, {102, kTenSeries},
    };
    for (const auto& row : rows) {
        startAfresh();
        prepareSeries(3);
        state.experimentEntered = 1;   // an experiment screen is up: series entries are ignored
        registerEveryStep(300);
        fake.pendingKeys = {"a", "b", "c"};
        fake.atProcessEvents(row.call, [this, row] { fake.dispatchMenu(row.command); });

        RunMeasurement();

        EXPECT_EQ(fake.processEventsCount, 1 + 2 * 101) << row.call;
        // The frame is redrawn for every interval, also the skipped one ...
        EXPECT_EQ(framesDrawn(), 3) << row.call;
        // ... but it gets no steps, no entry, no evaluation and reads no key.
        EXPECT_EQ(state.histogram[100], 2) << row.call;
        EXPECT_EQ(state.intervalsDone, 2) << row.call;
        EXPECT_EQ(evaluations(), 2) << row.call;
        EXPECT_EQ(stepNumberTexts().size(), 2u * 200) << row.call;
        EXPECT_EQ(fake.pendingKeys, (std::deque<std::string>{"c"})) << row.call;
        EXPECT_EQ(fake.count("clearWindow"), 0) << row.call;
    }
}

TEST_F(MeasurementRunTest, TheoryDuringTheStepsEndsTheIntervalWithItsPartialCount)
{
    prepareSeries(2);
    registerEveryStep(200);
    fake.atProcessEvents(1 + 30, [this] { fake.dispatchMenu(kTheory); });

    RunMeasurement();

    // Step 30 still shows its number, then the stop request ends the interval before the
    // detector: 29 events. The next interval starts afresh and runs to its end.
    EXPECT_EQ(state.histogram[29], 1);
    EXPECT_EQ(state.histogram[100], 1);
    EXPECT_EQ(fake.processEventsCount, 31 + 101);
    EXPECT_EQ(fake.count("messageBox"), 1);
    const auto numbers = stepNumberTexts();
    ASSERT_EQ(numbers.size(), 60u + 200u);
    EXPECT_EQ(numbers[59], "30  ");
    EXPECT_EQ(evaluations(), 2);
}

TEST_F(MeasurementRunTest, OtherCommandsDuringTheStepsOnlySilenceTheCounting)
{
    prepareSeries(1);
    registerEveryStep(100);
    fake.atProcessEvents(1 + 30, [this] { fake.dispatchMenu(kAuthor); });
    RunMeasurement();
    EXPECT_EQ(state.histogram[100], 1);
    EXPECT_EQ(fake.processEventsCount, 101);
    // Clicks for steps 1..29 only; from step 30 on the count goes on without a sound.
    EXPECT_EQ(fake.count("playSound"), 29);
}

TEST_F(MeasurementRunTest, BothMouseButtonsEndTheIntervalAndEveryFollowingOneAtOnce)
{
    prepareSeries(3);
    registerEveryStep(300);
    fake.atProcessEvents(1 + 5, [this] { fake.mouseState = 3; });

    RunMeasurement();

    // Step 5 goes on to its detector call; step 6 sees the buttons before its events.
    EXPECT_EQ(state.histogram[5], 1);
    EXPECT_EQ(state.histogram[0], 2);
    EXPECT_EQ(state.intervalsDone, 3);
    EXPECT_EQ(fake.processEventsCount, 6 + 1 + 1);
    EXPECT_EQ(evaluations(), 3);
}

TEST_F(MeasurementRunTest, QuitDuringTenIntervalsEndsEachRemainingOneInItsFirstStep)
{
    prepareSeries(10);
    registerEveryStep(1000);
    fake.atProcessEvents(1 + 20, [this] { fake.dispatchMenu(kQuit); });

    RunMeasurement();

    EXPECT_EQ(state.quitRequest, "*");
    EXPECT_EQ(state.histogram[20], 1);
    EXPECT_EQ(state.histogram[0], 9);
    EXPECT_EQ(state.intervalsDone, 10);
    EXPECT_EQ(fake.processEventsCount, 21 + 9);
    // The Quit choice counts as a menu event, so step 20 already registers silently.
    EXPECT_EQ(fake.count("playSound"), 19);
    EXPECT_EQ(fake.callsOf("printLine").back()->text, "Zahl der Versuche n:10");
}

TEST_F(MeasurementRunTest, ClosingTheWindowActsLikeQuit)
{
    prepareSeries(10);
    registerEveryStep(1000);
    fake.atProcessEvents(1 + 20, [this] { fake.closeWindowByUser(); });
    RunMeasurement();
    EXPECT_EQ(state.histogram[20], 1);
    EXPECT_EQ(state.histogram[0], 9);
    EXPECT_EQ(fake.processEventsCount, 21 + 9);
    // No menu event was counted: the clicks go on up to the last registration.
    EXPECT_EQ(fake.count("playSound"), 20);
}

TEST_F(MeasurementRunTest, QuitTogetherWithAStopRequestSkipsTheRestOfThatStep)
{
    prepareSeries(2);
    registerEveryStep(200);
    fake.atProcessEvents(1 + 20, [this] {
        fake.dispatchMenu(kTheory);
        fake.closeWindowByUser();
    });

    RunMeasurement();

    // Step 20 neither shows its number nor reaches the detector.
    EXPECT_EQ(state.histogram[19], 1);
    const auto numbers = stepNumberTexts();
    ASSERT_EQ(numbers.size(), 38u);
    EXPECT_EQ(numbers.back(), "19  ");
    // The second interval starts (its start clears the stop request) and ends at once on Quit.
    EXPECT_EQ(state.histogram[0], 1);
    EXPECT_EQ(fake.processEventsCount, 21 + 1);
}

TEST_F(MeasurementRunTest, AnIntervalWithoutStepsIsStillEntered)
{
    prepareSeries(1);
    state.stepsPerInterval = 0;
    RunMeasurement();
    EXPECT_EQ(fake.processEventsCount, 1);
    EXPECT_EQ(state.histogram[0], 1);
    EXPECT_EQ(evaluations(), 1);
}

} // namespace
