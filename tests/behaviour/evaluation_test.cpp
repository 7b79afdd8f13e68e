// Evaluation of a finished interval: histogram, mean, Poisson comparison, mean text and line.

#include "measurement/Evaluation.h"

#include "lesson_fixture.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

using namespace lesson;

// The Poisson probability worked out through the log-gamma function, independently of
// the product of quotients the program uses.
double poissonByLogGamma(int m, int k)
{
    if (m == 0)
        return k == 0 ? 1.0 : 0.0;
    return std::exp(k * std::log(static_cast<double>(m)) - std::lgamma(k + 1.0) - m);
}

// Where the expected point for count k lands, logical y, rounded to nearest (ties to even,
// the default rounding mode of the machine).
double expectedLogicalY(int m, int k, int intervalsTotal)
{
    return std::nearbyint(100.0 - 4.0 * intervalsTotal * poissonByLogGamma(m, k));
}

class EvaluationTest : public LessonTest {
protected:
    void SetUp() override
    {
        LessonTest::SetUp();
        state.scaleDivisor = 1;
        state.intervalsTotal = 1;
    }

    // Enters these counts one interval after the other; the calls of the last one stay.
    void evaluate(const std::vector<int32_t>& counts)
    {
        for (int32_t count : counts) {
            fake.calls.clear();
            state.eventCount = count;
            EvaluateInterval();
        }
    }

    std::vector<const FakePlatform::Call*> circlesOfRadius(double radius) const
    {
        std::vector<const FakePlatform::Call*> found;
        for (const auto* call : fake.callsOf("drawCircle"))
            if (call->args[2] == radius)
                found.push_back(call);
        return found;
    }

    std::vector<const FakePlatform::Call*> linesIn(Colour colour) const
    {
        std::vector<const FakePlatform::Call*> found;
        for (const auto* call : fake.callsOf("drawLine"))
            if (call->foreground == colour)
                found.push_back(call);
        return found;
    }

    std::string printedMean() const
    {
        return fake.callsOf("printLine").back()->text;
    }
};

TEST_F(EvaluationTest, PoissonProbabilityAgreesWithAnIndependentCalculation)
{
    EXPECT_NEAR(PoissonProbability(10, 10), 0.12511003572113372, 1e-15);
    EXPECT_NEAR(PoissonProbability(10, 10), poissonByLogGamma(10, 10), 1e-15);
    EXPECT_DOUBLE_EQ(PoissonProbability(0, 0), 1.0);
    EXPECT_DOUBLE_EQ(PoissonProbability(0, 5), 0.0);
    EXPECT_DOUBLE_EQ(PoissonProbability(3, 0), std::exp(-3.0));
    EXPECT_DOUBLE_EQ(PoissonProbability(3, -2), std::exp(-3.0));
    for (int m : {1, 4, 10, 37, 100})
        for (int k : {1, 2, 7, 20, 40, 100})
            EXPECT_NEAR(PoissonProbability(m, k) / poissonByLogGamma(m, k), 1.0, 1e-12)
                << m << " " << k;
}

TEST_F(EvaluationTest, EntersTheCountAndDrawsMeasuredAndExpectedPoints)
{
    state.intervalsTotal = 10;
    evaluate({10});
    EXPECT_EQ(state.histogram[10], 1);
    EXPECT_EQ(state.intervalsDone, 1);
    EXPECT_DOUBLE_EQ(state.meanCount, 10.0);

    const auto measured = circlesOfRadius(4);
    const auto expected = circlesOfRadius(2);
    ASSERT_EQ(measured.size(), 20u);
    ASSERT_EQ(expected.size(), 20u);
    for (int k = 1; k <= 20; ++k) {
        const double x = static_cast<int>((6 * k + 100) * 2.5);
        EXPECT_EQ(measured[k - 1]->args[0], x) << k;
        EXPECT_EQ(measured[k - 1]->foreground, kRed) << k;
        // One interval with 10 events: frequency 1 at k = 10 (y 96), 0 elsewhere (y 100).
        EXPECT_EQ(measured[k - 1]->args[1], (k == 10 ? 96 : 100) * 3) << k;
        EXPECT_EQ(expected[k - 1]->args[0], x) << k;
        EXPECT_EQ(expected[k - 1]->foreground, kWhite) << k;
        EXPECT_EQ(expected[k - 1]->args[1], expectedLogicalY(10, k, 10) * 3) << k;
    }
    // 100 - 4 * 10 * 0.12511... = 94.9956: the point for k = 10 at logical y 95.
    EXPECT_EQ(expected[9]->args[1], ScaleY(95));
}

TEST_F(EvaluationTest, ComparesWithThePoissonLawOfTheMeanRoundedHalfToEven)
{
    state.intervalsTotal = 100;
    const struct { std::vector<int32_t> counts; int m; int notM; std::string text; } rows[] = {
        {{10, 11}, 10, 11, " 10,5 "},
        {{11, 12}, 12, 11, " 11,5 "},
        {{10, 10, 10, 11}, 10, 11, " 10,3 "},   // 10.25: the printed tenth rounds half up
    };
    for (const auto& row : rows) {
        state.histogram.fill(0);
        state.intervalsDone = 0;
        evaluate(row.counts);
        const auto expected = circlesOfRadius(2);
        ASSERT_EQ(expected.size(), 20u);
        bool differsFromOtherNeighbour = false;
        for (int k = 1; k <= 20; ++k) {
            EXPECT_EQ(expected[k - 1]->args[1], expectedLogicalY(row.m, k, 100) * 3) << row.m << " " << k;
            differsFromOtherNeighbour |=
                expected[k - 1]->args[1] != expectedLogicalY(row.notM, k, 100) * 3;
        }
        EXPECT_TRUE(differsFromOtherNeighbour);
        EXPECT_EQ(printedMean(), row.text);
    }
}

TEST_F(EvaluationTest, MeanLineStandsAtTheUnroundedMean)
{
    evaluate({10, 11});   // mean 10.5: x = 6 * 10.5 + 100 = 163, 407.5 pixels truncated
    auto red = linesIn(kRed);
    ASSERT_EQ(red.size(), 1u);
    EXPECT_EQ(red[0]->args, (std::vector<double>{407, 300, 407, 60}));

    // In the demonstration the axis is halved: 3 * 10.5 + 100 = 131.5, to the even 132.
    state.scaleDivisor = 2;
    state.histogram.fill(0);
    state.intervalsDone = 0;
    evaluate({10, 11});
    red = linesIn(kRed);
    ASSERT_EQ(red.size(), 1u);
    EXPECT_EQ(red[0]->args, (std::vector<double>{330, 300, 330, 60}));
}

TEST_F(EvaluationTest, PolylineStopsBeforeTheLastPoint)
{
    for (int16_t s : {1, 2}) {
        state.scaleDivisor = s;
        state.histogram.fill(0);
        state.intervalsDone = 0;
        state.intervalsTotal = 10;
        evaluate({8});
        const auto white = linesIn(kWhite);
        const auto points = circlesOfRadius(2);
        ASSERT_EQ(points.size(), 20u * s);
        ASSERT_EQ(white.size(), 20u * s - 1 - 1) << s;   // k = 2 .. 20·s - 1
        for (size_t i = 0; i < white.size(); ++i) {
            // Segment i joins expected point i+1 to point i+2 (counts from 1).
            EXPECT_EQ(white[i]->args[0], points[i]->args[0]);
            EXPECT_EQ(white[i]->args[1], points[i]->args[1]);
            EXPECT_EQ(white[i]->args[2], points[i + 1]->args[0]);
            EXPECT_EQ(white[i]->args[3], points[i + 1]->args[1]);
        }
        // Nothing leads into the last point at the right border x = 220.
        for (const auto* line : white)
            EXPECT_NE(line->args[2], ScaleX(220));
    }
}

TEST_F(EvaluationTest, IntervalsWithoutEventsPutEverythingOnTheCountAxis)
{
    state.intervalsTotal = 3;
    evaluate({0, 0, 0});
    EXPECT_EQ(state.histogram[0], 3);
    EXPECT_DOUBLE_EQ(state.meanCount, 0.0);
    for (const auto* point : fake.callsOf("drawCircle"))
        EXPECT_EQ(point->args[1], ScaleY(100));
    EXPECT_EQ(linesIn(kRed)[0]->args[0], ScaleX(100));
    EXPECT_EQ(printedMean(), " 0,0 ");
}

TEST_F(EvaluationTest, PrintsTheMeanUnderItsLabelWhiteOnRed)
{
    evaluate({7, 8});
    const auto lines = fake.callsOf("printLine");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]->text, "Mittelwert:");
    EXPECT_EQ(lines[0]->args, (std::vector<double>{4, 3}));
    EXPECT_DOUBLE_EQ(lines[0]->fontSize, 12.0);
    EXPECT_EQ(lines[1]->text, "          ");
    EXPECT_EQ(lines[1]->args, (std::vector<double>{4, 4}));
    EXPECT_EQ(lines[2]->text, " 7,5 ");
    EXPECT_EQ(lines[2]->args, (std::vector<double>{4, 4}));
    for (const auto* line : {lines[1], lines[2]})
        EXPECT_DOUBLE_EQ(line->fontSize, 30.0);
    for (const auto* line : lines) {
        EXPECT_EQ(line->foreground, kWhite);
        EXPECT_EQ(line->background, kRed);
    }
    // The cursor for the label row is placed with the large font, then the label is small.
    const auto cursors = fake.callsOf("setTextCursor");
    ASSERT_FALSE(cursors.empty());
    EXPECT_EQ(cursors[0]->args, (std::vector<double>{4, 3}));
    EXPECT_DOUBLE_EQ(cursors[0]->fontSize, 30.0);
}

TEST_F(EvaluationTest, CountsAboveTheDrawnRangeEnterTheMeanButAreNotDrawn)
{
    evaluate({30, 10});
    EXPECT_EQ(state.histogram[30], 1);
    EXPECT_DOUBLE_EQ(state.meanCount, 20.0);
    EXPECT_EQ(circlesOfRadius(4).size(), 20u);
    EXPECT_EQ(printedMean(), " 20,0 ");
}

TEST_F(EvaluationTest, HugeFrequenciesSaturateOffTheFrameWithoutUndefinedBehaviour)
{
    state.histogram[10] = 5000;
    state.intervalsDone = 5000;
    state.intervalsTotal = 30000;
    evaluate({10});
    const auto measured = circlesOfRadius(4);
    // 100 - 4 * 5001 = -19904, still a 16-bit coordinate.
    EXPECT_EQ(measured[9]->args[1], ScaleY(-19904));

    state.histogram[10] = 1000000;
    evaluate({10});
    // 100 - 4 * 1000002 saturates at the 16-bit edge.
    EXPECT_EQ(circlesOfRadius(4)[9]->args[1], ScaleY(std::numeric_limits<int16_t>::min()));
}

// intervalsDone is 16 bits: it stops at 32767, and the mean keeps dividing by the intervals
// the histogram really holds, so it neither turns negative nor drifts.
TEST_F(EvaluationTest, MeanStaysTruePastThirtyTwoThousandIntervals)
{
    state.histogram[10] = 32766;
    state.intervalsDone = 32766;
    evaluate({10});
    EXPECT_EQ(state.intervalsDone, 32767);
    EXPECT_DOUBLE_EQ(state.meanCount, 10.0);

    evaluate({20, 20});
    EXPECT_EQ(state.intervalsDone, 32767);
    EXPECT_EQ(histogramEntries(), 32769);
    EXPECT_DOUBLE_EQ(state.meanCount, (10.0 * 32767 + 40) / 32769);
    EXPECT_EQ(printedMean(), " 10,0 ");
}

} // namespace
