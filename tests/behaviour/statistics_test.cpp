// The counting statistics the lesson is about, measured through the whole run with the
// platform's real generator and a timer that does not move (the worst case for reseeding
// before every draw). Every step is one Bernoulli trial, so an interval's count follows the
// binomial law; the Poisson curve the lesson draws is its close approximation.

#include "measurement/MeasurementRun.h"

#include "lesson_fixture.h"

#include <cmath>
#include <limits>
#include <numeric>

namespace {

using namespace lesson;

// Binomial(n, p) probabilities by the log-gamma function.
std::vector<double> binomialLaw(int n, double p)
{
    std::vector<double> law;
    for (int k = 0; k <= n; ++k)
        law.push_back(std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0)
                               + k * std::log(p) + (n - k) * std::log1p(-p)));
    return law;
}

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
// (100,000 intervals took four minutes there against six seconds optimised), so the
// sanitizer build measures fewer intervals. Even then a generator that clumped its draws, or
// a Poisson law in place of the binomial one, is off by many standard errors.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSeriesIntervals = 10000;
constexpr int kFirstPassIntervals = 500;
#else
constexpr int kSeriesIntervals = 100000;
constexpr int kFirstPassIntervals = 3000;
#endif

// Five standard errors of a sample mean and of a sample variance of a binomial law.
double meanTolerance(int n, double p, int intervals)
{
    return 5.0 * std::sqrt(n * p * (1 - p) / intervals);
}
double varianceTolerance(int n, double p, int intervals)
{
    const double variance = n * p * (1 - p);
    const double fourthMoment = 3 * variance * variance + variance * (1 - 6 * p * (1 - p));
    return 5.0 * std::sqrt((fourthMoment - variance * variance) / intervals);
}

struct Fit {
    double chiSquare = 0;
    int degreesOfFreedom = 0;
    double mean = 0;
    double variance = 0;
    int64_t intervals = 0;
};

// Pools neighbouring counts from both tails until every bin expects at least 5 intervals.
Fit fitToBinomial(const std::array<int32_t, 102>& histogram, int n, double p)
{
    const std::vector<double> law = binomialLaw(n, p);
    Fit fit;
    double sum = 0, sumSquares = 0;
    for (int k = 0; k <= n; ++k) {
        fit.intervals += histogram[static_cast<size_t>(k)];
        sum += static_cast<double>(k) * histogram[static_cast<size_t>(k)];
        sumSquares += static_cast<double>(k) * k * histogram[static_cast<size_t>(k)];
    }
    const double total = static_cast<double>(fit.intervals);
    fit.mean = sum / total;
    fit.variance = (sumSquares - total * fit.mean * fit.mean) / (total - 1);

    std::vector<double> observedBins, expectedBins;
    double observed = 0, expected = 0;
    for (int k = 0; k <= n; ++k) {
        observed += histogram[static_cast<size_t>(k)];
        expected += total * law[static_cast<size_t>(k)];
        if (expected >= 5 && total * (1 - std::accumulate(law.begin(), law.begin() + k + 1, 0.0)) >= 5) {
            observedBins.push_back(observed);
            expectedBins.push_back(expected);
            observed = expected = 0;
        }
    }
    // What is left of the upper tail joins the last bin.
    observedBins.back() += observed;
    expectedBins.back() += expected;
    for (size_t i = 0; i < observedBins.size(); ++i)
        fit.chiSquare += std::pow(observedBins[i] - expectedBins[i], 2) / expectedBins[i];
    fit.degreesOfFreedom = static_cast<int>(observedBins.size()) - 1;
    return fit;
}

class StatisticsTest : public LessonTest {
protected:
    // Runs the measurement until `intervals` intervals are entered, a hundred per run, with
    // the call log emptied between runs so that memory stays small.
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

TEST_F(StatisticsTest, SeriesCountsFollowBinomial100Of0Point1)
{
    prepareSeries(100);
    // Counting silently after another command saves the fake's log the count texts; the
    // registrations are the same.
    state.menuEventCount = 2;
    state.demoSnapshot = 1;
    measure(kSeriesIntervals);

    const Fit fit = fitToBinomial(state.histogram, 100, 0.1);
    ASSERT_EQ(fit.intervals, kSeriesIntervals);
    // Mean 10, variance 9; at 100,000 intervals the tolerances are 0.047 and 0.20.
    EXPECT_NEAR(fit.mean, 10.0, meanTolerance(100, 0.1, kSeriesIntervals));
    EXPECT_NEAR(fit.variance, 9.0, varianceTolerance(100, 0.1, kSeriesIntervals));
    EXPECT_LT(fit.chiSquare, chiSquareCritical(fit.degreesOfFreedom, kNormalQuantile999))
        << "degrees of freedom " << fit.degreesOfFreedom;
    // A Poisson law of mean 10 would have variance 10: the measurement tells them apart.
    EXPECT_LT(fit.variance, 9.5);
}

TEST_F(StatisticsTest, FirstPassCountsFollowBinomial40Of0Point2)
{
    prepareFirstPass();
    measure(kFirstPassIntervals);

    const Fit fit = fitToBinomial(state.histogram, 40, 0.2);
    ASSERT_EQ(fit.intervals, kFirstPassIntervals);
    // Mean 8, variance 6.4.
    EXPECT_NEAR(fit.mean, 8.0, meanTolerance(40, 0.2, kFirstPassIntervals));
    EXPECT_NEAR(fit.variance, 6.4, varianceTolerance(40, 0.2, kFirstPassIntervals));
    EXPECT_LT(fit.chiSquare, chiSquareCritical(fit.degreesOfFreedom, kNormalQuantile999))
        << "degrees of freedom " << fit.degreesOfFreedom;
}

} // namespace
