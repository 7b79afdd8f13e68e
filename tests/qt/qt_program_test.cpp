// The program's own drawing procedures through the real Qt binding, offscreen: the start
// picture and its frame, the dot images, a ten-interval series as the class sees it, and a
// flying dot that must leave the picture exactly as it found it.

#include "QtTestSupport.h"
#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "measurement/DotSprites.h"
#include "measurement/ExperimentScreen.h"
#include "measurement/MeasurementRun.h"
#include "screens/StartPicture.h"
#include "shell/MainProgram.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <cmath>

using namespace qttest;

namespace {

constexpr Colour kLightBlue = makeColour(153, 204, 255);

// Nearest integer with halves to even, as the program makes logical coordinates.
int16_t nearest(double v) { return static_cast<int16_t>(std::nearbyint(v)); }

// The flight path of the first demonstration pass in window pixels, as the run takes it.
struct Flight {
    int x0, yF, r;
    float d;
    double x(int j) const { return x0 + j * static_cast<double>(d); }
};

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

    // Resizes the window until the drawing area has this size; the offscreen screen is
    // smaller than some sizes wanted, so the window may be larger.
    void useArea(int width, int height)
    {
        MainWindow& window = binding->mainWindow();
        for (int attempt = 0; attempt < 5; ++attempt) {
            binding->processEvents();
            if (binding->drawingWidth() == width && binding->drawingHeight() == height)
                break;
            window.resize(window.width() + width - binding->drawingWidth(),
                          window.height() + height - binding->drawingHeight());
        }
        ASSERT_EQ(QSize(binding->drawingWidth(), binding->drawingHeight()), QSize(width, height));
        InitCanvas();
        binding->clearWindow();
    }

    Colour logical(int16_t x, int16_t y) const { return at(ScaleX(x), ScaleY(y)); }
    int ratio() const { return qRound(binding->canvas().devicePixelRatio()); }

    // The black outline sampled along its four edges, with nothing drawn just outside it.
    // Returns the colours seen just inside.
    QSet<Colour> expectPictureFrame()
    {
        const int left = ScaleX(4), right = ScaleX(316), top = ScaleY(4), bottom = ScaleY(192) + ScaleY(4);
        QSet<Colour> inside;
        for (int i = 1; i < 16; ++i) {
            const int x = left + (right - left) * i / 16, y = top + (bottom - top) * i / 16;
            for (const QPoint p : {QPoint(x, top), QPoint(x, bottom), QPoint(left, y), QPoint(right, y)})
                EXPECT_EQ(at(p.x(), p.y()), kBlack) << "frame at " << p.x() << "," << p.y();
            for (const QPoint p : {QPoint(x, top - 1), QPoint(x, bottom + 1), QPoint(left - 1, y), QPoint(right + 1, y)})
                EXPECT_EQ(at(p.x(), p.y()), kSky) << "outside at " << p.x() << "," << p.y();
            for (const Colour c : {at(x, top + 1), at(x, bottom - 1), at(left + 1, y), at(right - 1, y), at(x, y)})
                inside.insert(c);
        }
        return inside;
    }

    Flight flightPath() const
    {
        const int x0 = ScaleX(80);
        return Flight{x0, ScaleY(135), ScaleX(3), static_cast<float>(ScaleX(164) - x0) / 10.0f};
    }

    // The band the whole flight path crosses, in device pixels.
    QRect flightBand() const
    {
        const Flight path = flightPath();
        const QRect band(QPoint(path.x0, path.yF - 2 * path.r), QPoint(qCeil(path.x(21)) + 2 * path.r, path.yF + 2 * path.r));
        return QRect(band.topLeft() * ratio(), band.size() * ratio());
    }
};

} // namespace

// At every size: the start picture fills its black frame, the dot images are made without a
// visible trace, and a patch captured at fractional corners or along the red dot's 20-step
// flight is restored exactly by its put after the dot was put there.
TEST_F(ProgramDrawingTest, StartPictureDotImagesAndCapturesAtEverySize)
{
    for (const auto& [width, height] : {std::pair{800, 600}, std::pair{896, 672}, std::pair{1000, 700}}) {
        SCOPED_TRACE(width);
        useArea(width, height);
        BoxAnswerer user;
        DrawStartPicture();
        EXPECT_TRUE(user.seen.empty()) << "the picture beside the program loads";
        const QSet<Colour> inside = expectPictureFrame();
        EXPECT_FALSE(inside.contains(kSky));   // the picture reaches the frame on every side
        EXPECT_GE(inside.size(), 10);          // and is no flat colour
        ASSERT_LT(count(QRect(20, 20, 21, 21), at(30, 30)), 21 * 21) << "the dots need a background with detail";

        const QImage before = snapshot();
        PrepareDotSprites();
        EXPECT_EQ(snapshot(), before);
        if (width == 800) {
            EXPECT_EQ(state.blueDotRadius, 10.0f);
            EXPECT_EQ(state.redDotRadius, 7.0);
            const struct { const ImageString& image; int side; Colour centre; } dots[] = {
                {state.blueDotImage, 21, kBlue}, {state.redDotImage, 15, kRed}};
            for (const auto& dot : dots) {
                ASSERT_EQ(dot.image.width, dot.side * ratio());
                ASSERT_EQ(dot.image.height, dot.side * ratio());
                const size_t middle = static_cast<size_t>(dot.image.width / 2);
                EXPECT_EQ(dot.image.pixels[middle * static_cast<size_t>(dot.image.width) + middle], dot.centre);
                // Outside the round dot the corner shows the picture that was there.
                EXPECT_EQ(dot.image.pixels.front(), at(30 - dot.side / 2, 30 - dot.side / 2)) << dot.side;
            }
        }

        const Flight path = flightPath();
        const double r = path.r;
        const int side = (2 * path.r + 1) * ratio();
        ASSERT_EQ(state.redDotImage.width, side);
        std::vector<std::pair<double, double>> centres;
        for (const double fraction : {0.0, 0.25, 0.4999, 0.5, 0.5001, 0.75})
            centres.emplace_back(150 + fraction, path.yF - fraction);
        for (int j = 1; j <= 20; ++j)
            centres.emplace_back(path.x(j), path.yF);
        for (const auto& [x, y] : centres) {
            SCOPED_TRACE(::testing::Message() << x << "," << y);
            const ImageString box = binding->capture(x - r, y - r, x + r, y + r);
            EXPECT_EQ(box.width, side);
            EXPECT_EQ(box.height, side);
            binding->putImage(x - r, y - r, state.redDotImage);
            EXPECT_EQ(at(static_cast<int>(std::floor(x + 0.5)), static_cast<int>(std::floor(y + 0.5))), kRed);
            binding->putImage(x - r, y - r, box);
            EXPECT_EQ(snapshot(), before);
        }
    }
}

TEST_F(ProgramDrawingTest, UnreadablePictureIsToldInGermanAndTheFrameIsStillDrawn)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    writeFile(folder.filePath(QStringLiteral("bild3c2.gif")), "GIF89a\x40\x01\xc8");   // a header, then it breaks off
    const std::string programFolder = QDir::currentPath().toStdString();
    binding->setCurrentFolder(folder.path().toStdString());
    useArea(800, 600);
    BoxAnswerer user;
    DrawStartPicture();
    binding->setCurrentFolder(programFolder);

    ASSERT_EQ(user.seen.size(), 1u);
    const QString text = user.seen[0].text;
    EXPECT_TRUE(text.contains(QStringLiteral("bild3c2.gif"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("besch\u00e4digt"))) << text.toStdString();
    EXPECT_EQ(state.backgroundPicture, 0);
    EXPECT_EQ(expectPictureFrame(), QSet<Colour>{kSky});
}

TEST_F(ProgramDrawingTest, TenIntervalSeriesLeavesFrameGraphAndTextsWhereTheClassLooks)
{
    useArea(800, 600);
    state.experimentMode = 3;   // a series after the demonstration
    state.stepsPerInterval = 100;
    state.intervalsPerRun = state.intervalsTotal = 10;
    state.rateParameter = 1.0;
    state.scaleDivisor = state.demoDone = state.seriesAnnounced = state.runPassLimit = 1;
    state.delayFactor = 1;
    BoxAnswerer user;
    ExperimentScreen();
    EXPECT_TRUE(user.seen.empty());

    // Mean, Poisson parameter and marker place, computed here from the counts alone.
    double intervals = 0, sum = 0;
    for (int k = 0; k <= 100; ++k) {
        intervals += state.histogram[static_cast<size_t>(k)];
        sum += k * state.histogram[static_cast<size_t>(k)];
    }
    ASSERT_EQ(intervals, 10);
    const double m = std::nearbyint(sum / intervals);
    const int16_t meanX = nearest(6 * sum / intervals + 100);
    // A probe on the red mean marker (rows 20 to 100) sees red, whatever lies under it.
    const auto expectAt = [&](int16_t x, int16_t y, Colour colour, const char* what) {
        const bool onMarker = x == meanX && y >= 20 && y <= 100;
        EXPECT_EQ(logical(x, y), onMarker ? kRed : colour) << what << " at " << x << "," << y;
    };
    for (const QPoint p : {QPoint(97, 17), QPoint(97, 60), QPoint(97, 103), QPoint(160, 17), QPoint(223, 60)})
        expectAt(static_cast<int16_t>(p.x()), static_cast<int16_t>(p.y()), kLightBlue, "margin");
    for (const int16_t x : {103, 139, 199})
        expectAt(x, 30, kSky, "panel");
    for (const int16_t y : {25, 40, 55}) {
        expectAt(100, y, kBlack, "left border");
        expectAt(220, y, kBlack, "right border");
        expectAt(160, y, kBlack, "centre line");
        for (int i = 1; i <= 9; ++i)
            if (i != 5)
                expectAt(static_cast<int16_t>(100 + 12 * i), y, kWhite, "grid line");
    }
    for (const int16_t x : {103, 133, 163, 193, 217}) {
        expectAt(x, 20, kBlack, "top border");
        // The outer row of the bottom border: the white curve may run along its middle row.
        EXPECT_EQ(at(ScaleX(x), ScaleY(100) + 1), kBlack) << "bottom border at " << x;
    }
    // Measured points, red, radius 4: at the centre, unless the white expected point (radius 2)
    // of the same count lies on it; then 3 pixels away on the far side.
    for (int k = 1; k <= 20; ++k) {
        const int32_t measured = state.histogram[static_cast<size_t>(k)];
        const double expected = m == 0 ? 0 : 10 * std::exp(k * std::log(m) - m - std::lgamma(k + 1.0));
        const int y = ScaleY(nearest(100 - 4.0 * measured)), whiteY = ScaleY(nearest(100 - 4 * expected));
        const int probe = std::abs(whiteY - y) > 2 ? y : (whiteY <= y ? y + 3 : y - 3);
        EXPECT_EQ(at(ScaleX(static_cast<int16_t>(6 * k + 100)), probe), kRed) << "count " << k << " measured " << measured;
    }

    // "Zeit": black glyphs on their light-blue cell.
    const QRect zeit(ScaleX(30), ScaleY(95), ScaleX(15), ScaleY(10));
    EXPECT_EQ(at(zeit.left(), zeit.top()), kLightBlue);
    EXPECT_GT(count(zeit, kBlack), 30);
    EXPECT_GT(count(zeit, kLightBlue), 100);
    // "Mittelwert:" in white on red at column 4, row 3 of the 30-point grid.
    binding->setFontSize(FontPoints(30));
    const QSize cell = binding->canvas().textCell();
    const QRect mean(3 * cell.width(), 2 * cell.height(), 4 * cell.width(), cell.height() / 3);
    EXPECT_EQ(at(mean.left() + 1, mean.top() + 1), kRed);
    EXPECT_GT(count(mean, kRed), count(mean, kWhite));
    EXPECT_GT(count(mean, kWhite), 10);
}

// The first demonstration pass at the width of a 1024 x 768 screen: neither the red dot nor
// the patch that flies where no particle is emitted may leave marks. Each one-step pass
// starts from the background box the dot images left behind, as the first pass after
// start-up does; a step that emits (one in five) flies the red dot instead, so six passes fly
// that first box with near certainty. That box is the blue dot's, 2 * ScaleX(4) + 1 pixels
// square, larger than the red dot's box the flight restores: the run must cut it to size.
TEST_F(ProgramDrawingTest, FirstPassFlightLeavesThePathAsItWas)
{
    useArea(896, 672);
    DrawStartPicture();
    PrepareDotSprites();
    const ImageString boxAfterStartUp = state.backgroundBox;
    state.rateParameter = 4.0;   // what the demonstration sets for its first pass
    state.scaleDivisor = 2;
    state.intervalsTotal = state.seriesAnnounced = state.runPassLimit = state.intervalsPerRun = 1;
    state.stepsPerInterval = 1;
    state.blueDotRadius = static_cast<float>(ScaleX(3));
    state.redDotRadius = ScaleX(3);
    state.experimentMode = 2;
    state.delayFactor = 1.0;
    ExperimentScreen();
    for (int pass = 2; pass <= 6; ++pass) {
        state.backgroundBox = boxAfterStartUp;
        RunMeasurement();
    }
    const QImage seen = snapshot().copy(flightBand());
    DrawStartPicture();   // the same picture at the same place, with nothing flown over it
    EXPECT_TRUE(seen == snapshot().copy(flightBand())) << "marks left on the flight path";
}
