// The program's own drawing through the real binding, offscreen: the start picture in its
// frame, the dot images made without a trace, and a first pass whose flights leave no marks.
// Where the title prompt goes on a small screen is the program's arithmetic on the binding's
// text cells: the behaviour tests check the one, the canvas tests the other.

#include "support.h"

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "measurement/DotSprites.h"
#include "measurement/ExperimentScreen.h"
#include "measurement/MeasurementRun.h"
#include "measurement/RunSetup.h"
#include "screens/StartPicture.h"
#include "shell/MainProgram.h"

using namespace qttest;

namespace {

// Pacing to display frames is not what these tests look at: events are taken at once.
class UnpacedPlatform : public QtPlatform {
public:
    using QtPlatform::QtPlatform;
    void processEvents() override { QCoreApplication::processEvents(); }
};

class ProgramDrawingTest : public BindingTest {
protected:
    void SetUp() override
    {
        BindingTest::SetUp();
        binding = makePlatform<UnpacedPlatform>();
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

// At every size (the last one a 1024 x 768 screen's) the start picture reaches its black frame
// on every side (the bottom edge is ScaleY(4) + ScaleY(192)), with the window's blue just
// outside; the dot images are made from it without a trace. Then four one-step first passes,
// each from the background box the dot images left behind (larger than the red dot's, so the
// run must cut it to size): with one step in five emitting, both the red dot and that patch
// fly; neither may leave a mark.
TEST_F(ProgramDrawingTest, StartPictureFillsItsFrameAndNeitherDotsNorFlightsLeaveATrace)
{
    for (const auto& [width, height] : {std::pair{800, 600}, std::pair{896, 672}, std::pair{1000, 630}, std::pair{892, 669}}) {
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

        const ImageString boxAfterStartUp = state.backgroundBox;
        ConfigureFirstPass();
        state.stepsPerInterval = 1;
        ExperimentScreen();
        for (int pass = 2; pass <= 4; ++pass) {
            state.backgroundBox = boxAfterStartUp;
            RunMeasurement();
        }
        const QRect band(QPoint(ScaleX(80), ScaleY(125)), QPoint(ScaleX(260), ScaleY(145)));   // where the dot flies
        const QImage seen = snapshot().copy(band);
        DrawStartPicture();   // the same picture at the same place, nothing flown over it
        EXPECT_TRUE(seen == snapshot().copy(band)) << "marks left on the flight path";
    }
}
