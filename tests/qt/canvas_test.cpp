// Real pixels of the Qt canvas: shapes land on exactly the pixels their corners name, a capture
// put back restores them, text is set in cells of the "times" face at 96 DPI, the window has its
// planned size and follows a resize between commands, a HiDPI screen gets device pixels, and the
// program's dot images are made on its start picture without a trace.

#include "support.h"

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "measurement/DotSprites.h"
#include "platform/qt/CanvasWidget.h"
#include "platform/qt/Fonts.h"
#include "screens/StartPicture.h"
#include "shell/MainProgram.h"

#include <QFontInfo>

using namespace qttest;

namespace {

using CanvasTest = BindingTest;

// The smallest rectangle that holds every pixel of the colour.
QRect bounds(const QtPlatform& binding, Colour colour)
{
    QRect found;
    for (int y = 0; y < binding.drawingHeight(); ++y)
        for (int x = 0; x < binding.drawingWidth(); ++x)
            found |= binding.canvas().colourAt(x, y) == colour ? QRect(x, y, 1, 1) : QRect();
    return found;
}

} // namespace

TEST_F(CanvasTest, ShapesCoverExactlyThePixelsTheirCornersName)
{
    binding->drawRectangle(10, 20, 30, 40);
    binding->fillRectangle(100, 100, 102, 103);
    binding->drawLine(5, 200, 15, 200);
    binding->fillRectangle(200.5, 10.4, 202.49, 12.5);   // halves round up
    binding->setLineWidth(3);
    binding->drawRectangle(70, 80, 50, 50);               // corners the other way round
    binding->setForeground(kBlue);
    binding->drawCircle(100, 150, 10);
    // A rectangle whole, or only its one-pixel border ring, all in one colour.
    const struct { int x1, y1, x2, y2; Colour colour; bool ring; } areas[] = {
        {10, 20, 30, 40, kBlack, true}, {11, 21, 29, 39, kWhite, false}, {9, 19, 31, 41, kWhite, true},
        {49, 49, 71, 81, kBlack, true}, {51, 51, 69, 79, kBlack, true}, {52, 52, 68, 78, kWhite, false},
        {48, 48, 72, 82, kWhite, true}, {100, 100, 102, 103, kBlack, false}, {99, 99, 103, 104, kWhite, true},
        {5, 200, 15, 200, kBlack, false}, {4, 199, 16, 201, kWhite, true}, {201, 10, 202, 13, kBlack, false},
        {200, 9, 203, 14, kWhite, true}};
    for (const auto& a : areas) {
        const QRect whole(QPoint(a.x1, a.y1), QPoint(a.x2, a.y2)), inner = whole.adjusted(1, 1, -1, -1);
        const int innerArea = a.ring ? inner.width() * inner.height() : 0;
        EXPECT_EQ(count(whole, a.colour) - (a.ring ? count(inner, a.colour) : 0), whole.width() * whole.height() - innerArea)
            << a.x1 << "," << a.y1;
    }
    // The disc: round, centred, blue within radius 9, free from 11 on (the square's corners too).
    for (int dy = -11; dy <= 11; ++dy)
        for (int dx = -11; dx <= 11; ++dx) {
            const int d2 = dx * dx + dy * dy;
            if (d2 <= 81 || d2 >= 121) {
                EXPECT_EQ(at(100 + dx, 150 + dy), d2 <= 81 ? kBlue : kWhite) << dx << "," << dy;
            }
        }

    // A capture holds both corners row by row; put back at fractional corners it restores all.
    binding->setForeground(kRed);
    binding->fillRectangle(120, 20, 120, 20);
    const ImageString corners = binding->capture(120, 20, 140, 40);
    EXPECT_EQ((std::tuple{corners.width, corners.height, corners.pixels[0], corners.pixels[1]}), (std::tuple{21, 21, kRed, kWhite}));
    const QImage before = snapshot();
    const ImageString patch = binding->capture(119.5, 19.5, 134.5, 34.5);   // the red pixel in its corner
    binding->drawCircle(127, 27, 7.5);
    binding->putImage(119.5, 19.5, patch);
    EXPECT_EQ(snapshot(), before);
}

// 30 points are 40 px at 96 DPI; Liberation Serif's ascent and descent are (1825 + 443) / 2048 em,
// 44.3 px. Its a..z and space, weighted by English letter frequency, average 821.8 / 2048 em
// (read from its hmtx table): 8.43 px at 16 points, set at a whole 21 px, an 8-pixel cell.
TEST_F(CanvasTest, TextIsLiberationSerifInCellsOfItsAverageWidthAndHeight)
{
    EXPECT_EQ(QFontInfo(Fonts::font(QStringLiteral("times"), 12)).family(), QStringLiteral("Liberation Serif"));
    binding->setFontName("times");
    binding->setFontSize(30);
    binding->setForeground(kBlue);
    binding->setBackground(kGreen);
    binding->setTitleAttribute(true);   // glyphs only
    binding->drawText(20, 20, "Mikroteilchen");
    EXPECT_EQ((std::pair{count(QRect(20, 20, 300, 50), kGreen), count(QRect(20, 20, 300, 50), kBlue) > 300}), (std::pair{0, true}));
    binding->setTitleAttribute(false);   // opaque: the cells filled first
    binding->drawText(100, 200, "MMMM");
    const QRect cells = bounds(*binding, kGreen);
    EXPECT_EQ((std::pair{cells.topLeft(), cells.width()}), (std::pair{QPoint(100, 200), binding->textWidth("MMMM")}));
    EXPECT_NEAR(cells.height(), 44.3, 1.2);
    binding->setFontSize(16);
    binding->clearWindow();
    binding->setTextCursor(11, 5);
    binding->printLine("n");
    binding->printLine("n");   // on to column 1 of the next row
    const TextCell cell = binding->textCell();
    EXPECT_NEAR(cell.height, 2268.0 / 2048 * 21, 1.0);
    // Whole cells: the first "n" from column 11 of row 5 on, the second at the start of row 6.
    EXPECT_EQ((std::pair{cell.width, bounds(*binding, kGreen)}),
              (std::pair{8, QRect(0, 4 * cell.height, 10 * 8 + binding->textWidth("n"), 2 * cell.height)}));
}

// The largest 4:3 area in 90 % of the screen, shown with the first presentation; between
// commands it follows the window at once, the picture so far scaled into it. A command works in
// the pixels it measured when it began: a resize in the middle of it is shown scaled and taken
// over at its next screen.
TEST_F(CanvasTest, TheAreaIsPlannedAndFollowsAResizeBetweenCommandsOnly)
{
    EXPECT_EQ(QtPlatform::plannedDrawingSize(QSize(1024, 768), 20), QSize(892, 669));   // 0.9 * 768 - 20 = 671.2
    EXPECT_EQ(QtPlatform::plannedDrawingSize(QSize(800, 600), 20), QSize(692, 519));
    MainWindow& window = binding->mainWindow();
    binding->openWindow("resize");
    EXPECT_FALSE(window.isVisible());
    binding->setForeground(kRed);
    const int width = binding->drawingWidth(), height = binding->drawingHeight();
    binding->fillRectangle(0, 0, width / 2 - 1, height - 1);
    const auto betweenCommands = [this] {
        QTimer::singleShot(0, [] {});
        binding->waitForEvents();
    };
    betweenCommands();
    ASSERT_TRUE(window.isVisible());
    window.resize(window.width() - width / 2, window.height());
    betweenCommands();
    EXPECT_NEAR(binding->drawingWidth(), width / 2, 1);
    EXPECT_EQ((std::pair{at(width / 8, height / 2), at(width * 3 / 8, height / 2)}), (std::pair{kRed, kWhite}));

    window.resize(window.width() + width / 4, window.height());   // now inside a command
    for (int i = 0; i < 3; ++i)
        binding->processEvents();
    EXPECT_NEAR(binding->drawingWidth(), width / 2, 1);
    EXPECT_TRUE(window.canvasWidget()->showsCanvasScaled());
    binding->clearWindow();
    EXPECT_NEAR(binding->drawingWidth(), width * 3 / 4, 1);
}

// Run with QT_SCALE_FACTOR=2: twice the pixels each way, shapes on whole device blocks, and a
// disc's edge at device resolution survives a capture and a put.
TEST_F(BindingTest, HiDpiCanvasHasDevicePixels)
{
    const QImage& image = binding->canvas().image();
    ASSERT_EQ(image.devicePixelRatio(), 2.0);
    EXPECT_EQ(image.size(), QSize(2 * binding->drawingWidth(), 2 * binding->drawingHeight()));
    binding->drawRectangle(40, 40, 50, 50);
    const auto device = [&](int x) { return PixelCanvas::toColour(binding->canvas().image().pixel(x, 90)); };
    EXPECT_EQ((std::vector<Colour>{device(79), device(80), device(81), device(82), device(101), device(102)}),
              (std::vector<Colour>{kWhite, kBlack, kBlack, kWhite, kBlack, kWhite}));
    const QImage before = snapshot();
    const ImageString background = binding->capture(23, 23, 37, 37);
    EXPECT_EQ(background.width, 30);
    binding->drawCircle(30, 30, 7);
    binding->putImage(23, 23, background);
    EXPECT_EQ(snapshot(), before);
}

// The program's own drawing through the real binding: the dot images are made on the start
// picture and leave no trace on it. Where the program puts its pictures, frames, prompt and
// flying images is its arithmetic on the binding's pictures, text cells and captures: the
// behaviour tests check the one, these tests the other. The red dot's image is 2 * ScaleX(3) + 1
// pixels wide, red in its middle.
TEST_F(CanvasTest, TheDotImagesAreMadeOnTheStartPictureWithoutATrace)
{
    installPlatform(*binding);
    state = ProgramState{};
    SetColours();
    binding->openWindow("Programm");
    InitCanvas();
    DrawStartPicture();
    const QImage before = snapshot();
    PrepareDotSprites();
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ((std::pair{state.redDotImage.width, state.redDotImage.pixels[state.redDotImage.pixels.size() / 2]}),
              (std::pair{2 * ScaleX(3) + 1, kRed}));
}
