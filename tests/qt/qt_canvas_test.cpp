// Real pixels of the Qt canvas at logical coordinates: what the program draws must land on
// exactly the pixels its integer coordinates name, and a capture put back must restore them.

#include "QtTestSupport.h"

#include "platform/qt/MainWindow.h"
#include "platform/qt/PixelCanvas.h"

#include <QMenuBar>
#include <QScreen>

#include <gtest/gtest.h>

using namespace qttest;

namespace {

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        binding = makePlatform();
        binding->setWindowBackground(kWhite);
        binding->clearWindow();
        binding->setForeground(kBlack);
    }

    Colour at(int x, int y) const { return binding->canvas().colourAt(x, y); }

    std::unique_ptr<QtPlatform> binding;
};

} // namespace

TEST_F(CanvasTest, OpensA4To3AreaThatFitsNinetyPercentOfTheScreenBeforeAndAfterOpening)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const int width = binding->drawingWidth();
    const int height = binding->drawingHeight();
    EXPECT_EQ(width * 3, height * 4);
    EXPECT_LE(width, 0.9 * screen.width() + 1);
    const int bar = MainWindow::menuBarHeight();
    EXPECT_GT(bar, 0);
    EXPECT_LE(height + bar, 0.9 * screen.height() + 1);
    // Largest: one step of 4 x 3 more would no longer fit one of the two limits.
    EXPECT_TRUE(width + 4 > 0.9 * screen.width() || height + 3 + bar > 0.9 * screen.height());

    binding->openWindow("Statistik von zuf\u00e4lligen Mikroteilchen" + std::string(26, ' '));
    EXPECT_EQ(binding->drawingWidth(), width);
    EXPECT_EQ(binding->drawingHeight(), height);
    EXPECT_TRUE(binding->windowExists());
    const QString title = binding->mainWindow().windowTitle();
    EXPECT_EQ(title.size(), 64);
    EXPECT_TRUE(title.startsWith(QStringLiteral("Statistik von zuf\u00e4lligen Mikroteilchen  ")));
}

TEST_F(CanvasTest, ClearFillsWithTheWindowBackgroundGivenAsBlueGreenRed)
{
    binding->setWindowBackground(makeColour(51, 168, 238));
    binding->clearWindow();
    const QRgb pixel = binding->canvas().image().pixel(5, 5);
    EXPECT_EQ(qRed(pixel), 51);
    EXPECT_EQ(qGreen(pixel), 168);
    EXPECT_EQ(qBlue(pixel), 238);
    EXPECT_EQ(at(binding->drawingWidth() - 1, binding->drawingHeight() - 1), kSky);
}

TEST_F(CanvasTest, RectangleOutlineRunsThroughTheCornerColumnsAndRows)
{
    binding->drawRectangle(10, 20, 30, 40);
    for (int x = 10; x <= 30; ++x) {
        EXPECT_EQ(at(x, 20), kBlack) << x;
        EXPECT_EQ(at(x, 40), kBlack) << x;
        EXPECT_EQ(at(x, 19), kWhite) << x;
        EXPECT_EQ(at(x, 41), kWhite) << x;
        EXPECT_EQ(at(x, 30) == kBlack, x == 10 || x == 30) << x;
    }
    for (int y = 20; y <= 40; ++y) {
        EXPECT_EQ(at(10, y), kBlack) << y;
        EXPECT_EQ(at(30, y), kBlack) << y;
        EXPECT_EQ(at(9, y), kWhite) << y;
        EXPECT_EQ(at(31, y), kWhite) << y;
    }
    // Corners given the other way round name the same rectangle.
    binding->setForeground(kRed);
    binding->drawRectangle(30, 40, 10, 20);
    EXPECT_EQ(at(10, 20), kRed);
    EXPECT_EQ(at(30, 40), kRed);
    EXPECT_EQ(at(20, 30), kWhite);
}

TEST_F(CanvasTest, WideOutlineIsCentredOnTheEdges)
{
    binding->setLineWidth(3);
    binding->drawRectangle(50, 50, 70, 80);
    for (int x : {49, 50, 51, 69, 70, 71})
        EXPECT_EQ(at(x, 65), kBlack) << x;
    for (int x : {48, 52, 60, 68, 72})
        EXPECT_EQ(at(x, 65), kWhite) << x;
    for (int y : {49, 50, 51, 79, 80, 81})
        EXPECT_EQ(at(60, y), kBlack) << y;
    for (int y : {48, 52, 78, 82})
        EXPECT_EQ(at(60, y), kWhite) << y;
    EXPECT_EQ(at(49, 49), kBlack);   // corners are square
    EXPECT_EQ(at(71, 81), kBlack);
}

TEST_F(CanvasTest, FilledRectangleIncludesBothCornersAndLinesIncludeBothEnds)
{
    binding->fillRectangle(100, 100, 102, 103);
    int black = 0;
    for (int y = 95; y < 110; ++y)
        for (int x = 95; x < 110; ++x)
            black += at(x, y) == kBlack ? 1 : 0;
    EXPECT_EQ(black, 3 * 4);
    EXPECT_EQ(at(100, 100), kBlack);
    EXPECT_EQ(at(102, 103), kBlack);

    binding->drawLine(5, 200, 15, 200);
    for (int x = 5; x <= 15; ++x)
        EXPECT_EQ(at(x, 200), kBlack) << x;
    EXPECT_EQ(at(4, 200), kWhite);
    EXPECT_EQ(at(16, 200), kWhite);
    EXPECT_EQ(at(10, 199), kWhite);
    EXPECT_EQ(at(10, 201), kWhite);

    binding->drawLine(300, 10, 300, 20);
    EXPECT_EQ(at(300, 10), kBlack);
    EXPECT_EQ(at(300, 20), kBlack);
    EXPECT_EQ(at(300, 21), kWhite);
}

TEST_F(CanvasTest, CircleIsAFilledRoundDiscOfTheRadius)
{
    binding->setForeground(kBlue);
    binding->drawCircle(100, 150, 10);
    for (int d = -10; d <= 10; ++d) {
        EXPECT_EQ(at(100 + d, 150), kBlue) << d;
        EXPECT_EQ(at(100, 150 + d), kBlue) << d;
    }
    EXPECT_EQ(at(104, 146), kBlue);   // inside, off the axes
    EXPECT_EQ(at(111, 150), kWhite);
    EXPECT_EQ(at(89, 150), kWhite);
    EXPECT_EQ(at(100, 161), kWhite);
    EXPECT_EQ(at(100, 139), kWhite);
    // Round, not square: the bounding square's corners stay free (10·√2 > 10).
    EXPECT_EQ(at(110, 160), kWhite);
    EXPECT_EQ(at(90, 140), kWhite);
    EXPECT_EQ(at(108, 158), kWhite);
    // Symmetric about the centre pixel.
    for (int dy = -10; dy <= 10; ++dy)
        for (int dx = -10; dx <= 10; ++dx)
            ASSERT_EQ(at(100 + dx, 150 + dy), at(100 - dx, 150 - dy)) << dx << "," << dy;
}

TEST_F(CanvasTest, CaptureThenPutAtTheSameCornerRestoresEveryPixel)
{
    // A background with detail: stripes of three colours.
    for (int x = 0; x < 80; x += 3) {
        binding->setForeground(x % 2 ? kRed : kGreen);
        binding->fillRectangle(x, 0, x + 1, 80);
    }
    const QImage before = binding->canvas().image().copy();

    for (const double r : {10.0, 7.0, 7.5, 4.0}) {
        const ImageString background = binding->capture(30 - r, 30 - r, 30 + r, 30 + r);
        binding->setForeground(kBlue);
        binding->drawCircle(30, 30, r);
        const ImageString dot = binding->capture(30 - r, 30 - r, 30 + r, 30 + r);
        binding->putImage(30 - r, 30 - r, background);
        EXPECT_EQ(binding->canvas().image(), before) << "radius " << r;

        // And the dot image, put elsewhere, shows the dot with the captured surroundings.
        binding->putImage(200 - r, 30 - r, dot);
        EXPECT_EQ(at(200, 30), kBlue) << r;
        EXPECT_EQ(at(200 - static_cast<int>(r), 30), kBlue) << r;
        binding->setForeground(kWhite);
        binding->fillRectangle(150, 0, 260, 80);
    }
}

TEST_F(CanvasTest, CaptureIncludesBothCornersInRowMajorOrder)
{
    binding->setForeground(kRed);
    binding->fillRectangle(20, 20, 20, 20);
    binding->setForeground(kBlue);
    binding->fillRectangle(40, 40, 40, 40);
    binding->setForeground(kGreen);
    binding->fillRectangle(21, 20, 21, 20);

    const ImageString image = binding->capture(20, 20, 40, 40);
    ASSERT_EQ(image.width, 21);
    ASSERT_EQ(image.height, 21);
    ASSERT_EQ(image.pixels.size(), 21u * 21u);
    EXPECT_EQ(image.pixels.front(), kRed);
    EXPECT_EQ(image.pixels[1], kGreen);
    EXPECT_EQ(image.pixels[21], kWhite);
    EXPECT_EQ(image.pixels.back(), kBlue);
}

TEST_F(CanvasTest, ResizingScalesTheContentAndLaterDrawingFollowsTheNewSize)
{
    binding->openWindow("Resize");
    const int width = binding->drawingWidth();
    const int height = binding->drawingHeight();
    binding->setForeground(kRed);
    binding->fillRectangle(0, 0, width / 2 - 1, height - 1);
    binding->setForeground(kBlue);
    binding->fillRectangle(width / 2, 0, width - 1, height - 1);
    binding->processEvents();

    MainWindow& window = binding->mainWindow();
    window.resize(window.width() / 2, window.height() - height / 2);
    for (int i = 0; i < 5; ++i)
        binding->processEvents();

    const int newWidth = binding->drawingWidth();
    const int newHeight = binding->drawingHeight();
    ASSERT_NEAR(newWidth, width / 2, 1);
    ASSERT_NEAR(newHeight, height / 2, 1);
    EXPECT_EQ(binding->canvas().image().size(), QSize(newWidth, newHeight));
    EXPECT_EQ(at(newWidth / 4, newHeight / 2), kRed);
    EXPECT_EQ(at(newWidth * 3 / 4, newHeight / 2), kBlue);

    binding->setForeground(kBlack);
    binding->drawRectangle(0, 0, newWidth - 1, newHeight - 1);
    EXPECT_EQ(at(newWidth - 1, newHeight / 2), kBlack);
}

TEST_F(CanvasTest, FractionalCoordinatesRoundHalvesUp)
{
    binding->fillRectangle(10.5, 10.4, 12.49, 12.5);
    EXPECT_EQ(at(10, 10), kWhite);
    EXPECT_EQ(at(11, 10), kBlack);
    EXPECT_EQ(at(12, 13), kBlack);
    EXPECT_EQ(at(13, 13), kWhite);
    EXPECT_EQ(at(11, 14), kWhite);
}
