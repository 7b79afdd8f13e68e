// The demonstration: first pass, halt notice, second pass, and the settings every later series
// starts from; and how menu choices or a closed window cut it short. The first pass takes the
// event calls 1..41 (interval start and 40 steps), the second pass 42..142.

#include "lesson_fixture.h"
#include "shell/Demo.h"

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

class DemoTest : public LessonTest {};

// Undisturbed, both passes run around the halt notice, which comes between event calls 41 and 42.
// Theorie in step 5 of the first pass ends it; a window closed there is no menu event but skips
// the halt notice and the second pass just as well. Every way ends in the settings of every
// later series, with an empty histogram.
TEST_F(DemoTest, DemonstrationRunsBothPassesAroundTheHaltNoticeUnlessCutShort)
{
    const struct { const char* name; UserAction action; int processEvents, boxes, haltBoxes; } rows[] = {
        {"undisturbed", nullptr, 142, 1, 1},
        {"Theorie in the first pass", [](FakePlatform& f) { f.dispatchMenu(kTheory); }, 6, 1, 0},
        {"closed window in the first pass", [](FakePlatform& f) { f.closeWindowByUser(); }, 6, 0, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        startAfresh();
        state.histogram[4] = state.intervalsDone = 3;
        Args firstPass, secondPass;
        int entriesInSecondPass = -1;
        fake.atProcessEvents(2, [&] { firstPass = settings(); });
        fake.atProcessEvents(43, [&] { secondPass = settings(); entriesInSecondPass = histogramEntries(); });
        if (row.action)
            fake.atProcessEvents(6, [this, &row] { row.action(fake); });
        RunDemo();
        EXPECT_EQ(fake.processEventsCount, row.processEvents);
        EXPECT_EQ(fake.count("messageBox"), row.boxes);
        EXPECT_EQ(boxesSaying("Laufende Mikroteilchen"), row.haltBoxes);
        EXPECT_EQ(firstPass, (Args{2, 40, 4, 2, 1, 1, 1, 1, 1, 7, 7}));
        EXPECT_EQ(settings(), (Args{3, 100, 1, 1, 0, 1, 0, 1, 1, 7, 7}));
        EXPECT_EQ((Args{double(state.intervalsDone), double(state.demoDone), double(histogramEntries())}),
                  (Args{0, 1, 0}));
        EXPECT_EQ(state.demoSnapshot, 0);
        if (!row.action) {
            EXPECT_EQ(secondPass, (Args{3, 100, 4, 2, 1, 1, 1, 1, 1, 7, 7}));
            // The old histogram was cleared; the second pass sees only the first pass's entry.
            EXPECT_EQ(entriesInSecondPass, 1);
            EXPECT_GT(indexOf("messageBox"), indexOf("processEvents", 41));
            EXPECT_LT(indexOf("messageBox"), indexOf("processEvents", 42));
        }
    }
}

// "&2" as the very first command: the demonstration runs first (with its red label, once a pass)
// with that choice as its snapshot, then five seconds' rest, then the series, announced once, with
// menuEventCount back to 0 and its clicks heard (every other draw registers). A later
// demonstration has no label, and the series after it is announced again.
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
    EXPECT_EQ((Args{double(countDuringSeries), double(state.menuEventCount)}), (Args{0, 0}));
    EXPECT_EQ(fake.processEventsCount, 142 + 101);
    const auto labels = textCalls("  DEMO !");
    EXPECT_EQ(std::count_if(labels.begin(), labels.end(), [](const Call* l) { return l->foreground == kRed; }), 2);
    const int wait = indexOf("pause", 5000);
    EXPECT_GT(wait, indexOf("messageBox"));   // after the halt notice
    EXPECT_GT(wait, indexOf("processEvents", 142));
    EXPECT_LT(wait, indexOf("processEvents", 143));
    EXPECT_EQ(boxesSaying("Neue Versuchsreihe!"), 1);
    int clicksInSeries = 0;
    for (const auto* sound : fake.callsOf("playSound"))
        clicksInSeries += positionOf(sound) > wait;
    EXPECT_EQ(clicksInSeries, 50);
    EXPECT_EQ(fake.count("playSound"), 20 + 50 + 50);
    EXPECT_EQ(state.histogram[50], 1);
    EXPECT_EQ(state.intervalsTotal, 1);
    fake.dispatchMenu(kOneSeries);
    EXPECT_EQ(boxesSaying("Neue Versuchsreihe!"), 1);
    EXPECT_EQ(state.intervalsTotal, 2);

    fake.calls.clear();
    fake.dispatchMenu(kDemo);
    EXPECT_EQ(boxesSaying("Laufende Mikroteilchen"), 1);   // the second demonstration ran in full
    EXPECT_TRUE(textCalls("  DEMO !").empty());
    fake.dispatchMenu(kTenSeries);
    EXPECT_EQ(boxesSaying("Neue Versuchsreihe!"), 1);
    EXPECT_EQ(state.intervalsTotal, 10);
    EXPECT_EQ(fake.callsOf("printLine").back()->text, "Zahl der Versuche n:10");
}

} // namespace
