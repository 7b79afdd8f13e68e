// The demonstration: first pass, halt notice, second pass, and the settings every later
// series starts from; and how menu choices cut it short. The first pass takes the event
// calls 1..41 (interval start and 40 steps), the second pass 42..142.

#include "shell/Demo.h"

#include "lesson_fixture.h"

#include <algorithm>

namespace {

using namespace lesson;

struct Settings {
    int16_t mode, divisor, intervalsTotal, intervalsPerRun, seriesAnnounced, runPassLimit;
    int32_t steps;
    double rate, delay;
    float blueRadius;
    double redRadius;
};

Settings currentSettings()
{
    return {state.experimentMode, state.scaleDivisor, state.intervalsTotal, state.intervalsPerRun,
            state.seriesAnnounced, state.runPassLimit, state.stepsPerInterval, state.rateParameter,
            state.delayFactor, state.blueDotRadius, state.redDotRadius};
}

class DemoTest : public LessonTest {
protected:
    void expectSettingsOfEveryLaterSeries() const
    {
        EXPECT_EQ(state.experimentMode, 3);
        EXPECT_EQ(state.stepsPerInterval, 100);
        EXPECT_EQ(state.intervalsPerRun, 1);
        EXPECT_EQ(state.runPassLimit, 1);
        EXPECT_DOUBLE_EQ(state.delayFactor, 1.0);
        EXPECT_DOUBLE_EQ(state.rateParameter, 1.0);
        EXPECT_EQ(state.scaleDivisor, 1);
        EXPECT_EQ(state.intervalsTotal, 0);
        EXPECT_EQ(state.intervalsDone, 0);
        EXPECT_EQ(state.seriesAnnounced, 0);
        EXPECT_EQ(state.demoDone, 1);
        EXPECT_FLOAT_EQ(state.blueDotRadius, 7.0f);
        EXPECT_EQ(histogramEntries(), 0);
    }

    int haltBoxes() const
    {
        return static_cast<int>(std::count_if(
            fake.calls.begin(), fake.calls.end(),
            [](const FakePlatform::Call& call) {
                return call.op == "messageBox"
                       && call.text.find("Laufende Mikroteilchen") != std::string::npos;
            }));
    }

    int newSeriesBoxes() const
    {
        int found = 0;
        for (const auto* box : fake.callsOf("messageBox"))
            found += box->text == "Neue Versuchsreihe!";
        return found;
    }

    // Alternating registering and silent draws, so that every pass registers something.
    void alternateRandoms(size_t count)
    {
        std::vector<double> values;
        for (size_t i = 0; i < count; ++i)
            values.push_back(i % 2 == 0 ? 0.05 : 0.5);
        scriptRandoms(values);
    }
};

TEST_F(DemoTest, UndisturbedDemonstrationRunsBothPassesAroundTheHaltNotice)
{
    state.histogram[4] = 3;
    state.intervalsDone = 3;
    Settings firstPass{};
    Settings secondPass{};
    int entriesInSecondPass = -1;
    fake.atProcessEvents(2, [&] { firstPass = currentSettings(); });
    fake.atProcessEvents(43, [&] {
        secondPass = currentSettings();
        entriesInSecondPass = histogramEntries();
    });

    RunDemo();

    EXPECT_EQ(fake.processEventsCount, 142);
    EXPECT_EQ(firstPass.mode, 2);
    EXPECT_EQ(firstPass.steps, 40);
    EXPECT_DOUBLE_EQ(firstPass.rate, 4.0);
    EXPECT_EQ(firstPass.divisor, 2);
    EXPECT_EQ(firstPass.intervalsTotal, 1);
    EXPECT_EQ(firstPass.intervalsPerRun, 1);
    EXPECT_EQ(firstPass.seriesAnnounced, 1);
    EXPECT_EQ(firstPass.runPassLimit, 1);
    EXPECT_DOUBLE_EQ(firstPass.delay, 1.0);
    EXPECT_FLOAT_EQ(firstPass.blueRadius, 7.0f);
    EXPECT_DOUBLE_EQ(firstPass.redRadius, 7.0);
    EXPECT_EQ(secondPass.mode, 3);
    EXPECT_EQ(secondPass.steps, 100);
    EXPECT_DOUBLE_EQ(secondPass.rate, 4.0);
    EXPECT_EQ(secondPass.divisor, 2);
    EXPECT_EQ(secondPass.intervalsTotal, 1);
    // The old histogram was cleared; the second pass sees only the first pass's entry.
    EXPECT_EQ(entriesInSecondPass, 1);

    // The halt notice sits between the passes.
    EXPECT_EQ(haltBoxes(), 1);
    EXPECT_EQ(fake.count("messageBox"), 1);
    EXPECT_GT(indexOf("messageBox"), indexOfProcessEvents(41));
    EXPECT_LT(indexOf("messageBox"), indexOfProcessEvents(42));
    EXPECT_EQ(newSeriesBoxes(), 0);
    EXPECT_EQ(state.demoSnapshot, 0);
    expectSettingsOfEveryLaterSeries();
}

TEST_F(DemoTest, TheoryDuringTheFirstPassCutsTheDemonstrationShort)
{
    fake.atProcessEvents(6, [this] { fake.dispatchMenu(kTheory); });
    RunDemo();
    // Step 5 ends the first pass; no halt notice, no second pass.
    EXPECT_EQ(fake.processEventsCount, 6);
    EXPECT_EQ(fake.count("messageBox"), 1);   // the theory box only
    EXPECT_EQ(haltBoxes(), 0);
    expectSettingsOfEveryLaterSeries();
}

TEST_F(DemoTest, ClosingTheWindowSkipsTheHaltNoticeAndTheSecondPass)
{
    fake.atProcessEvents(6, [this] { fake.closeWindowByUser(); });
    RunDemo();
    EXPECT_EQ(state.menuEventCount, state.demoSnapshot);
    EXPECT_EQ(fake.processEventsCount, 6);
    EXPECT_EQ(haltBoxes(), 0);
    expectSettingsOfEveryLaterSeries();
}

TEST_F(DemoTest, OneSeriesAsTheVeryFirstCommandRunsTheDemonstrationFirst)
{
    alternateRandoms(40 + 100 + 100);
    int16_t countDuringSeries = -5;
    fake.atProcessEvents(143 + 1, [&] { countDuringSeries = state.menuEventCount; });

    fake.dispatchMenu(kOneSeries);

    EXPECT_EQ(state.demoSnapshot, 1);
    EXPECT_EQ(countDuringSeries, 0);
    EXPECT_EQ(state.menuEventCount, 0);
    EXPECT_EQ(fake.processEventsCount, 142 + 101);

    // Halt notice, then five seconds, then the series announces itself and runs.
    const int halt = indexOf("messageBox");
    const int wait = [&] {
        for (const auto* pause : fake.callsOf("pause"))
            if (pause->args[0] == 5000)
                return static_cast<int>(pause - &fake.calls[0]);
        return -1;
    }();
    ASSERT_GE(wait, 0);
    EXPECT_GT(wait, indexOfProcessEvents(142));
    EXPECT_LT(wait, indexOfProcessEvents(143));
    EXPECT_GT(wait, halt);
    EXPECT_EQ(newSeriesBoxes(), 1);

    // Clicks in both passes (menuEventCount equals the snapshot) and in the series
    // (menuEventCount is back to 0): every other step registers.
    int clicksInSeries = 0;
    for (const auto* sound : fake.callsOf("playSound"))
        clicksInSeries += sound - &fake.calls[0] > wait;
    EXPECT_EQ(clicksInSeries, 50);
    EXPECT_EQ(fake.count("playSound"), 20 + 50 + 50);
    EXPECT_EQ(state.histogram[50], 1);
    EXPECT_EQ(state.intervalsTotal, 1);
}

TEST_F(DemoTest, LabelOnlyInTheFirstDemonstrationEver)
{
    fake.dispatchMenu(kDemo);
    int redLabels = 0;
    for (const auto* text : fake.callsOf("drawText"))
        redLabels += text->text == "  DEMO !" && text->foreground == kRed;
    EXPECT_EQ(redLabels, 2);   // one per pass

    fake.calls.clear();
    fake.dispatchMenu(kDemo);
    EXPECT_EQ(haltBoxes(), 1);   // the second demonstration did run in full
    for (const auto* text : fake.callsOf("drawText"))
        EXPECT_NE(text->text, "  DEMO !");
}

TEST_F(DemoTest, EachDemonstrationIsFollowedByOneNewSeriesBox)
{
    fake.dispatchMenu(kDemo);
    EXPECT_EQ(newSeriesBoxes(), 0);
    fake.dispatchMenu(kOneSeries);
    fake.dispatchMenu(kOneSeries);
    EXPECT_EQ(newSeriesBoxes(), 1);
    EXPECT_EQ(state.intervalsTotal, 2);

    fake.dispatchMenu(kDemo);
    fake.dispatchMenu(kTenSeries);
    EXPECT_EQ(newSeriesBoxes(), 2);
    EXPECT_EQ(state.intervalsTotal, 10);
    EXPECT_EQ(fake.callsOf("printLine").back()->text, "Zahl der Versuche n:10");
}

} // namespace
