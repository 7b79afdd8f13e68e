// Text on the Qt canvas: the font named "times" is Liberation Serif at 96 logical DPI,
// opaque text fills its character cells with the background colour, transparent (title)
// text paints glyphs only, and the text cursor steps by whole cells of the current font.

#include "QtTestSupport.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/PixelCanvas.h"

#include <QFontInfo>

#include <gtest/gtest.h>

using namespace qttest;

namespace {

class TextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        binding = makePlatform();
        binding->setWindowBackground(kWhite);
        binding->clearWindow();
        binding->setFontName("times");
    }

    Colour at(int x, int y) const { return binding->canvas().colourAt(x, y); }

    // Rows (from top) in column x that hold the colour, as [first, last]; {-1,-1} if none.
    std::pair<int, int> rowsOf(Colour colour, int x) const
    {
        int first = -1;
        int last = -1;
        for (int y = 0; y < binding->drawingHeight(); ++y) {
            if (at(x, y) == colour) {
                if (first < 0)
                    first = y;
                last = y;
            }
        }
        return {first, last};
    }

    std::pair<int, int> columnsOf(Colour colour, int y) const
    {
        int first = -1;
        int last = -1;
        for (int x = 0; x < binding->drawingWidth(); ++x) {
            if (at(x, y) == colour) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        return {first, last};
    }

    int countOf(Colour colour, QRect area) const
    {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += at(x, y) == colour ? 1 : 0;
        return count;
    }

    std::unique_ptr<QtPlatform> binding;
};

} // namespace

TEST_F(TextTest, TimesResolvesToLiberationSerif)
{
    Fonts::registerSubstitutions();
    EXPECT_EQ(QFontInfo(Fonts::font(QStringLiteral("times"), 12)).family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(QFontInfo(Fonts::font(QStringLiteral("Times"), 30)).family(), QStringLiteral("Liberation Serif"));
}

TEST_F(TextTest, OpaqueTextFillsItsCellsOfOneCharacterHeightAt96Dpi)
{
    binding->setForeground(kBlue);
    binding->setBackground(kGreen);
    binding->setTitleAttribute(false);
    // 40 px at 96 DPI; Liberation Serif's ascent and descent are (1825 + 443) / 2048 em,
    // 44.3 px together.
    binding->setFontSize(30);
    binding->drawText(100, 200, "MMMM");

    const auto [top, bottom] = rowsOf(kGreen, 101);
    EXPECT_EQ(top, 200);
    EXPECT_NEAR(bottom - top + 1, 44.3, 1.2);
    const auto [left, right] = columnsOf(kGreen, 201);
    EXPECT_EQ(left, 100);
    // Four capital Ms of a Times face are about 4 x 0.89 em.
    EXPECT_GE(right - left + 1, 135);
    EXPECT_LE(right - left + 1, 150);
    EXPECT_GT(countOf(kBlue, QRect(100, 200, 150, 50)), 200);   // the glyphs themselves

    binding->setFontSize(15);   // half the size, half the cell
    binding->drawText(400, 300, "M");
    const auto [smallTop, smallBottom] = rowsOf(kGreen, 401);
    EXPECT_EQ(smallTop, 300);
    EXPECT_NEAR(smallBottom - smallTop + 1, (bottom - top + 1) / 2.0, 1.5);
}

TEST_F(TextTest, TitleTextPaintsGlyphsOnlyAndKeepsWhatIsBehind)
{
    binding->setForeground(kRed);
    binding->fillRectangle(0, 0, 400, 120);
    binding->setForeground(kBlue);
    binding->setBackground(kGreen);
    binding->setFontSize(30);
    binding->setTitleAttribute(true);
    binding->drawText(20, 20, "Mikroteilchen");

    const QRect area(20, 20, 300, 50);
    EXPECT_EQ(countOf(kGreen, area), 0);
    EXPECT_GT(countOf(kBlue, area), 300);
    EXPECT_EQ(at(21, 21), kRed);   // above the capitals, inside the first cell

    binding->setTitleAttribute(false);
    binding->drawText(20, 70, "Mikroteilchen");
    EXPECT_GT(countOf(kGreen, QRect(20, 70, 300, 45)), 2000);
}

TEST_F(TextTest, RedrawingOpaqueTextWithForegroundAsBackgroundErasesIt)
{
    binding->setBackground(kSky);
    binding->setForeground(kWhite);
    binding->setFontSize(20);
    binding->setWindowBackground(kSky);
    binding->clearWindow();
    const QImage blank = binding->canvas().image().copy();

    binding->drawText(50, 50, "47");
    EXPECT_NE(binding->canvas().image(), blank);
    binding->setForeground(kSky);
    binding->drawText(50, 50, "47");
    EXPECT_EQ(binding->canvas().image(), blank);
}

TEST_F(TextTest, TextCursorStepsByWholeCellsFromColumnAndRowOne)
{
    binding->setWindowBackground(kWhite);
    binding->clearWindow();
    binding->setForeground(kBlack);
    binding->setBackground(kGreen);
    binding->setFontSize(16);

    binding->setTextCursor(1, 1);
    binding->printLine("x");
    const auto [firstTop, firstBottom] = rowsOf(kGreen, 0);
    const int cellHeight = firstBottom - firstTop + 1;
    EXPECT_EQ(firstTop, 0);
    // 16 points are 21.33 px; fonts are set at whole pixels, 21 px, so the ascent and
    // descent of (1825 + 443) / 2048 em give 23.3 px.
    EXPECT_NEAR(cellHeight, 2268.0 / 2048 * 21, 1.0);

    // printLine moved on to column 1 of row 2: its cell starts right below the first.
    binding->printLine("x");
    const auto [bothTop, bothBottom] = rowsOf(kGreen, 0);
    EXPECT_EQ(bothTop, 0);
    EXPECT_EQ(bothBottom + 1, 2 * cellHeight);

    // Column 11, row 5: ten average character widths across, four rows down.
    binding->setWindowBackground(kWhite);
    binding->clearWindow();
    binding->setTextCursor(1, 5);
    binding->printLine("n");
    binding->setTextCursor(11, 5);
    binding->printLine("n");
    const int rowY = 4 * cellHeight + 1;
    EXPECT_EQ(rowsOf(kGreen, 1).first, 4 * cellHeight);
    int starts[2] = {-1, -1};
    int found = 0;
    for (int x = 0; x < binding->drawingWidth() && found < 2; ++x) {
        if (at(x, rowY) == kGreen && (x == 0 || at(x - 1, rowY) != kGreen))
            starts[found++] = x;
    }
    ASSERT_EQ(found, 2);
    EXPECT_EQ(starts[0], 0);
    // Liberation Serif's advance widths of a..z and the space, weighted by English letter
    // frequency, average 821.8/2048 em (read from its hmtx table): 8.43 px at 21 px, an
    // 8-pixel cell. Column 11 starts ten whole cells across.
    EXPECT_EQ(starts[1], 10 * 8);
}
