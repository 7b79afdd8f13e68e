// The logical canvas: 320 x 200 units stretched over whatever the drawing area is.

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace {

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state = ProgramState{};
        installPlatform(fake);
    }
    void startWithArea(int width, int height)
    {
        fake.width = width;
        fake.height = height;
        InitCanvas();
    }
    FakePlatform fake;
};

TEST_F(CanvasTest, ScalesTheStartPictureCornersOfAn800By600Area)
{
    startWithArea(800, 600);
    EXPECT_EQ(ScaleX(4), 10);
    EXPECT_EQ(ScaleX(312), 780);
    EXPECT_EQ(ScaleX(316), 790);
    EXPECT_EQ(ScaleY(4), 12);
    EXPECT_EQ(ScaleY(192), 576);
    EXPECT_EQ(ScaleY(10), 30);
}

TEST_F(CanvasTest, TruncatesTowardZeroAndNeverRoundsUp)
{
    startWithArea(1000, 750);
    EXPECT_EQ(ScaleX(3), 9);     // 9.375
    EXPECT_EQ(ScaleX(4), 12);    // 12.5
    EXPECT_EQ(ScaleX(-3), -9);   // -9.375 toward zero, not -10
    EXPECT_EQ(ScaleX(319), 996); // 996.875
    EXPECT_EQ(ScaleY(-1), -3);   // -3.75
}

TEST_F(CanvasTest, ExtremeSixteenBitCoordinatesDoNotOverflow)
{
    startWithArea(7680, 4320);
    EXPECT_EQ(ScaleX(32767), 32767LL * 7680 / 320);
    EXPECT_EQ(ScaleY(-32768), -32768LL * 4320 / 200);
}

TEST_F(CanvasTest, FollowsTheDrawingAreaAfterAResize)
{
    startWithArea(800, 600);
    fake.width = 1000;
    fake.height = 700;
    EXPECT_EQ(ScaleX(316), 987);    // 987.5
    EXPECT_EQ(ScaleY(196), 686);
    // pixelsPerUnitY is taken once, at start-up, and stays.
    EXPECT_DOUBLE_EQ(state.pixelsPerUnitY, 3.0);
}

TEST_F(CanvasTest, FontSizesFollowTheWidthWithTheirFraction)
{
    startWithArea(1024, 768);
    EXPECT_DOUBLE_EQ(FontPoints(30), 38.4);
    fake.width = 800;
    EXPECT_DOUBLE_EQ(FontPoints(12), 12.0);
    fake.width = 1000;
    EXPECT_DOUBLE_EQ(FontPoints(30), 37.5);
}

TEST_F(CanvasTest, InitCanvasSetsTheStartValues)
{
    state.histogram[0] = 5;
    state.histogram[101] = 7;
    state.demoDone = 1;
    startWithArea(1000, 700);
    for (int32_t entry : state.histogram)
        EXPECT_EQ(entry, 0);
    EXPECT_EQ(state.demoDone, 0);
    EXPECT_DOUBLE_EQ(state.rateParameter, 10.0);
    EXPECT_EQ(state.xBase, 320);
    EXPECT_EQ(state.yBase, 200);
    EXPECT_DOUBLE_EQ(state.pixelsPerUnitY, 3.5);
}

} // namespace
