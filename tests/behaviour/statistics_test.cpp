// Randomness and the counting statistics the lesson is about, and a long lesson through the
// whole program. The program re-seeds from the timer before every draw; here the timer never
// moves (the worst case), so the numbers must be fresh all the same. Every step is one Bernoulli
// trial, so an interval's count follows the binomial law; the lesson's Poisson curve is its
// close approximation.
//
// Sample sizes: 5,000 series intervals put the sample variance of Binomial(100, 0.1) (9) within
// a standard error of 0.18, so a Poisson law (variance 10) would miss by more than five of them
// and a generator that clumps its draws by far more; 1,000 first-pass intervals (each with 800
// flight calls) test Binomial(40, 0.2) as well. Under the sanitizers this takes some seconds.

#include "fixture.h"

#include "measurement/MeasurementRun.h"

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
// least 5 intervals; mean and variance within five standard errors, chi-square below its
// 0.1 % point.
void expectBinomial(const std::array<int32_t, 102>& histogram, int n, double p, int intervals)
{
    const double variance = n * p * (1 - p);
    const double fourthMoment = 3 * variance * variance + variance * (1 - 6 * p * (1 - p));
    double sum = 0, sumSquares = 0, observed = 0, expected = 0, lawSoFar = 0, chiSquare = 0;
    int bins = 0;
    for (int k = 0; k <= n; ++k) {
        const double h = histogram[static_cast<size_t>(k)];
        sum += k * h;
        sumSquares += double(k) * k * h;
        const double law = std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0)
                                    + k * std::log(p) + (n - k) * std::log1p(-p));
        lawSoFar += law;
        observed += h;
        expected += intervals * law;
        if ((expected >= 5 && intervals * (1 - lawSoFar) >= 5) || k == n) {
            chiSquare += (observed - expected) * (observed - expected) / expected;
            ++bins;
            observed = expected = 0;
        }
    }
    const double mean = sum / intervals, sampleVariance = (sumSquares - intervals * mean * mean) / (intervals - 1);
    EXPECT_NEAR(mean, n * p, 5.0 * std::sqrt(variance / intervals));
    EXPECT_NEAR(sampleVariance, variance, 5.0 * std::sqrt((fourthMoment - variance * variance) / intervals));
    EXPECT_LT(chiSquare, chiSquareCritical(bins - 1)) << bins << " bins";
}

using StatisticsTest = LessonTest;

TEST_F(StatisticsTest, CountsFollowBinomial100Of0Point1AndInTheFirstPass40Of0Point2)
{
    EXPECT_NEAR(chiSquareCritical(99), 148.23, 0.2);   // the tabulated point
    const struct { bool firstPass; int intervals, n; double p; } laws[] = {{false, 5000, 100, 0.1}, {true, 1000, 40, 0.2}};
    for (const auto& law : laws) {
        SCOPED_TRACE(law.n);
        startAfresh();
        law.firstPass ? ConfigureFirstPass() : prepareSeries(100);
        state.intervalsPerRun = 100;
        for (int done = 0; done < law.intervals; done += 100) {
            fake.calls.clear();
            fake.timerValue = 1000.0;   // only the flight's pauses move it
            RunMeasurement();
        }
        expectBinomial(state.histogram, law.n, law.p, law.intervals);
    }
}

// A class keeps the lesson running for a double period: the demonstration, then series after
// series until a thousand intervals are in the graph, with Info and the author box chosen in
// the middle of intervals and the boxes in between. Under the sanitizers this is the soak that
// finds what a short test cannot: a leak per interval, a counter that overflows, a growing buffer.
TEST_F(StatisticsTest, AThousandIntervalLessonKeepsItsCountsAndEndsCleanly)
{
    fake.pendingKeys = {"\r", " "};
    fake.unusablePictures = {"kestrino.jpg", "quorvel2.jpg", "bild3c2.gif"};   // a lesson goes on without them
    static constexpr int kRound[] = {kTenSeries, kTenSeries, kTheory, kTenSeries, kOneSeries, kAuthor, kInfo, kUsage};
    int commands = 0;
    fake.atWaitForEvents(1, [this] { fake.dispatchMenu(kDemo); });
    for (int n = 2; n <= 400; ++n)
        fake.atWaitForEvents(n, [this, &commands] {
            fake.calls.clear();   // only the program can make memory grow
            fake.dispatchMenu(state.intervalsDone >= 1000 ? kQuit : kRound[static_cast<size_t>(commands++) % std::size(kRound)]);
        });
    for (int n = 997; n < 200000; n += 997)
        fake.atProcessEvents(n, [this, n] { fake.dispatchMenu(n % 2 ? kInfo : kAuthor); });
    EXPECT_EQ(RunMainProgram(), 0);
    EXPECT_GE(state.intervalsDone, 1000);
    EXPECT_LT(state.intervalsDone, 1010);
    EXPECT_EQ(histogramEntries(), state.intervalsDone);
    EXPECT_EQ(fake.maxHandlerDepth, 2);
    // p = 0.1 over 100 steps: a standard deviation of 3 per interval, 0.1 for the mean of 1000.
    EXPECT_NEAR(state.meanCount, 10.0, 0.5);
    EXPECT_EQ(fake.calls.back().op, "closeWindow");
}

} // namespace
