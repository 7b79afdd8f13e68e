// Two hundred menu choices in quick succession while ten intervals run: no command nests
// inside another, the running series is neither restarted nor cut short, and the user's
// intervention silences the detector as it should.

#include "lesson_fixture.h"

namespace {

using namespace lesson;

TEST_F(LessonTest, TwoHundredChoicesDuringATenIntervalSeriesKeepTheRunsRules)
{
    // As after a demonstration: the series starts at once, without a box.
    state.demoDone = state.runPassLimit = state.scaleDivisor = state.seriesAnnounced = 1;
    state.rateParameter = 1.0;
    state.experimentMode = 3;
    scriptRandoms(std::vector<double>(1000, 0.05));   // every step registers

    // None of these ends a running interval; the experiment entries are refused while the
    // series runs. Twenty choices per interval, every fifth step, none at an interval start
    // (an undisturbed interval is its start call and 100 step calls).
    static constexpr int kChoices[] = {kInfo, kAuthor, kDemo, kOneSeries, kTenSeries, 2, 0};
    int chosen = 0;
    for (int interval = 0; interval < 10; ++interval) {
        const int start = 1 + interval * 101;
        for (int k = 0; k < 20; ++k, ++chosen) {
            const int command = kChoices[chosen % 7];
            fake.atProcessEvents(start + 1 + 5 * k, [this, command] { fake.dispatchMenu(command); });
        }
    }

    fake.dispatchMenu(kTenSeries);

    EXPECT_EQ(fake.count("menuEvent"), 201);
    EXPECT_EQ(fake.maxHandlerDepth, 2);                 // the series, and one choice inside it
    EXPECT_EQ(fake.processEventsCount, 10 * 101);       // every interval ran all its steps
    EXPECT_EQ(state.intervalsDone, 10);
    EXPECT_EQ(histogramEntries(), 10);
    EXPECT_EQ(state.histogram[100], 10);
    EXPECT_EQ(state.intervalsTotal, 10);
    EXPECT_EQ(textCalls("Zeit").size(), 1u);           // no second experiment screen
    EXPECT_EQ(state.experimentIdle, 1);
    EXPECT_EQ(state.menuEventCount, 200);               // the executed series took its own back
    // The first choice comes in step 1's event processing, before the first registration:
    // from then on every registration is counted silently.
    EXPECT_EQ(fake.count("playSound"), 0);
    EXPECT_EQ(fake.callsOf("printLine").back()->text, "Zahl der Versuche n:10");
}

} // namespace
