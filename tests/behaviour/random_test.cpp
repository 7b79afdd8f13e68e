// The program seeds the generator from the timer before every draw. Where the timer has
// not moved between two draws the numbers must still be fresh, or the counts clump and
// the statistics the lesson is about come out wrong. Here the timer never moves at all.

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

// Upper quantile of the chi-square distribution with k degrees of freedom by the
// Wilson-Hilferty cube approximation (good to a few tenths for k > 10); z is the
// standard normal quantile of the same tail.
double chiSquareCritical(int k, double z)
{
    const double a = 2.0 / (9.0 * k);
    const double root = 1.0 - a + z * std::sqrt(a);
    return k * root * root * root;
}

// Upper 0.1 % point of the standard normal distribution.
constexpr double kNormalQuantile999 = 3.090232;

// The program's draw: a seed from a timer that has not moved, then one number.
double frozenTimerDraw()
{
    platform().seedRandom(1000.0);
    return platform().random();
}

TEST(RandomWithFrozenTimer, CriticalValueMatchesTheTable)
{
    // Tabulated: chi-square 0.999 quantile for 99 degrees of freedom is 148.23.
    EXPECT_NEAR(chiSquareCritical(99, kNormalQuantile999), 148.23, 0.2);
}

TEST(RandomWithFrozenTimer, AMillionDrawsAreUniformAndUncorrelated)
{
    FakePlatform fake;
    installPlatform(fake);
    constexpr int kDraws = 1000000;
    constexpr int kBuckets = 100;
    std::array<int, kBuckets> counts{};
    double previous = frozenTimerDraw();
    double sumX = 0, sumY = 0, sumXX = 0, sumYY = 0, sumXY = 0;
    for (int i = 0; i < kDraws; ++i) {
        const double x = frozenTimerDraw();
        ASSERT_GE(x, 0.0);
        ASSERT_LT(x, 1.0);
        ++counts[static_cast<size_t>(x * kBuckets)];
        sumX += previous;
        sumY += x;
        sumXX += previous * previous;
        sumYY += x * x;
        sumXY += previous * x;
        previous = x;
    }

    const double expected = static_cast<double>(kDraws) / kBuckets;
    double chiSquare = 0;
    for (int count : counts)
        chiSquare += (count - expected) * (count - expected) / expected;
    EXPECT_LT(chiSquare, chiSquareCritical(kBuckets - 1, kNormalQuantile999));

    const double n = kDraws;
    const double covariance = sumXY / n - (sumX / n) * (sumY / n);
    const double varianceX = sumXX / n - (sumX / n) * (sumX / n);
    const double varianceY = sumYY / n - (sumY / n) * (sumY / n);
    const double correlation = covariance / std::sqrt(varianceX * varianceY);
    EXPECT_LT(std::fabs(correlation), 5.0 / std::sqrt(n));
}

TEST(RandomWithFrozenTimer, TheSameSeedTwiceDoesNotRestartTheStream)
{
    FakePlatform fake;
    installPlatform(fake);
    const double first = frozenTimerDraw();
    const double second = frozenTimerDraw();
    const double third = frozenTimerDraw();
    EXPECT_NE(first, second);
    EXPECT_NE(second, third);
    EXPECT_NE(first, third);
}

// What the lesson measures: intervals of 100 steps, each step an event with
// probability 0.1. The counts follow Binomial(100, 0.1) (not Poisson: the generator is
// exact, the Poisson law is the lesson's approximation).
TEST(RandomWithFrozenTimer, CountsPerIntervalFollowTheBinomialLaw)
{
    FakePlatform fake;
    installPlatform(fake);
    constexpr int kIntervals = 100000;
    constexpr int kSteps = 100;
    constexpr double kProbability = 0.1;
    std::array<int, kSteps + 1> histogram{};
    double sum = 0, sumSquares = 0;
    for (int interval = 0; interval < kIntervals; ++interval) {
        int events = 0;
        for (int step = 0; step < kSteps; ++step)
            events += frozenTimerDraw() < kProbability ? 1 : 0;
        ++histogram[static_cast<size_t>(events)];
        sum += events;
        sumSquares += static_cast<double>(events) * events;
    }

    // Classes: 0..3 together, 4..16 one by one, 17 and more together; every class
    // then expects well over 50 intervals.
    const auto binomial = [&](int k) {
        const double logTerm = std::lgamma(kSteps + 1.0) - std::lgamma(k + 1.0)
                               - std::lgamma(kSteps - k + 1.0) + k * std::log(kProbability)
                               + (kSteps - k) * std::log(1.0 - kProbability);
        return std::exp(logTerm);
    };
    std::vector<double> observed;
    std::vector<double> probability;
    double low = 0, lowProbability = 0;
    for (int k = 0; k <= 3; ++k) {
        low += histogram[static_cast<size_t>(k)];
        lowProbability += binomial(k);
    }
    observed.push_back(low);
    probability.push_back(lowProbability);
    double used = lowProbability;
    for (int k = 4; k <= 16; ++k) {
        observed.push_back(histogram[static_cast<size_t>(k)]);
        probability.push_back(binomial(k));
        used += binomial(k);
    }
    double high = 0;
    for (int k = 17; k <= kSteps; ++k)
        high += histogram[static_cast<size_t>(k)];
    observed.push_back(high);
    probability.push_back(1.0 - used);

    double chiSquare = 0;
    for (size_t i = 0; i < observed.size(); ++i) {
        const double expected = kIntervals * probability[i];
        ASSERT_GT(expected, 50.0);
        chiSquare += (observed[i] - expected) * (observed[i] - expected) / expected;
    }
    const int degrees = static_cast<int>(observed.size()) - 1;
    EXPECT_LT(chiSquare, chiSquareCritical(degrees, kNormalQuantile999));

    // Mean 10 and variance 9 (n p and n p (1 - p)); the standard error of the mean is
    // 3 / sqrt(100000) = 0.0095, that of the variance about 9 * sqrt(2 / 100000) = 0.04.
    const double mean = sum / kIntervals;
    const double variance = sumSquares / kIntervals - mean * mean;
    EXPECT_NEAR(mean, 10.0, 0.05);
    EXPECT_NEAR(variance, 9.0, 0.25);
}

} // namespace
