// Real pixels of the Qt canvas at logical coordinates: shapes land on exactly the pixels their
// integer coordinates name, a capture put back restores them, the window has its planned
// size and follows a resize, and text is set in cells of the "times" font at 96 DPI.

#include "QtTestSupport.h"

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
    EXPECT_EQ(binding->drawingWidth(), width);
    EXPECT_EQ(binding->drawingHeight(), height);
    MainWindow& window = binding->mainWindow();
    EXPECT_EQ(window.windowTitle().size(), 64);
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("Statistik von zuf\u00e4lligen Mikroteilchen  ")));
    // No empty frame is shown: the window appears with the first presentation.
    EXPECT_TRUE(binding->windowExists());
    EXPECT_FALSE(window.isVisible());
    binding->setForeground(kRed);
    binding->fillRectangle(0, 0, width / 2 - 1, height - 1);
    binding->setForeground(kBlue);
    binding->fillRectangle(width / 2, 0, width - 1, height - 1);
    binding->processEvents();
    ASSERT_TRUE(window.isVisible());

    window.resize(window.width() / 2, window.height() - height / 2);
    for (int i = 0; i < 5; ++i)
        binding->processEvents();
    const int newWidth = binding->drawingWidth(), newHeight = binding->drawingHeight();
    ASSERT_NEAR(newWidth, width / 2, 1);
    ASSERT_NEAR(newHeight, height / 2, 1);
    EXPECT_EQ(binding->canvas().image().size(), QSize(newWidth, newHeight));
    EXPECT_EQ(at(newWidth / 4, newHeight / 2), kRed);
    EXPECT_EQ(at(newWidth * 3 / 4, newHeight / 2), kBlue);
    binding->setForeground(kBlack);
    binding->drawRectangle(0, 0, newWidth - 1, newHeight - 1);
    EXPECT_EQ(at(newWidth - 1, newHeight / 2), kBlack);
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

    struct Region { int x1, y1, x2, y2; Colour colour; const char* what; };
    const Region regions[] = {
        {10, 20, 30, 20, kBlack, "outline top"}, {10, 40, 30, 40, kBlack, "outline bottom"},
        {10, 20, 10, 40, kBlack, "outline left"}, {30, 20, 30, 40, kBlack, "outline right"},
        {11, 21, 29, 39, kWhite, "outline inside"}, {9, 19, 31, 19, kWhite, "above outline"},
        {9, 41, 31, 41, kWhite, "below outline"}, {9, 19, 9, 41, kWhite, "left of outline"},
        {31, 19, 31, 41, kWhite, "right of outline"},
        {49, 49, 71, 51, kBlack, "wide top, centred"}, {49, 79, 71, 81, kBlack, "wide bottom"},
        {49, 49, 51, 81, kBlack, "wide left"}, {69, 49, 71, 81, kBlack, "wide right"},
        {52, 52, 68, 78, kWhite, "wide inside"}, {48, 48, 72, 48, kWhite, "above wide"},
        {48, 82, 72, 82, kWhite, "below wide"}, {48, 48, 48, 82, kWhite, "left of wide"},
        {72, 48, 72, 82, kWhite, "right of wide"},
        {100, 100, 102, 103, kBlack, "filled, both corners"}, {99, 99, 103, 99, kWhite, "above fill"},
        {99, 104, 103, 104, kWhite, "below fill"}, {99, 99, 99, 104, kWhite, "left of fill"},
        {103, 99, 103, 104, kWhite, "right of fill"},
        {5, 200, 15, 200, kBlack, "line, both ends"}, {4, 200, 4, 200, kWhite, "before line"},
        {16, 200, 16, 200, kWhite, "after line"}, {5, 199, 15, 199, kWhite, "above line"},
        {5, 201, 15, 201, kWhite, "below line"}, {300, 10, 300, 20, kBlack, "vertical line"},
        {300, 9, 300, 9, kWhite, "above vertical"}, {300, 21, 300, 21, kWhite, "below vertical"},
        {201, 10, 202, 13, kBlack, "fractional fill"}, {200, 10, 200, 13, kWhite, "x 200.5 is 201"},
        {203, 10, 203, 13, kWhite, "x 202.49 is 202"}, {201, 9, 202, 9, kWhite, "y 10.4 is 10"},
        {201, 14, 202, 14, kWhite, "y 12.5 is 13"},
        {90, 150, 110, 150, kBlue, "disc across"}, {100, 140, 100, 160, kBlue, "disc down"},
        {89, 150, 89, 150, kWhite, "left of disc"}, {111, 150, 111, 150, kWhite, "right of disc"},
        {100, 139, 100, 139, kWhite, "above disc"}, {100, 161, 100, 161, kWhite, "below disc"},
    };
    for (const Region& r : regions) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(count(QRect(QPoint(r.x1, r.y1), QPoint(r.x2, r.y2)), r.colour), (r.x2 - r.x1 + 1) * (r.y2 - r.y1 + 1));
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
    EXPECT_EQ(at(10, 20), kRed);
    EXPECT_EQ(at(30, 40), kRed);
    EXPECT_EQ(at(20, 30), kWhite);

    // The window background is given as blue-green-red and clears every pixel.
    binding->setWindowBackground(kSky);
    binding->clearWindow();
    const QRgb pixel = binding->canvas().image().pixel(5, 5);
    EXPECT_EQ(QColor(pixel), QColor(51, 168, 238));
    EXPECT_EQ(at(binding->drawingWidth() - 1, binding->drawingHeight() - 1), kSky);
}

TEST_F(CanvasTest, CaptureTakesBothCornersRowByRowAndItsPutRestoresEveryPixel)
{
    binding->setForeground(kRed);
    binding->fillRectangle(120, 20, 120, 20);
    binding->setForeground(kGreen);
    binding->fillRectangle(121, 20, 121, 20);
    binding->setForeground(kBlue);
    binding->fillRectangle(140, 40, 140, 40);
    const ImageString corners = binding->capture(120, 20, 140, 40);
    ASSERT_EQ(corners.width, 21);
    ASSERT_EQ(corners.height, 21);
    ASSERT_EQ(corners.pixels.size(), 21u * 21u);
    EXPECT_EQ(corners.pixels.front(), kRed);
    EXPECT_EQ(corners.pixels[1], kGreen);
    EXPECT_EQ(corners.pixels[21], kWhite);
    EXPECT_EQ(corners.pixels.back(), kBlue);

    // A background with detail: stripes of two colours on white.
    for (int x = 0; x < 80; x += 3) {
        binding->setForeground(x % 2 ? kRed : kGreen);
        binding->fillRectangle(x, 0, x + 1, 80);
    }
    const QImage before = snapshot();
    for (const double r : {10.0, 7.0, 7.5, 4.0}) {
        SCOPED_TRACE(r);
        const ImageString background = binding->capture(30 - r, 30 - r, 30 + r, 30 + r);
        binding->setForeground(kBlue);
        binding->drawCircle(30, 30, r);
        const ImageString dot = binding->capture(30 - r, 30 - r, 30 + r, 30 + r);
        binding->putImage(30 - r, 30 - r, background);
        EXPECT_EQ(snapshot(), before);
        // The dot image put elsewhere shows the dot with its captured surroundings.
        binding->putImage(200 - r, 30 - r, dot);
        EXPECT_EQ(at(200, 30), kBlue);
        EXPECT_EQ(at(200 - static_cast<int>(r), 30), kBlue);
        EXPECT_EQ(at(200 - static_cast<int>(r) - 1, 30), kWhite);
        binding->setForeground(kWhite);
        binding->fillRectangle(150, 0, 260, 80);
    }
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
