// The program's own drawing through the real binding, offscreen: the start picture in its
// frame and the dot images made from it without a trace. Where the title prompt goes on a
// small screen, and where a flight puts its images, is the program's arithmetic on the
// binding's text cells and captures: the behaviour tests check the one, the canvas tests the
// other.

#include "support.h"

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "measurement/DotSprites.h"
#include "screens/StartPicture.h"
#include "shell/MainProgram.h"

using namespace qttest;

namespace {

class ProgramDrawingTest : public BindingTest {
protected:
    void SetUp() override
    {
        BindingTest::SetUp();
        installPlatform(*binding);
        state = ProgramState{};
        SetColours();
        binding->openWindow("Programm");
        binding->setWindowBackground(state.colorBackground);
    }

    // Resizes the window until the drawing area has this size (offscreen, the window may be
    // larger than the screen), then starts the program's canvas on it.
    void useArea(int width, int height)
    {
        MainWindow& window = binding->mainWindow();
        for (int attempt = 0; attempt < 5 && QSize(binding->drawingWidth(), binding->drawingHeight()) != QSize(width, height); ++attempt) {
            window.resize(window.width() + width - binding->drawingWidth(), window.height() + height - binding->drawingHeight());
            QTimer::singleShot(0, [] {});
            binding->waitForEvents();   // between commands the canvas takes the new size
        }
        ASSERT_EQ(QSize(binding->drawingWidth(), binding->drawingHeight()), QSize(width, height));
        InitCanvas();
        binding->clearWindow();
    }
};

} // namespace

// At every size the start picture reaches its black frame on every side (the bottom edge is
// ScaleY(4) + ScaleY(192)), with the window's blue just outside; the dot images are made from
// it without a trace.
TEST_F(ProgramDrawingTest, StartPictureFillsItsFrameAndTheDotsLeaveNoTrace)
{
    for (const auto& [width, height] : {std::pair{800, 600}, std::pair{896, 672}, std::pair{1000, 630}}) {
        SCOPED_TRACE(width);
        useArea(width, height);
        DrawStartPicture();
        const int left = ScaleX(4), right = ScaleX(316), top = ScaleY(4), bottom = ScaleY(4) + ScaleY(192);
        for (int i = 1; i < 16; ++i) {
            const int x = left + (right - left) * i / 16, y = top + (bottom - top) * i / 16;
            EXPECT_EQ((std::vector<Colour>{at(x, top), at(x, bottom), at(left, y), at(right, y)}), std::vector<Colour>(4, kBlack));
            EXPECT_EQ((std::vector<Colour>{at(x, top - 1), at(x, bottom + 1), at(left - 1, y), at(right + 1, y)}),
                      std::vector<Colour>(4, kSky));
            EXPECT_NE(at(x, bottom - 1), kSky);
        }
        const QImage before = snapshot();
        PrepareDotSprites();
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ((std::pair{state.redDotImage.width, state.redDotImage.pixels[state.redDotImage.pixels.size() / 2]}),
                  (std::pair{2 * ScaleX(3) + 1, kRed}));
    }
}
