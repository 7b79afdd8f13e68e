// The empty frequency graph: margin, panel, border, grid lines and their count labels.

#include "measurement/GraphFrame.h"

#include "lesson_fixture.h"

namespace {

using namespace lesson;

class GraphFrameTest : public LessonTest {
protected:
    std::vector<std::string> labels() const
    {
        std::vector<std::string> found;
        for (const auto* call : fake.callsOf("drawText"))
            found.push_back(call->text);
        return found;
    }
};

TEST_F(GraphFrameTest, LabelsTheGridWithEveryOtherCountForEachScale)
{
    state.scaleDivisor = 1;
    DrawGraphFrame();
    EXPECT_EQ(labels(), (std::vector<std::string>{"2", "4", "6", "8", "10", "12", "14", "16", "18"}));

    fake.calls.clear();
    state.scaleDivisor = 2;
    DrawGraphFrame();
    EXPECT_EQ(labels(), (std::vector<std::string>{"4", "8", "12", "16", "20", "24", "28", "32", "36"}));
}

TEST_F(GraphFrameTest, DrawsMarginPanelBorderGridAndCentreLineAtTheirPlaces)
{
    state.scaleDivisor = 1;
    DrawGraphFrame();

    // 800 x 600: x * 2.5 truncated, y * 3.
    const auto fills = fake.callsOf("fillRectangle");
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0]->args, (std::vector<double>{237, 45, 562, 315}));
    EXPECT_EQ(fills[0]->foreground, kLightBlue);
    EXPECT_EQ(fills[1]->args, (std::vector<double>{250, 60, 550, 300}));
    EXPECT_EQ(fills[1]->foreground, kBackground);

    const auto borders = fake.callsOf("drawRectangle");
    ASSERT_EQ(borders.size(), 1u);
    EXPECT_EQ(borders[0]->args, (std::vector<double>{250, 60, 550, 300}));
    EXPECT_EQ(borders[0]->foreground, kBlack);
    EXPECT_EQ(borders[0]->lineWidth, 3);

    const auto lines = fake.callsOf("drawLine");
    ASSERT_EQ(lines.size(), 10u);
    for (int i = 1; i <= 9; ++i) {
        const double x = static_cast<int>((100 + 12 * i) * 2.5);
        EXPECT_EQ(lines[i - 1]->args, (std::vector<double>{x, 60, x, 300})) << i;
        EXPECT_EQ(lines[i - 1]->foreground, kWhite) << i;
        EXPECT_EQ(lines[i - 1]->lineWidth, 1) << i;
    }
    // The black centre line comes last and covers the fifth grid line.
    EXPECT_EQ(lines[9]->args, (std::vector<double>{400, 60, 400, 300}));
    EXPECT_EQ(lines[9]->foreground, kBlack);
    EXPECT_EQ(lines[4]->args, lines[9]->args);

    const auto texts = fake.callsOf("drawText");
    ASSERT_EQ(texts.size(), 9u);
    for (int i = 1; i <= 9; ++i) {
        const double x = static_cast<int>((97 + 12 * i) * 2.5);
        EXPECT_EQ(texts[i - 1]->args, (std::vector<double>{x, 315})) << i;
        EXPECT_EQ(texts[i - 1]->foreground, kBlack) << i;
        EXPECT_EQ(texts[i - 1]->background, kLightBlue) << i;
        EXPECT_DOUBLE_EQ(texts[i - 1]->fontSize, 10.0) << i;
    }
}

TEST_F(GraphFrameTest, FontsFollowTheWidthAndTheStateLeftBehindIsFixed)
{
    fake.width = 1000;
    fake.height = 750;
    state.scaleDivisor = 2;
    fake.setLineWidth(5);
    DrawGraphFrame();
    for (const auto* text : fake.callsOf("drawText"))
        EXPECT_DOUBLE_EQ(text->fontSize, 12.5);
    EXPECT_DOUBLE_EQ(fake.fontSize, 37.5);
    EXPECT_EQ(fake.foreground, kBlack);
    EXPECT_EQ(fake.background, kLightBlue);
    EXPECT_EQ(fake.lineWidth, 1);
    // The geometry does not depend on the scale: panel 100..220 x 20..100 at 3.125 x 3.75.
    EXPECT_EQ(fake.callsOf("drawRectangle")[0]->args, (std::vector<double>{312, 75, 687, 375}));
}

} // namespace
