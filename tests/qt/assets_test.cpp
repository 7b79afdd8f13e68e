// The four sibling files as the Qt binding reads them: the pictures decode in the format
// their names promise and leave light, calm ground where the program writes over them; the
// click is a short 16-bit mono PCM sound whose loudest moment is its start.
#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QString>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The build copies the files beside the program, where the tests run; run by hand from
// anywhere in the source tree they are found in assets/ further up.
std::string assetPath(const std::string& name)
{
    for (auto dir = std::filesystem::current_path(); ; dir = dir.parent_path()) {
        if (std::filesystem::exists(dir / name))
            return (dir / name).string();
        if (std::filesystem::exists(dir / "assets" / name))
            return (dir / "assets" / name).string();
        if (dir == dir.root_path())
            return name;
    }
}

QImage readPicture(const std::string& name, const char* expectedFormat)
{
    QImageReader reader(QString::fromStdString(assetPath(name)));
    EXPECT_EQ(reader.format().toStdString(), expectedFormat) << name;
    QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << name << ": " << reader.errorString().toStdString();
    return image;
}

struct Patch {
    double mean = 0;
    double spread = 0;
};

// Lightness of the picture area that the logical rectangle covers, given where the picture
// is stretched to on the 320 x 200 canvas.
Patch lightness(const QImage& image, double pictureX, double pictureY, double pictureW,
                double pictureH, double x1, double y1, double x2, double y2)
{
    const int px1 = int((x1 - pictureX) * image.width() / pictureW);
    const int px2 = int((x2 - pictureX) * image.width() / pictureW);
    const int py1 = int((y1 - pictureY) * image.height() / pictureH);
    const int py2 = int((y2 - pictureY) * image.height() / pictureH);
    double sum = 0, sumSquares = 0;
    int count = 0;
    for (int y = py1; y < py2; ++y)
        for (int x = px1; x < px2; ++x) {
            const double v = QColor(image.pixel(x, y)).lightness();
            sum += v;
            sumSquares += v * v;
            ++count;
        }
    Patch p;
    p.mean = sum / count;
    p.spread = std::sqrt(std::max(0.0, sumSquares / count - p.mean * p.mean));
    return p;
}

// The stretch target is 312 x 192 logical units of 2.5 x 3 pixels on an 800 x 600 window,
// the title pictures 154 x 184; a picture of another shape would be visibly distorted.
void expectShape(const QImage& image, double logicalW, double logicalH)
{
    const double target = logicalW * 2.5 / (logicalH * 3.0);
    EXPECT_NEAR(double(image.width()) / image.height(), target, 0.03 * target);
    EXPECT_GE(image.width(), int(logicalW * 2.5));
    EXPECT_LE(image.width(), 2000);
}

TEST(Assets, ExperimentBackgroundIsAPaletteGifWithRoomForTheGraphAndTheMean)
{
    const QImage image = readPicture("bild3c2.gif", "gif");
    ASSERT_FALSE(image.isNull());
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    EXPECT_LE(colours.size(), 256);
    expectShape(image, 312, 192);
    // Behind the graph, and in the upper left where mean and number of trials are printed.
    for (const auto& [x1, y1, x2, y2] : {std::array{95.0, 15.0, 225.0, 110.0},
                                         std::array{12.0, 15.0, 92.0, 60.0}}) {
        const Patch p = lightness(image, 4, 4, 312, 192, x1, y1, x2, y2);
        EXPECT_GT(p.mean, 200) << x1 << "," << y1;
        EXPECT_LT(p.spread, 10) << x1 << "," << y1;
    }
}

TEST(Assets, TitlePicturesAreJpegsWithLightGroundBehindTheBlueText)
{
    const QImage left = readPicture("kestrino.jpg", "jpeg");
    const QImage right = readPicture("quorvel2.jpg", "jpeg");
    ASSERT_FALSE(left.isNull());
    ASSERT_FALSE(right.isNull());
    expectShape(left, 154, 184);
    expectShape(right, 154, 184);
    // The three 30-point title lines on the left picture, the author block on the right.
    for (const auto& [x1, y1, x2, y2] : {std::array{42.0, 40.0, 120.0, 53.0},
                                         std::array{21.0, 90.0, 140.0, 103.0},
                                         std::array{39.0, 140.0, 129.0, 153.0}}) {
        const Patch p = lightness(left, 4, 4, 154, 184, x1, y1, x2, y2);
        EXPECT_GT(p.mean, 225) << "left " << y1;
        EXPECT_LT(p.spread, 8) << "left " << y1;
    }
    const Patch block = lightness(right, 164, 4, 154, 184, 175, 40, 316, 140);
    EXPECT_GT(block.mean, 225);
    EXPECT_LT(block.spread, 8);
}

uint32_t le(const std::vector<unsigned char>& b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b.at(at + i);
    return v;
}

TEST(Assets, ClickIsAShortMonoPcmBurstLoudestAtItsStart)
{
    std::ifstream file(assetPath("knack2.wav"), std::ios::binary);
    const std::vector<unsigned char> b{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GE(b.size(), 44u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "WAVE");
    EXPECT_EQ(le(b, 4, 4), b.size() - 8);

    size_t at = 12, dataAt = 0, dataSize = 0;
    bool haveFormat = false;
    while (at + 8 <= b.size()) {
        const std::string id(b.begin() + at, b.begin() + at + 4);
        const size_t size = le(b, at + 4, 4);
        if (id == "fmt ") {
            haveFormat = true;
            EXPECT_EQ(le(b, at + 8, 2), 1u);       // PCM
            EXPECT_EQ(le(b, at + 10, 2), 1u);      // mono
            EXPECT_EQ(le(b, at + 12, 4), 44100u);
            EXPECT_EQ(le(b, at + 22, 2), 16u);
        } else if (id == "data") {
            dataAt = at + 8;
            dataSize = size;
        }
        at += 8 + size + (size & 1);
    }
    ASSERT_TRUE(haveFormat);
    ASSERT_GT(dataSize, 0u);
    ASSERT_LE(dataAt + dataSize, b.size());

    std::vector<int> samples;
    for (size_t i = 0; i + 1 < dataSize; i += 2)
        samples.push_back(int16_t(le(b, dataAt + i, 2)));
    EXPECT_LT(samples.size(), 44100u * 20 / 1000);  // shorter than 20 ms
    size_t loudest = 0;
    for (size_t i = 0; i < samples.size(); ++i)
        if (std::abs(samples[i]) > std::abs(samples[loudest]))
            loudest = i;
    EXPECT_LT(loudest, 44100u * 2 / 1000);          // peak within the first 2 ms
    const double peakDb = 20 * std::log10(std::abs(samples[loudest]) / 32768.0);
    EXPECT_GT(peakDb, -6.0);
    EXPECT_LT(peakDb, -1.0);
    EXPECT_EQ(samples.front(), 0);
    EXPECT_EQ(samples.back(), 0);
}

} // namespace
