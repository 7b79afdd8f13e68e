// Randomness and the counting statistics the lesson is about, in a long lesson through the
// whole program. The program re-seeds from the timer before every draw; the scripted timer moves
// only in pauses, so through every series it stands still (the worst case), and the numbers must
// be fresh all the same. Every step is one Bernoulli trial, so an interval's count follows the
// binomial law; the lesson's Poisson curve is its close approximation.
//
// Sample size: with 5,000 series intervals a generator that clumps its draws, even only in pairs,
// or a probability off by 0.005 fails the chi-square test by far; the lesson's Poisson law
// itself (variance 10, not 9) would fail it about two times in three. The first pass's own
// probability is the run tests' to check, draw by draw.

#include "fixture.h"

#include <array>
#include <cmath>

namespace {

using namespace lesson;

// Chi-square upper 0.1 % point by the Wilson-Hilferty approximation (good to about 1 %).
double chiSquareCritical(int degreesOfFreedom)
{
    const double v = degreesOfFreedom, a = 2.0 / (9.0 * v), z = 3.090232306;
    return v * std::pow(1.0 - a + z * std::sqrt(a), 3.0);
}

// Fits a histogram to Binomial(n, p), pooling neighbouring counts until every bin expects at
// least 5 intervals: chi-square below its 0.1 % point.
void expectBinomial(const std::array<int32_t, 102>& histogram, int n, double p, int intervals)
{
    double observed = 0, expected = 0, lawSoFar = 0, chiSquare = 0;
    int bins = 0;
    for (int k = 0; k <= n; ++k) {
        const double law = std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0)
                                    + k * std::log(p) + (n - k) * std::log1p(-p));
        lawSoFar += law;
        observed += histogram[static_cast<size_t>(k)];
        expected += intervals * law;
        if ((expected >= 5 && intervals * (1 - lawSoFar) >= 5) || k == n) {
            chiSquare += (observed - expected) * (observed - expected) / expected;
            ++bins;
            observed = expected = 0;
        }
    }
    EXPECT_LT(chiSquare, chiSquareCritical(bins - 1)) << bins << " bins";
}

using StatisticsTest = LessonTest;

// A class keeps the lesson running for a whole morning: the demonstration, then series after
// series until five thousand intervals are in the graph, with Info and the author box chosen in
// the middle of intervals and the boxes in between. Under the sanitizers this is the soak that
// finds what a short test cannot: a leak per interval, a counter that overflows, a growing buffer.
TEST_F(StatisticsTest, AFiveThousandIntervalLessonCountsByTheBinomialLawAndEndsCleanly)
{
    EXPECT_NEAR(chiSquareCritical(99), 148.23, 0.2);   // the tabulated point
    fake.pendingKeys = {"\r", " "};
    fake.unusablePictures = {"kestrino.jpg", "quorvel2.jpg", "bild3c2.gif"};   // a lesson goes on without them
    static constexpr int kRound[] = {kTenSeries, kTenSeries, kTheory, kTenSeries, kOneSeries, kAuthor, kInfo, kUsage};
    int commands = 0;
    fake.atWaitForEvents(1, [this] { fake.dispatchMenu(kDemo); });
    for (int n = 2; n <= 2000; ++n)
        fake.atWaitForEvents(n, [this, &commands] {
            fake.calls.clear();   // only the program can make memory grow
            fake.dispatchMenu(state.intervalsDone >= 5000 ? kQuit : kRound[static_cast<size_t>(commands++) % std::size(kRound)]);
        });
    for (int n = 997; n < 1000000; n += 997)
        fake.atProcessEvents(n, [this, n] { fake.dispatchMenu(n % 2 ? kInfo : kAuthor); });
    EXPECT_EQ(RunMainProgram(), 0);
    EXPECT_GE(state.intervalsDone, 5000);
    EXPECT_LT(state.intervalsDone, 5010);
    EXPECT_EQ(histogramEntries(), state.intervalsDone);
    expectBinomial(state.histogram, 100, 0.1, state.intervalsDone);
    EXPECT_NEAR(state.meanCount, 10.0, 0.25);   // the program's own mean of them all
    EXPECT_EQ(fake.maxHandlerDepth, 2);
}

} // namespace
