// A long lesson through the whole program, as a class might keep it running for a double
// period: the demonstration, then series after series until a thousand intervals are in the
// graph, with Info and the author box chosen in the middle of running intervals and the boxes
// in between. Under AddressSanitizer and UBSan this is the soak that finds what a short test
// cannot: a leak per interval, a counter that overflows, a buffer that grows with the run.

#include "lesson_fixture.h"

#include <limits>

namespace {

using namespace lesson;

constexpr int kIntervals = 1000;

TEST_F(LessonTest, AThousandIntervalLessonKeepsItsCountsAndEndsCleanly)
{
    fake.pendingKeys = {"\r", " "};   // the title prompt, then the wait before the loop
    fake.pollLimit = std::numeric_limits<int>::max();

    // Between commands: the next one from the teacher's round, until the graph holds a
    // thousand intervals; then Quit. The call log is emptied every time, so only the program
    // can make memory grow.
    static constexpr int kRound[] = {kTenSeries, kTenSeries, kTheory, kTenSeries, kOneSeries, kAuthor,
                                     kTenSeries, kInfo, kUsage};
    int commands = 0;
    fake.atWaitForEvents(1, [this] { fake.dispatchMenu(kDemo); });
    for (int n = 2; n <= 400; ++n) {
        fake.atWaitForEvents(n, [this, &commands] {
            fake.calls.clear();
            const int next = kRound[static_cast<size_t>(commands++) % std::size(kRound)];
            fake.dispatchMenu(state.intervalsDone >= kIntervals ? kQuit : next);
        });
    }
    // Inside the runs, now and then: the start picture again or the author box. Neither ends
    // an interval; one that lands on an interval's start skips that interval, as any choice does.
    for (int n = 997; n < 200000; n += 997)
        fake.atProcessEvents(n, [this, n] { fake.dispatchMenu(n % 2 ? kInfo : kAuthor); });

    EXPECT_EQ(RunMainProgram(), 0);

    EXPECT_GE(state.intervalsDone, kIntervals);
    EXPECT_LT(state.intervalsDone, kIntervals + 10);
    EXPECT_EQ(histogramEntries(), state.intervalsDone);   // every interval entered once, none lost
    EXPECT_GE(state.intervalsTotal, state.intervalsDone);  // skipped starts are counted, not entered
    EXPECT_EQ(fake.maxHandlerDepth, 2);
    // One step in ten registers (p = 0.1 over 100 steps): the mean count is 10 with a standard
    // deviation of 3 per interval, so the thousand-interval mean lies within 10 +- 0.5.
    EXPECT_NEAR(state.meanCount, 10.0, 0.5);
    // Shut-down once, as the last thing: the three pictures back, then the window.
    EXPECT_EQ(fake.count("closeWindow"), 1);
    EXPECT_EQ(fake.calls.back().op, "closeWindow");
    EXPECT_EQ(fake.count("releasePicture"), 3);
}

} // namespace
