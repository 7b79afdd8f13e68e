// The frequency graph and the numbers behind it: the Poisson law, and each evaluation's points,
// curve, mean line and mean text with the rounding rules they rest on.

#include "fixture.h"

#include "measurement/Evaluation.h"

#include <cmath>

namespace {

using namespace lesson;

// The Poisson probability of k >= 1 through the log-gamma function, independently of the
// program's product of quotients (for m = 0 the logarithm's -inf makes it 0). The graph is where
// the law shows: its expected points check it.
double poisson(int m, int k)
{
    return std::exp(k * std::log(static_cast<double>(m)) - std::lgamma(k + 1.0) - m);
}

using GraphTest = LessonTest;

// Count k at x = 100 + 6k / s, frequency f at y = 100 - 4f (both rounded half to even, then
// scaled): red measured points (radius 4) and white expected points (radius 2) for k = 1..20 s,
// the expected ones the intervals announced times the Poisson law of the mean rounded half to
// even, joined by a white line that stops before the last point; a red line at the unrounded
// mean; the mean rounded half up to tenths, with a comma, white on red below "Mittelwert:".
// The first interval of a series of ten draws the curve for all ten; the demonstration's second
// pass (two entries, divisor 2) draws it for the one interval announced.
TEST_F(GraphTest, EachEvaluationDrawsPointsCurveMeanLineAndMeanText)
{
    const struct { std::vector<int32_t> counts; int16_t divisor, announced; int m; double meanLineX; const char* text; } rows[] = {
        {{10}, 1, 10, 10, 400, " 10,0 "},
        {{10, 11}, 1, 2, 10, 407, " 10,5 "},           // 163 -> 407.5
        {{11, 12}, 1, 12, 12, 422, " 11,5 "},          // 169 -> 422.5
        {{10, 10, 10, 11}, 1, 4, 10, 405, " 10,3 "},   // 10.25: 161.5 -> 162
        {{10, 11}, 2, 1, 10, 330, " 10,5 "},           // 131.5 -> 132
        {{0, 0, 0}, 1, 3, 0, 250, " 0,0 "},
        {{30, 10}, 1, 2, 20, 550, " 20,0 "},           // 30 enters the mean but is not drawn
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.counts) + " s " + std::to_string(row.divisor));
        startAfresh();
        state.intervalsTotal = row.announced;
        state.scaleDivisor = row.divisor;
        for (int32_t count : row.counts) {
            fake.calls.clear();
            state.eventCount = count;
            EvaluateInterval();
        }
        const auto measured = callsWhere("drawCircle", [](const Call& c) { return c.args[2] == 4; });
        const auto expected = callsWhere("drawCircle", [](const Call& c) { return c.args[2] == 2; });
        const auto curve = callsWhere("drawLine", [](const Call& c) { return c.foreground == kWhite; });
        const auto meanLine = callsWhere("drawLine", [](const Call& c) { return c.foreground == kRed; });
        const size_t points = 20u * static_cast<size_t>(row.divisor);
        ASSERT_EQ((Args{double(measured.size()), double(expected.size()), double(curve.size()), double(meanLine.size())}),
                  (Args{double(points), double(points), double(points - 2), 1}));
        for (size_t i = 0; i < points; ++i) {
            const int k = static_cast<int>(i) + 1;
            const auto frequency = std::count(row.counts.begin(), row.counts.end(), k);
            const double x = std::floor(std::nearbyint(100.0 + 6.0 * k / row.divisor) * 2.5);
            const double y = 3 * std::nearbyint(100.0 - 4.0 * row.announced * poisson(row.m, k));
            EXPECT_EQ((std::tuple{measured[i]->args, expected[i]->args, measured[i]->foreground, expected[i]->foreground}),
                      (std::tuple{Args{x, 3.0 * (100 - 4 * frequency), 4}, Args{x, y, 2}, kRed, kWhite})) << k;
            if (i >= 1 && i + 1 < points) {
                EXPECT_EQ(curve[i - 1]->args, (Args{expected[i - 1]->args[0], expected[i - 1]->args[1], x, y})) << k;
            }
        }
        EXPECT_EQ(meanLine[0]->args, (Args{row.meanLineX, 300, row.meanLineX, 60}));
        const Texts printed{"Mittelwert:", "          ", row.text};
        for (size_t i = 0; i < 3; ++i) {
            const Call& line = nth("printLine", i);
            EXPECT_EQ((std::tuple{line.text, line.args, line.fontSize, line.foreground, line.background}),
                      (std::tuple{printed[i], Args{4, i ? 4.0 : 3.0}, i ? 30.0 : 12.0, kWhite, kRed}));
        }
        EXPECT_EQ(nth("setTextCursor", 0).fontSize, 30.0);   // the label's row is placed in the large font
    }
}

} // namespace
