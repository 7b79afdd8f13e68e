// The canvas on a screen with device pixel ratio 2 (QT_SCALE_FACTOR=2): the image has twice
// the pixels in each direction so that it stays sharp, while the program keeps drawing in
// device-independent pixels.

#include "QtTestSupport.h"

#include <cstdlib>

using namespace qttest;

void prepareQtTestEnvironment()
{
    setenv("QT_SCALE_FACTOR", "2", 1);
}

TEST_F(BindingTest, HiDpiImageHasTwiceThePixelsAndShapesCoverWholeDeviceBlocks)
{
    binding->openWindow("HiDPI");
    binding->clearWindow();
    const QImage& image = binding->canvas().image();
    ASSERT_EQ(image.devicePixelRatio(), 2.0);
    EXPECT_EQ(image.width(), 2 * binding->drawingWidth());
    EXPECT_EQ(image.height(), 2 * binding->drawingHeight());

    binding->fillRectangle(10, 10, 19, 19);
    binding->drawRectangle(40, 40, 50, 50);
    const auto device = [&](int x, int y) { return PixelCanvas::toColour(binding->canvas().image().pixel(x, y)); };
    // Device pixels 20..39 hold the fill; the one-pixel outline at columns 40 and 50 is
    // device columns 80-81 and 100-101.
    struct Probe { int x, y; Colour colour; };
    for (const Probe p : {Probe{20, 20, kBlack}, {39, 39, kBlack}, {19, 20, kWhite}, {40, 39, kWhite},
                          {79, 90, kWhite}, {80, 90, kBlack}, {81, 90, kBlack}, {82, 90, kWhite},
                          {101, 90, kBlack}, {102, 90, kWhite}})
        EXPECT_EQ(device(p.x, p.y), p.colour) << p.x << "," << p.y;

    // A disc's edge at device resolution survives a capture and put exactly.
    const QImage before = snapshot();
    const ImageString background = binding->capture(23, 23, 37, 37);
    EXPECT_EQ(background.width, 2 * 15);
    binding->setForeground(kRed);
    binding->drawCircle(30, 30, 7);
    EXPECT_EQ(at(30, 30), kRed);
    binding->putImage(23, 23, background);
    EXPECT_EQ(snapshot(), before);
}
