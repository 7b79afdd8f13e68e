// Real pixels of the Qt canvas at logical coordinates: shapes land on exactly the pixels their
// integer coordinates name, a capture put back restores them, the window has its planned
// size and follows a resize, and text is set in cells of the "times" font at 96 DPI.

#include "QtTestSupport.h"

#include "platform/qt/CanvasWidget.h"
#include "platform/qt/Fonts.h"

#include <QFontInfo>
#include <QScreen>

using namespace qttest;

namespace {

using CanvasTest = BindingTest;

// The first and last pixel of the colour along column x (down) or row y (across); -1 if none.
std::pair<int, int> extent(const QtPlatform& binding, Colour colour, int x, int y, bool down)
{
    std::pair<int, int> found{-1, -1};
    for (int i = 0; i < (down ? binding.drawingHeight() : binding.drawingWidth()); ++i)
        if (binding.canvas().colourAt(down ? x : i, down ? i : y) == colour)
            found = {found.first < 0 ? i : found.first, i};
    return found;
}

} // namespace

TEST_F(CanvasTest, PlannedFourToThreeAreaAppearsAtFirstPresentationAndFollowsAResize)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const int width = binding->drawingWidth(), height = binding->drawingHeight();
    const int bar = MainWindow::menuBarHeight();
    EXPECT_EQ(width * 3, height * 4);
    EXPECT_GT(bar, 0);
    EXPECT_LE(width, 0.9 * screen.width() + 1);
    EXPECT_LE(height + bar, 0.9 * screen.height() + 1);
    // Largest: one step of 4 x 3 more would no longer fit one of the two limits.
    EXPECT_TRUE(width + 4 > 0.9 * screen.width() || height + 3 + bar > 0.9 * screen.height());

    binding->openWindow("Statistik von zuf\u00e4lligen Mikroteilchen" + std::string(26, ' '));
    EXPECT_EQ(QSize(binding->drawingWidth(), binding->drawingHeight()), QSize(width, height));
    MainWindow& window = binding->mainWindow();
    EXPECT_EQ(window.windowTitle().size(), 64);
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("Statistik von zuf\u00e4lligen Mikroteilchen  ")));
    // No empty frame is shown: the window appears with the first presentation.
    EXPECT_TRUE(binding->windowExists());
    EXPECT_FALSE(window.isVisible());
    binding->setForeground(kRed);
    binding->fillRectangle(0, 0, width / 2 - 1, height - 1);
    binding->processEvents();
    ASSERT_TRUE(window.isVisible());

    window.resize(window.width() / 2, window.height() - height / 2);
    for (int i = 0; i < 5; ++i)
        binding->processEvents();
    const int newWidth = binding->drawingWidth(), newHeight = binding->drawingHeight();
    ASSERT_NEAR(newWidth, width / 2, 1);
    ASSERT_NEAR(newHeight, height / 2, 1);
    EXPECT_EQ(binding->canvas().image().size(), QSize(newWidth, newHeight));
    EXPECT_EQ(at(newWidth / 4, newHeight / 2), kRed);   // the picture so far, scaled
    EXPECT_EQ(at(newWidth * 3 / 4, newHeight / 2), kWhite);
    binding->setForeground(kBlack);
    binding->drawRectangle(0, 0, newWidth - 1, newHeight - 1);
    EXPECT_EQ(at(newWidth - 1, newHeight / 2), kBlack);
}

// A command dispatched from the event loop works in the pixels it measured when it began
// (a flight path, patches it puts back): a resize in the middle of it is shown scaled and
// taken over at its next screen; between commands the canvas follows at once.
TEST_F(CanvasTest, AResizeDuringACommandWaitsForItsNextScreen)
{
    binding->openWindow("resize");
    binding->processEvents();
    MainWindow& window = binding->mainWindow();
    const int width = binding->drawingWidth(), height = binding->drawingHeight();
    auto leaveTheEventLoopWithACommand = [this] {
        QTimer::singleShot(0, [] {});
        binding->waitForEvents();
    };

    leaveTheEventLoopWithACommand();
    window.resize(window.width() - width / 2, window.height());
    for (int i = 0; i < 3; ++i)
        binding->processEvents();
    EXPECT_EQ(binding->drawingWidth(), width);
    EXPECT_TRUE(window.canvasWidget()->showsCanvasScaled());

    binding->clearWindow();
    EXPECT_NEAR(binding->drawingWidth(), width / 2, 1);
    EXPECT_FALSE(window.canvasWidget()->showsCanvasScaled());

    // Back in the event loop, a resize is taken at once.
    window.resize(window.width() + width / 4, window.height());
    leaveTheEventLoopWithACommand();
    EXPECT_NEAR(binding->drawingWidth(), width * 3 / 4, 1);
    EXPECT_EQ(binding->drawingHeight(), height);
}

TEST_F(CanvasTest, ShapesCoverExactlyThePixelsTheirCornersName)
{
    binding->drawRectangle(10, 20, 30, 40);
    binding->fillRectangle(100, 100, 102, 103);
    binding->drawLine(5, 200, 15, 200);
    binding->drawLine(300, 10, 300, 20);
    binding->fillRectangle(200.5, 10.4, 202.49, 12.5);   // halves round up
    binding->setLineWidth(3);
    binding->drawRectangle(50, 50, 70, 80);
    binding->setForeground(kBlue);
    binding->drawCircle(100, 150, 10);

    // Each row: a rectangle whole or only its one-pixel border ring, all in one colour.
    struct Area { int x1, y1, x2, y2; Colour colour; bool ring; const char* what; };
    const Area areas[] = {
        {10, 20, 30, 40, kBlack, true, "outline"}, {11, 21, 29, 39, kWhite, false, "inside outline"},
        {9, 19, 31, 41, kWhite, true, "around outline"}, {49, 49, 71, 81, kBlack, true, "width 3, outer"},
        {50, 50, 70, 80, kBlack, true, "width 3, centred"}, {51, 51, 69, 79, kBlack, true, "width 3, inner"},
        {52, 52, 68, 78, kWhite, false, "inside width 3"}, {48, 48, 72, 82, kWhite, true, "around width 3"},
        {100, 100, 102, 103, kBlack, false, "filled, both corners"}, {99, 99, 103, 104, kWhite, true, "around fill"},
        {5, 200, 15, 200, kBlack, false, "line, both ends"}, {4, 199, 16, 201, kWhite, true, "around line"},
        {300, 10, 300, 20, kBlack, false, "vertical line"}, {299, 9, 301, 21, kWhite, true, "around vertical"},
        {201, 10, 202, 13, kBlack, false, "x 200.5..202.49, y 10.4..12.5"}, {200, 9, 203, 14, kWhite, true, "around it"},
        {90, 150, 110, 150, kBlue, false, "disc across"}, {100, 140, 100, 160, kBlue, false, "disc down"},
    };
    for (const Area& a : areas) {
        SCOPED_TRACE(a.what);
        const QRect whole(QPoint(a.x1, a.y1), QPoint(a.x2, a.y2));
        const QRect inner = a.ring ? whole.adjusted(1, 1, -1, -1) : QRect();
        const int innerArea = inner.isValid() ? inner.width() * inner.height() : 0;
        EXPECT_EQ(count(whole, a.colour) - (innerArea ? count(inner, a.colour) : 0),
                  whole.width() * whole.height() - innerArea);
    }
    // Round and centred: blue well inside radius 10, free beyond it (corners of the square
    // too, 10·√2 > 10), and symmetric about the centre pixel.
    for (int dy = -11; dy <= 11; ++dy)
        for (int dx = -11; dx <= 11; ++dx) {
            const int d2 = dx * dx + dy * dy;
            if (d2 <= 81 || d2 >= 121) {
                EXPECT_EQ(at(100 + dx, 150 + dy), d2 <= 81 ? kBlue : kWhite) << dx << "," << dy;
            }
            EXPECT_EQ(at(100 + dx, 150 + dy), at(100 - dx, 150 - dy)) << dx << "," << dy;
        }

    // Corners given the other way round name the same rectangle.
    binding->setLineWidth(1);
    binding->setForeground(kRed);
    binding->drawRectangle(30, 40, 10, 20);
    EXPECT_EQ(count(QRect(10, 20, 21, 21), kRed) - count(QRect(11, 21, 19, 19), kRed), 80);

    // The window background is given as blue-green-red and clears every pixel.
    binding->setWindowBackground(kSky);
    binding->clearWindow();
    EXPECT_EQ(QColor(binding->canvas().image().pixel(5, 5)), QColor(51, 168, 238));
    EXPECT_EQ(at(binding->drawingWidth() - 1, binding->drawingHeight() - 1), kSky);
}

TEST_F(CanvasTest, CaptureTakesBothCornersRowByRowAndItsPutRestoresThem)
{
    for (const auto& [x, y, colour] : {std::tuple{120, 20, kRed}, std::tuple{121, 20, kGreen}, std::tuple{140, 40, kBlue}}) {
        binding->setForeground(colour);
        binding->fillRectangle(x, y, x, y);
    }
    const ImageString corners = binding->capture(120, 20, 140, 40);
    ASSERT_EQ(corners.width, 21);
    ASSERT_EQ(corners.height, 21);
    ASSERT_EQ(corners.pixels.size(), 21u * 21u);
    EXPECT_EQ(std::vector<Colour>(corners.pixels.begin(), corners.pixels.begin() + 2), (std::vector<Colour>{kRed, kGreen}));
    EXPECT_EQ(corners.pixels[21], kWhite);
    EXPECT_EQ(corners.pixels.back(), kBlue);

    // Put back at fractional corners after a disc covered the place: every pixel restored.
    const QImage before = snapshot();
    const ImageString patch = binding->capture(122.5, 22.5, 137.5, 37.5);
    binding->drawCircle(130, 30, 7.5);
    EXPECT_NE(snapshot(), before);
    binding->putImage(122.5, 22.5, patch);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CanvasTest, TimesIsLiberationSerifOpaqueTextFillsItsCellsAndTitleTextOnlyItsGlyphs)
{
    Fonts::registerSubstitutions();
    EXPECT_EQ(QFontInfo(Fonts::font(QStringLiteral("times"), 12)).family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(QFontInfo(Fonts::font(QStringLiteral("Times"), 30)).family(), QStringLiteral("Liberation Serif"));

    binding->setFontName("times");
    binding->setForeground(kRed);
    binding->fillRectangle(0, 0, 400, 120);
    binding->setForeground(kBlue);
    binding->setBackground(kGreen);
    binding->setFontSize(30);
    binding->setTitleAttribute(true);
    binding->drawText(20, 20, "Mikroteilchen");
    EXPECT_EQ(count(QRect(20, 20, 300, 50), kGreen), 0);
    EXPECT_GT(count(QRect(20, 20, 300, 50), kBlue), 300);
    EXPECT_EQ(at(21, 21), kRed);   // above the capitals, inside the first cell

    // 30 points are 40 px at 96 DPI; Liberation Serif's ascent and descent are
    // (1825 + 443) / 2048 em, 44.3 px together.
    binding->setTitleAttribute(false);
    binding->drawText(100, 200, "MMMM");
    const auto [top, bottom] = extent(*binding, kGreen, 101, 0, true);
    EXPECT_EQ(top, 200);
    EXPECT_NEAR(bottom - top + 1, 44.3, 1.2);
    const auto [left, right] = extent(*binding, kGreen, 0, 201, false);
    EXPECT_EQ(left, 100);
    // Four capital Ms of a Times face are about 4 x 0.89 em.
    EXPECT_GE(right - left + 1, 135);
    EXPECT_LE(right - left + 1, 150);
    EXPECT_GT(count(QRect(100, 200, 150, 50), kBlue), 200);   // the glyphs themselves

    binding->setFontSize(15);   // half the size, half the cell
    binding->drawText(400, 300, "M");
    const auto [smallTop, smallBottom] = extent(*binding, kGreen, 401, 0, true);
    EXPECT_EQ(smallTop, 300);
    EXPECT_NEAR(smallBottom - smallTop + 1, (bottom - top + 1) / 2.0, 1.5);

    // Text redrawn in the colour of its ground vanishes without a trace.
    binding->setWindowBackground(kSky);
    binding->clearWindow();
    binding->setBackground(kSky);
    binding->setForeground(kWhite);
    binding->setFontSize(20);
    const QImage blank = snapshot();
    binding->drawText(50, 50, "47");
    EXPECT_NE(snapshot(), blank);
    binding->setForeground(kSky);
    binding->drawText(50, 50, "47");
    EXPECT_EQ(snapshot(), blank);
}

TEST_F(CanvasTest, TextCursorStepsByWholeCellsFromColumnAndRowOne)
{
    binding->setFontName("times");
    binding->setBackground(kGreen);
    binding->setFontSize(16);
    binding->setTextCursor(1, 1);
    binding->printLine("x");
    const auto [firstTop, firstBottom] = extent(*binding, kGreen, 0, 0, true);
    const int cellHeight = firstBottom - firstTop + 1;
    EXPECT_EQ(firstTop, 0);
    // 16 points are 21.33 px, set at a whole 21 px: ascent and descent of
    // (1825 + 443) / 2048 em give 23.3 px.
    EXPECT_NEAR(cellHeight, 2268.0 / 2048 * 21, 1.0);
    // printLine moved on to column 1 of row 2: its cell starts right below the first.
    binding->printLine("x");
    EXPECT_EQ(extent(*binding, kGreen, 0, 0, true), std::make_pair(0, 2 * cellHeight - 1));

    // Column 11, row 5: ten average character widths across, four rows down.
    binding->clearWindow();
    binding->setTextCursor(1, 5);
    binding->printLine("n");
    binding->setTextCursor(11, 5);
    binding->printLine("n");
    EXPECT_EQ(extent(*binding, kGreen, 1, 0, true).first, 4 * cellHeight);
    const int rowY = 4 * cellHeight + 1;
    std::vector<int> starts;
    for (int x = 0; x < binding->drawingWidth(); ++x)
        if (at(x, rowY) == kGreen && (x == 0 || at(x - 1, rowY) != kGreen))
            starts.push_back(x);
    // Liberation Serif's advance widths of a..z and the space, weighted by English letter
    // frequency, average 821.8/2048 em (read from its hmtx table): 8.43 px at 21 px, an
    // 8-pixel cell. Column 11 starts ten whole cells across.
    EXPECT_EQ(starts, (std::vector<int>{0, 10 * 8}));
}
