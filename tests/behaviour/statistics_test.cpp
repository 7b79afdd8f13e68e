// Randomness and the counting statistics the lesson is about. The program re-seeds from the
// timer before every draw; here the timer never moves (the worst case), so the numbers must be
// fresh all the same. Every step is one Bernoulli trial, so an interval's count follows the
// binomial law; the Poisson curve the lesson draws is its close approximation.

#include "lesson_fixture.h"
#include "measurement/MeasurementRun.h"

#include <array>
#include <cmath>
#include <limits>

namespace {

using namespace lesson;

// Chi-square upper quantile by the Wilson-Hilferty approximation (good to about 1 % at these
// degrees of freedom); z is the standard normal quantile of the same tail.
double chiSquareCritical(int degreesOfFreedom, double z)
{
    const double v = degreesOfFreedom;
    const double a = 2.0 / (9.0 * v);
    return v * std::pow(1.0 - a + z * std::sqrt(a), 3.0);
}
constexpr double kNormalQuantile999 = 3.090232306;   // P(Z > z) = 0.001

// Under AddressSanitizer every recorded call of the fake costs some forty times more
// (100,000 intervals took four minutes there against six seconds optimised), so the sanitizer
// build measures fewer intervals. Even then a generator that clumped its draws, or a Poisson
// law in place of the binomial one, is off by many standard errors.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSeriesIntervals = 10000;
constexpr int kFirstPassIntervals = 500;
#else
constexpr int kSeriesIntervals = 100000;
constexpr int kFirstPassIntervals = 3000;
#endif

// Fits a histogram to Binomial(n, p) (by the log-gamma function), pooling neighbouring counts
// until every bin expects at least 5 intervals; the mean and the variance within five standard
// errors, and chi-square below its 0.1 % point. Gives the sample variance.
double expectBinomial(const std::array<int32_t, 102>& histogram, int n, double p, int intervals)
{
    const double variance = n * p * (1 - p);
    const double fourthMoment = 3 * variance * variance + variance * (1 - 6 * p * (1 - p));
    double total = 0, sum = 0, sumSquares = 0, observed = 0, expected = 0, lawSoFar = 0, chiSquare = 0;
    for (int k = 0; k <= n; ++k) {
        total += histogram[static_cast<size_t>(k)];
        sum += static_cast<double>(k) * histogram[static_cast<size_t>(k)];
        sumSquares += static_cast<double>(k) * k * histogram[static_cast<size_t>(k)];
    }
    EXPECT_EQ(total, intervals);
    const double mean = sum / total;
    const double sampleVariance = (sumSquares - total * mean * mean) / (total - 1);
    EXPECT_NEAR(mean, n * p, 5.0 * std::sqrt(variance / total));
    EXPECT_NEAR(sampleVariance, variance, 5.0 * std::sqrt((fourthMoment - variance * variance) / total));
    int bins = 0;
    for (int k = 0; k <= n; ++k) {
        const double law = std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0)
                                    + k * std::log(p) + (n - k) * std::log1p(-p));
        lawSoFar += law;
        observed += histogram[static_cast<size_t>(k)];
        expected += total * law;
        // A bin closes when it and what is left of the upper tail both expect 5 or more.
        if ((expected >= 5 && total * (1 - lawSoFar) >= 5) || k == n) {
            chiSquare += (observed - expected) * (observed - expected) / expected;
            ++bins;
            observed = expected = 0;
        }
    }
    EXPECT_LT(chiSquare, chiSquareCritical(bins - 1, kNormalQuantile999)) << bins << " bins";
    return sampleVariance;
}

class StatisticsTest : public LessonTest {
protected:
    // Runs the measurement until `intervals` intervals are entered, a hundred per run, with the
    // call log emptied between runs so that memory stays small.
    void measure(int intervals)
    {
        state.intervalsPerRun = 100;
        state.intervalsTotal = 100;
        // The fake's guard against endless polling would close the window part-way.
        fake.pollLimit = std::numeric_limits<int>::max();
        for (int done = 0; done < intervals; done += 100) {
            fake.calls.clear();
            fake.timerValue = 1000.0;   // only the first pass's flight pauses move it
            RunMeasurement();
        }
    }
};

TEST_F(StatisticsTest, AMillionDrawsWithAFrozenTimerAreUniformAndUncorrelated)
{
    // Tabulated: the 0.999 quantile of chi-square with 99 degrees of freedom is 148.23.
    EXPECT_NEAR(chiSquareCritical(99, kNormalQuantile999), 148.23, 0.2);
    constexpr int kDraws = 1000000;
    std::array<int, 100> counts{};
    double previous = 0, sum = 0, sumSquares = 0, sumLagProducts = 0;
    for (int i = 0; i <= kDraws; ++i) {
        fake.seedRandom(1000.0);
        const double x = fake.random();
        ASSERT_TRUE(x >= 0.0 && x < 1.0) << x;
        if (i > 0) {   // the first draw only starts the pairs
            ++counts[static_cast<size_t>(x * 100)];
            sum += x;
            sumSquares += x * x;
            sumLagProducts += previous * x;
        }
        previous = x;
    }
    double chiSquare = 0;
    for (int count : counts)
        chiSquare += (count - kDraws / 100.0) * (count - kDraws / 100.0) / (kDraws / 100.0);
    EXPECT_LT(chiSquare, chiSquareCritical(99, kNormalQuantile999));
    // Lag-1 correlation within five standard errors of 0.
    const double mean = sum / kDraws, variance = sumSquares / kDraws - mean * mean;
    EXPECT_LT(std::fabs((sumLagProducts / kDraws - mean * mean) / variance), 5.0 / std::sqrt(kDraws));
}

TEST_F(StatisticsTest, SeriesCountsFollowBinomial100Of0Point1)
{
    prepareSeries(100);
    // Counting silently after another command saves the fake's log the count texts; the
    // registrations are the same.
    state.menuEventCount = 2;
    state.demoSnapshot = 1;
    measure(kSeriesIntervals);
    // Mean 10, variance 9; a Poisson law of mean 10 would have variance 10: they are told apart.
    EXPECT_LT(expectBinomial(state.histogram, 100, 0.1, kSeriesIntervals), 9.5);
}

TEST_F(StatisticsTest, FirstPassCountsFollowBinomial40Of0Point2)
{
    prepareFirstPass();
    measure(kFirstPassIntervals);
    expectBinomial(state.histogram, 40, 0.2, kFirstPassIntervals);   // mean 8, variance 6.4
}

} // namespace
