// The canvas on a screen with device pixel ratio 2 (QT_SCALE_FACTOR=2): the image has
// twice the pixels in each direction so that it stays sharp, while the program keeps
// drawing in device-independent pixels.

#include "QtTestSupport.h"

#include "platform/qt/PixelCanvas.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace qttest;

void prepareQtTestEnvironment()
{
    setenv("QT_SCALE_FACTOR", "2", 1);
}

TEST(HiDpiCanvas, ImageHasTwiceThePixelsAndShapesCoverWholeDeviceBlocks)
{
    auto binding = makePlatform();
    binding->openWindow("HiDPI");
    const QImage& image = binding->canvas().image();
    ASSERT_EQ(image.devicePixelRatio(), 2.0);
    EXPECT_EQ(image.width(), 2 * binding->drawingWidth());
    EXPECT_EQ(image.height(), 2 * binding->drawingHeight());

    binding->setWindowBackground(kWhite);
    binding->clearWindow();
    binding->setForeground(kBlack);
    binding->fillRectangle(10, 10, 19, 19);
    binding->drawRectangle(40, 40, 50, 50);
    const auto device = [&](int x, int y) { return PixelCanvas::toColour(binding->canvas().image().pixel(x, y)); };
    EXPECT_EQ(device(20, 20), kBlack);
    EXPECT_EQ(device(39, 39), kBlack);
    EXPECT_EQ(device(19, 20), kWhite);
    EXPECT_EQ(device(40, 39), kWhite);
    // The one-pixel outline at column 40 is device columns 80 and 81.
    EXPECT_EQ(device(79, 90), kWhite);
    EXPECT_EQ(device(80, 90), kBlack);
    EXPECT_EQ(device(81, 90), kBlack);
    EXPECT_EQ(device(82, 90), kWhite);
    EXPECT_EQ(device(101, 90), kBlack);
    EXPECT_EQ(device(102, 90), kWhite);

    // A disc's edge at device resolution survives a capture and put exactly.
    const QImage before = binding->canvas().image().copy();
    const ImageString background = binding->capture(23, 23, 37, 37);
    EXPECT_EQ(background.width, 2 * 15);
    binding->setForeground(kRed);
    binding->drawCircle(30, 30, 7);
    EXPECT_EQ(binding->canvas().colourAt(30, 30), kRed);
    binding->putImage(23, 23, background);
    EXPECT_EQ(binding->canvas().image(), before);
}
