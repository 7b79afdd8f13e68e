// The frequency graph: the empty frame with its count labels, and the evaluation of a finished
// interval (histogram, mean, Poisson comparison, mean text and line).

#include "lesson_fixture.h"
#include "measurement/Evaluation.h"
#include "measurement/GraphFrame.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

using namespace lesson;

// The Poisson probability through the log-gamma function, independently of the program's
// product of quotients.
double poissonByLogGamma(int m, int k)
{
    if (m == 0)
        return k == 0 ? 1.0 : 0.0;
    return std::exp(k * std::log(static_cast<double>(m)) - std::lgamma(k + 1.0) - m);
}

class EvaluationTest : public LessonTest {
protected:
    // Enters these counts one interval after the other; the calls of the last one stay.
    void evaluate(const std::vector<int32_t>& counts)
    {
        for (int32_t count : counts) {
            fake.calls.clear();
            state.eventCount = count;
            EvaluateInterval();
        }
    }

    // Circles of one radius, or (radius 0) lines of one colour.
    std::vector<const Call*> drawn(double radius, Colour colour = 0) const
    {
        return callsWhere(radius > 0 ? "drawCircle" : "drawLine", [=](const Call& call) {
            return radius > 0 ? call.args[2] == radius : call.foreground == colour;
        });
    }
};

// Margin 95..225 x 15..105, panel and thick border 100..220 x 20..100, nine white grid lines every
// 12 units labelled with every other count (2·i, or 4·i on the demonstration's halved axis), the
// black centre line last over the fifth.
TEST_F(EvaluationTest, GraphFrameDrawsPanelGridAndCountLabels)
{
    state.scaleDivisor = 1;
    fake.setLineWidth(5);
    DrawGraphFrame();
    const Call &margin = nth("fillRectangle", 0), &panel = nth("fillRectangle", 1), &border = nth("drawRectangle", 0);
    EXPECT_EQ((std::pair{margin.args, margin.foreground}), (std::pair{Args{237, 45, 562, 315}, kLightBlue}));
    EXPECT_EQ((std::pair{panel.args, panel.foreground}), (std::pair{Args{250, 60, 550, 300}, kBackground}));
    EXPECT_EQ((std::tuple{border.args, border.foreground, border.lineWidth}),
              (std::tuple{Args{250, 60, 550, 300}, kBlack, 3}));
    const auto lines = fake.callsOf("drawLine");
    const auto labels = fake.callsOf("drawText");
    ASSERT_EQ(lines.size(), 10u);
    ASSERT_EQ(labels.size(), 9u);
    for (int i = 1; i <= 9; ++i) {
        SCOPED_TRACE(i);
        const double x = (100 + 12 * i) * 5 / 2;
        const Call &line = *lines[i - 1], &label = *labels[i - 1];
        EXPECT_EQ((std::tuple{line.args, line.foreground, line.lineWidth}),
                  (std::tuple{Args{x, 60, x, 300}, kWhite, 1}));
        EXPECT_EQ((std::tuple{label.text, label.args, label.foreground, label.background, label.fontSize}),
                  (std::tuple{std::to_string(2 * i), Args{double((97 + 12 * i) * 5 / 2), 315}, kBlack,
                              kLightBlue, 10.0}));
    }
    EXPECT_EQ((std::pair{lines[9]->args, lines[9]->foreground}), (std::pair{Args{400, 60, 400, 300}, kBlack}));

    // Width 1000: labels at 12.5 points, the run's 37.5 left set; the geometry keeps its scale.
    startAfresh(1000, 750);
    state.scaleDivisor = 2;
    DrawGraphFrame();
    Texts texts;
    for (const auto* label : fake.callsOf("drawText")) {
        texts.push_back(label->text);
        EXPECT_DOUBLE_EQ(label->fontSize, 12.5);
    }
    EXPECT_EQ(texts, (Texts{"4", "8", "12", "16", "20", "24", "28", "32", "36"}));
    EXPECT_EQ(nth("drawRectangle", 0).args, (Args{312, 75, 687, 375}));
    EXPECT_EQ((std::tuple{fake.fontSize, fake.foreground, fake.background, fake.lineWidth}),
              (std::tuple{37.5, kBlack, kLightBlue, 1}));
}

TEST_F(EvaluationTest, PoissonProbabilityAgreesWithAnIndependentCalculation)
{
    EXPECT_NEAR(PoissonProbability(10, 10), 0.12511003572113372, 1e-15);
    EXPECT_DOUBLE_EQ(PoissonProbability(0, 0), 1.0);
    EXPECT_DOUBLE_EQ(PoissonProbability(0, 5), 0.0);
    EXPECT_DOUBLE_EQ(PoissonProbability(3, 0), std::exp(-3.0));
    EXPECT_DOUBLE_EQ(PoissonProbability(3, -2), std::exp(-3.0));
    for (int m : {1, 4, 10, 37, 100})
        for (int k : {1, 2, 7, 20, 40, 100})
            EXPECT_NEAR(PoissonProbability(m, k) / poissonByLogGamma(m, k), 1.0, 1e-12) << m << " " << k;
}

// Count k at x = 100 + 6k / s, frequency f at y = 100 - 4f (both rounded half to even, then
// scaled): red measured points (radius 4) and white expected points (radius 2) for k = 1..20·s, the
// expected ones from the Poisson law of the mean rounded half to even, joined by a white polyline
// that stops before the last point; a red line at the unrounded mean; its text below "Mittelwert:"
// rounded half up to tenths, with a comma, white on red.
TEST_F(EvaluationTest, EachEvaluationDrawsPointsCurveMeanLineAndMeanText)
{
    const struct {
        std::vector<int32_t> counts;
        int16_t intervalsTotal, divisor;
        int m;
        double meanLineX;   // logical x of the mean, rounded, times 2.5 truncated
        const char* text;
    } rows[] = {
        {{10}, 10, 1, 10, 400, " 10,0 "},
        {{10, 11}, 100, 1, 10, 407, " 10,5 "},           // 163 -> 407.5
        {{11, 12}, 100, 1, 12, 422, " 11,5 "},           // 169 -> 422.5
        {{10, 10, 10, 11}, 100, 1, 10, 405, " 10,3 "},   // 10.25: 161.5 -> 162
        {{10, 11}, 100, 2, 10, 330, " 10,5 "},           // 131.5 -> 132
        {{0, 0, 0}, 3, 1, 0, 250, " 0,0 "},
        {{30, 10}, 10, 1, 20, 550, " 20,0 "},            // 30 enters the mean, is not drawn
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.counts) + " s " + std::to_string(row.divisor));
        startAfresh();
        state.intervalsTotal = row.intervalsTotal;
        state.scaleDivisor = row.divisor;
        evaluate(row.counts);

        const int n = static_cast<int>(row.counts.size());
        EXPECT_EQ((Args{double(state.intervalsDone), double(histogramEntries())}), (Args{double(n), double(n)}));
        EXPECT_DOUBLE_EQ(state.meanCount, std::accumulate(row.counts.begin(), row.counts.end(), 0.0) / n);
        const auto measured = drawn(4), expected = drawn(2), curve = drawn(0, kWhite), meanLine = drawn(0, kRed);
        const size_t points = 20u * static_cast<size_t>(row.divisor);
        ASSERT_EQ(measured.size(), points);
        ASSERT_EQ(expected.size(), points);
        ASSERT_EQ(curve.size(), points - 2);   // segments into k = 2 .. 20·s - 1
        for (size_t i = 0; i < points; ++i) {
            const int k = static_cast<int>(i) + 1;
            const auto frequency = std::count(row.counts.begin(), row.counts.end(), k);
            const double x = std::floor(std::nearbyint(100.0 + 6.0 * k / row.divisor) * 2.5);
            const double y = 3 * std::nearbyint(100.0 - 4.0 * row.intervalsTotal * poissonByLogGamma(row.m, k));
            EXPECT_EQ(measured[i]->args, (Args{x, 3.0 * (100 - 4 * frequency), 4})) << k;
            EXPECT_EQ(expected[i]->args, (Args{x, y, 2})) << k;
            EXPECT_EQ((std::pair{measured[i]->foreground, expected[i]->foreground}), (std::pair{kRed, kWhite}));
            if (i >= 1 && i + 1 < points) {
                EXPECT_EQ(curve[i - 1]->args, (Args{expected[i - 1]->args[0], expected[i - 1]->args[1], x, y})) << k;
            }
        }
        if (row.counts == std::vector<int32_t>{10}) {   // 100 - 4 · 10 · 0.12511 = 94.996
            EXPECT_EQ(expected[9]->args[1], 95 * 3);
        }
        ASSERT_EQ(meanLine.size(), 1u);
        EXPECT_EQ(meanLine[0]->args, (Args{row.meanLineX, 300, row.meanLineX, 60}));

        // The label's row is placed with the large font, then the label is small.
        const auto prints = fake.callsOf("printLine");
        ASSERT_EQ(prints.size(), 3u);
        const Texts printed{"Mittelwert:", "          ", row.text};
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ((std::tuple{prints[i]->text, prints[i]->args, prints[i]->fontSize, prints[i]->foreground,
                                  prints[i]->background}),
                      (std::tuple{printed[i], Args{4, i ? 4.0 : 3.0}, i ? 30.0 : 12.0, kWhite, kRed}));
        EXPECT_EQ(nth("setTextCursor", 0).fontSize, 30.0);
    }
}

// Frequencies beyond the frame stay 16-bit coordinates (saturated, never undefined), and the
// 16-bit intervalsDone stops at 32767 while the mean keeps dividing by the real entries.
TEST_F(EvaluationTest, SixteenBitCountersSaturateAndTheMeanStaysTrue)
{
    state.scaleDivisor = 1;
    state.histogram[10] = state.intervalsDone = 5000;
    state.intervalsTotal = 30000;
    evaluate({10});
    EXPECT_EQ(drawn(4).at(9)->args[1], -19904 * 3);   // 100 - 4 * 5001
    state.histogram[10] = 1000000;
    evaluate({10});
    EXPECT_EQ(drawn(4).at(9)->args[1], -32768 * 3);   // the 16-bit edge

    startAfresh();
    state.scaleDivisor = state.intervalsTotal = 1;
    state.histogram[10] = state.intervalsDone = 32766;
    evaluate({10});
    EXPECT_EQ(state.intervalsDone, 32767);
    EXPECT_DOUBLE_EQ(state.meanCount, 10.0);
    evaluate({20, 20});
    EXPECT_EQ(state.intervalsDone, 32767);
    EXPECT_EQ(histogramEntries(), 32769);
    EXPECT_DOUBLE_EQ(state.meanCount, (10.0 * 32767 + 40) / 32769);
    EXPECT_EQ(fake.callsOf("printLine").back()->text, " 10,0 ");
}

} // namespace
