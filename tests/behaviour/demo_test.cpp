// The demonstration: first pass, halt notice, second pass, and the settings every later series
// starts from; and how menu choices or a closed window cut it short. The first pass takes the
// event calls 1..41 (interval start and 40 steps), the second pass 42..142.

#include "shell/Demo.h"

#include "lesson_fixture.h"

#include <algorithm>

namespace {

using namespace lesson;

// mode, steps, rate, divisor, intervalsTotal, intervalsPerRun, seriesAnnounced, runPassLimit,
// delayFactor, blue and red dot radius (3 units at width 800: 7.5 truncated).
Args settings()
{
    return {double(state.experimentMode), double(state.stepsPerInterval), state.rateParameter,
            double(state.scaleDivisor), double(state.intervalsTotal), double(state.intervalsPerRun),
            double(state.seriesAnnounced), double(state.runPassLimit), state.delayFactor,
            double(state.blueDotRadius), state.redDotRadius};
}

class DemoTest : public LessonTest {
protected:
    void expectSettingsOfEveryLaterSeries() const
    {
        EXPECT_EQ(settings(), (Args{3, 100, 1, 1, 0, 1, 0, 1, 1, 7, 7}));
        EXPECT_EQ((Args{double(state.intervalsDone), double(state.demoDone)}), (Args{0, 1}));
        EXPECT_EQ(histogramEntries(), 0);
    }
    int haltBoxes() const { return boxesSaying("Laufende Mikroteilchen"); }
    int newSeriesBoxes() const { return boxesSaying("Neue Versuchsreihe!"); }
};

TEST_F(DemoTest, UndisturbedDemonstrationRunsBothPassesAroundTheHaltNotice)
{
    state.histogram[4] = 3;
    state.intervalsDone = 3;
    Args firstPass, secondPass;
    int entriesInSecondPass = -1;
    fake.atProcessEvents(2, [&] { firstPass = settings(); });
    fake.atProcessEvents(43, [&] {
        secondPass = settings();
        entriesInSecondPass = histogramEntries();
    });

    RunDemo();

    EXPECT_EQ(fake.processEventsCount, 142);
    EXPECT_EQ(firstPass, (Args{2, 40, 4, 2, 1, 1, 1, 1, 1, 7, 7}));
    EXPECT_EQ(secondPass, (Args{3, 100, 4, 2, 1, 1, 1, 1, 1, 7, 7}));
    // The old histogram was cleared; the second pass sees only the first pass's entry.
    EXPECT_EQ(entriesInSecondPass, 1);
    ASSERT_EQ(fake.count("messageBox"), 1);
    EXPECT_EQ(haltBoxes(), 1);
    EXPECT_GT(indexOf("messageBox"), indexOf("processEvents", 41));
    EXPECT_LT(indexOf("messageBox"), indexOf("processEvents", 42));
    EXPECT_EQ(state.demoSnapshot, 0);
    expectSettingsOfEveryLaterSeries();
}

// Theorie in step 5 of the first pass ends it; a window closed there is no menu event but
// skips the halt notice and the second pass just as well.
TEST_F(DemoTest, TheoryOrAClosedWindowInTheFirstPassCutsTheDemonstrationShort)
{
    const struct { const char* name; UserAction action; int boxes; } rows[] = {
        {"Theorie", [](FakePlatform& f) { f.dispatchMenu(kTheory); }, 1},
        {"closed window", [](FakePlatform& f) { f.closeWindowByUser(); }, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        startAfresh();
        fake.atProcessEvents(6, [this, &row] { row.action(fake); });
        RunDemo();
        EXPECT_EQ(fake.processEventsCount, 6);
        EXPECT_EQ(fake.count("messageBox"), row.boxes);
        EXPECT_EQ(haltBoxes(), 0);
        expectSettingsOfEveryLaterSeries();
    }
}

// "&2" as the very first command: the demonstration runs first with that choice as its snapshot,
// then five seconds' rest, then the series, announced, with menuEventCount back to 0 and its
// clicks heard. Every other draw registers.
TEST_F(DemoTest, OneSeriesAsTheVeryFirstCommandRunsTheDemonstrationFirst)
{
    std::vector<double> randoms;
    for (int i = 0; i < 240; ++i)
        randoms.push_back(i % 2 == 0 ? 0.05 : 0.5);
    scriptRandoms(randoms);
    int16_t countDuringSeries = -5;
    fake.atProcessEvents(143 + 1, [&] { countDuringSeries = state.menuEventCount; });

    fake.dispatchMenu(kOneSeries);

    EXPECT_EQ(state.demoSnapshot, 1);
    EXPECT_EQ(countDuringSeries, 0);
    EXPECT_EQ(state.menuEventCount, 0);
    EXPECT_EQ(fake.processEventsCount, 142 + 101);
    const int wait = indexOf("pause", 5000);
    EXPECT_GT(wait, indexOf("messageBox"));   // after the halt notice
    EXPECT_GT(wait, indexOf("processEvents", 142));
    EXPECT_LT(wait, indexOf("processEvents", 143));
    EXPECT_EQ(newSeriesBoxes(), 1);
    int clicksInSeries = 0;
    for (const auto* sound : fake.callsOf("playSound"))
        clicksInSeries += positionOf(sound) > wait;
    EXPECT_EQ(clicksInSeries, 50);
    EXPECT_EQ(fake.count("playSound"), 20 + 50 + 50);
    EXPECT_EQ(state.histogram[50], 1);
    EXPECT_EQ(state.intervalsTotal, 1);
}

// "  DEMO !" (red, once a pass) only in the very first demonstration; after each demonstration
// the next series is announced once.
TEST_F(DemoTest, LabelOnlyInTheFirstDemonstrationAndOneNewSeriesBoxAfterEach)
{
    const auto redLabels = [this] {
        int found = 0;
        for (const auto* text : fake.callsOf("drawText"))
            found += text->text == "  DEMO !" && text->foreground == kRed;
        return found;
    };
    fake.dispatchMenu(kDemo);
    EXPECT_EQ(redLabels(), 2);
    EXPECT_EQ(newSeriesBoxes(), 0);
    fake.dispatchMenu(kOneSeries);
    fake.dispatchMenu(kOneSeries);
    EXPECT_EQ(newSeriesBoxes(), 1);
    EXPECT_EQ(state.intervalsTotal, 2);

    fake.calls.clear();
    fake.dispatchMenu(kDemo);
    EXPECT_EQ(haltBoxes(), 1);   // the second demonstration ran in full
    const Texts texts = fake.texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "  DEMO !"), 0);
    fake.dispatchMenu(kTenSeries);
    EXPECT_EQ(newSeriesBoxes(), 1);
    EXPECT_EQ(state.intervalsTotal, 10);
    EXPECT_EQ(fake.callsOf("printLine").back()->text, "Zahl der Versuche n:10");
}

} // namespace
