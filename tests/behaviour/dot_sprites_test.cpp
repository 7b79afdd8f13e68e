// The two particle dots: drawn once at start-up, captured, and the window restored.

#include "shell/DotSprites.h"

#include "lesson_fixture.h"

namespace {

using namespace lesson;

class DotSpritesTest : public LessonTest {};

TEST_F(DotSpritesTest, RadiiAndCaptureSquaresAtWidth800)
{
    PrepareDotSprites();
    EXPECT_FLOAT_EQ(state.blueDotRadius, 10.0f);
    EXPECT_DOUBLE_EQ(state.redDotRadius, 7.0);   // 7.5 truncated

    const auto captures = fake.callsOf("capture");
    ASSERT_EQ(captures.size(), 4u);
    for (int i : {0, 1})
        EXPECT_EQ(std::vector<double>(captures[i]->args.begin(), captures[i]->args.begin() + 4),
                  (std::vector<double>{20, 20, 40, 40}));
    for (int i : {2, 3})
        EXPECT_EQ(std::vector<double>(captures[i]->args.begin(), captures[i]->args.begin() + 4),
                  (std::vector<double>{23, 23, 37, 37}));
    EXPECT_EQ(state.blueDotImage.width, 21);
    EXPECT_EQ(state.redDotImage.width, 15);

    const auto circles = fake.callsOf("drawCircle");
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_EQ(circles[0]->args, (std::vector<double>{30, 30, 10}));
    EXPECT_EQ(circles[0]->foreground, makeColour(0, 0, 255));
    EXPECT_EQ(circles[1]->args, (std::vector<double>{30, 30, 7}));
    EXPECT_EQ(circles[1]->foreground, makeColour(255, 0, 0));
}

TEST_F(DotSpritesTest, EveryCapturedAreaIsRestored)
{
    PrepareDotSprites();
    EXPECT_EQ(fake.opsAmong({"capture", "drawCircle", "putImage"}),
              (std::vector<std::string>{"capture", "drawCircle", "capture", "putImage",
                                        "capture", "drawCircle", "capture", "putImage"}));
    const auto captures = fake.callsOf("capture");
    const auto puts = fake.callsOf("putImage");
    ASSERT_EQ(puts.size(), 2u);
    // What was there before each dot goes back to the square's corner.
    EXPECT_EQ(puts[0]->args, (std::vector<double>{20, 20, 21, 21, captures[0]->args[4]}));
    EXPECT_EQ(puts[1]->args, (std::vector<double>{23, 23, 15, 15, captures[2]->args[4]}));
    // The images keep the dot captures, the boxes the backgrounds.
    EXPECT_EQ(state.backgroundBox.pixels.front(), captures[0]->args[4]);
    EXPECT_EQ(state.blueDotImage.pixels.front(), captures[1]->args[4]);
    EXPECT_EQ(state.redDotBackground.pixels.front(), captures[2]->args[4]);
    EXPECT_EQ(state.redDotImage.pixels.front(), captures[3]->args[4]);
}

TEST_F(DotSpritesTest, DotsGrowWithTheWindow)
{
    fake.width = 1000;
    PrepareDotSprites();
    EXPECT_FLOAT_EQ(state.blueDotRadius, 12.0f);   // 12.5 truncated
    EXPECT_DOUBLE_EQ(state.redDotRadius, 9.0);     // 9.375 truncated
    EXPECT_EQ(state.redDotImage.width, 19);
}

} // namespace
