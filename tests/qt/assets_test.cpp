// The four sibling files as the Qt binding reads them: the pictures decode in the format their
// names promise and leave light, calm ground where the program writes over them; the click is
// a short 16-bit mono PCM sound whose loudest moment is its start.

#include "platform/qt/WavClip.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QtEndian>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>

namespace {

// The build copies the files beside the program, where the tests run; run by hand from
// anywhere in the source tree they are found in assets/ further up.
std::string assetPath(const std::string& name)
{
    for (auto dir = std::filesystem::current_path();; dir = dir.parent_path()) {
        for (const auto& candidate : {dir / name, dir / "assets" / name})
            if (std::filesystem::exists(candidate))
                return candidate.string();
        if (dir == dir.root_path())
            return name;
    }
}

TEST(Assets, PicturesHaveTheirFormatShapeAndCalmLightGroundWhereTextGoes)
{
    // Where each picture is stretched to on the 320 x 200 logical canvas, and the logical
    // rectangles the program writes into: behind the graph and the mean on the experiment
    // background, the three title lines on the left picture, the author block on the right.
    struct Row {
        const char* name; const char* format; double x, y, w, h;
        std::vector<std::array<double, 4>> calm; double minMean, maxSpread;
    };
    const Row rows[] = {
        {"bild3c2.gif", "gif", 4, 4, 312, 192, {{95, 15, 225, 110}, {12, 15, 92, 60}}, 200, 10},
        {"kestrino.jpg", "jpeg", 4, 4, 154, 184, {{42, 40, 120, 53}, {21, 90, 140, 103}, {39, 140, 129, 153}}, 225, 8},
        {"quorvel2.jpg", "jpeg", 164, 4, 154, 184, {{175, 40, 316, 140}}, 225, 8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QImageReader reader(QString::fromStdString(assetPath(row.name)));
        EXPECT_EQ(reader.format().toStdString(), row.format);
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        // Logical units are 2.5 x 3 pixels on an 800 x 600 window; another shape would be
        // visibly distorted.
        const double target = row.w * 2.5 / (row.h * 3.0);
        EXPECT_NEAR(double(image.width()) / image.height(), target, 0.03 * target);
        EXPECT_GE(image.width(), int(row.w * 2.5));
        EXPECT_LE(image.width(), 2000);
        if (row.format == std::string("gif")) {
            QSet<QRgb> colours;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    colours.insert(image.pixel(x, y));
            EXPECT_LE(colours.size(), 256);
        }
        for (const auto& [x1, y1, x2, y2] : row.calm) {
            double sum = 0, sumSquares = 0;
            int n = 0;
            for (int y = int((y1 - row.y) * image.height() / row.h); y < int((y2 - row.y) * image.height() / row.h); ++y)
                for (int x = int((x1 - row.x) * image.width() / row.w); x < int((x2 - row.x) * image.width() / row.w); ++x) {
                    const double v = QColor(image.pixel(x, y)).lightness();
                    sum += v;
                    sumSquares += v * v;
                    ++n;
                }
            const double mean = sum / n;
            EXPECT_GT(mean, row.minMean) << x1 << "," << y1;
            EXPECT_LT(std::sqrt(std::max(0.0, sumSquares / n - mean * mean)), row.maxSpread) << x1 << "," << y1;
        }
    }
}

TEST(Assets, ClickIsAShortMonoPcmBurstLoudestAtItsStart)
{
    QFile file(QString::fromStdString(assetPath("knack2.wav")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 44);
    EXPECT_EQ(bytes.left(4), "RIFF");
    EXPECT_EQ(qFromLittleEndian<uint32_t>(bytes.constData() + 4), uint32_t(bytes.size() - 8));
    // WAVE, the format (PCM, mono, 44.1 kHz, 88200 bytes a second, 2-byte frames, 16 bit),
    // then the samples up to the file's end.
    EXPECT_EQ(bytes.mid(8, 32).toHex(), "57415645666d7420" "10000000" "0100" "0100" "44ac0000" "88580100" "0200" "1000"
                                        "64617461");
    EXPECT_EQ(qFromLittleEndian<uint32_t>(bytes.constData() + 40), uint32_t(bytes.size() - 44));
    const std::vector<int16_t> samples = WavClip::decode(bytes, 44100).samples;
    ASSERT_FALSE(samples.empty());
    EXPECT_LT(samples.size(), 44100u * 20 / 1000);   // shorter than 20 ms
    const size_t loudest = size_t(std::max_element(samples.begin(), samples.end(),
                                                   [](int a, int c) { return std::abs(a) < std::abs(c); }) - samples.begin());
    EXPECT_LT(loudest, 44100u * 2 / 1000);   // peak within the first 2 ms
    const double peakDb = 20 * std::log10(std::abs(samples[loudest]) / 32768.0);
    EXPECT_GT(peakDb, -6.0);
    EXPECT_LT(peakDb, -1.0);
    EXPECT_EQ(samples.front(), 0);
    EXPECT_EQ(samples.back(), 0);
}

} // namespace
