// The click: WAV files of any PCM kind become 44.1 kHz mono samples, the mixer sounds every
// requested click in full even when clicks overlap, and a missing file or a missing sound
// device is told exactly once and never holds the program up.

#include "QtTestSupport.h"

#include "platform/qt/ClickMixer.h"
#include "platform/qt/ClickSound.h"
#include "platform/qt/WavClip.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>

using namespace qttest;

namespace {

// A RIFF WAVE file around raw PCM frames.
QByteArray wavFile(int channels, int rate, int bits, const QByteArray& pcm)
{
    auto le32 = [](uint32_t value) {
        QByteArray bytes(4, '\0');
        qToLittleEndian(value, bytes.data());
        return bytes;
    };
    auto le16 = [](uint16_t value) {
        QByteArray bytes(2, '\0');
        qToLittleEndian(value, bytes.data());
        return bytes;
    };
    const int blockAlign = channels * bits / 8;
    QByteArray format = le16(1) + le16(static_cast<uint16_t>(channels)) + le32(static_cast<uint32_t>(rate))
        + le32(static_cast<uint32_t>(rate * blockAlign)) + le16(static_cast<uint16_t>(blockAlign))
        + le16(static_cast<uint16_t>(bits));
    QByteArray body = QByteArray("WAVE") + "fmt " + le32(16) + format + "data"
        + le32(static_cast<uint32_t>(pcm.size())) + pcm;
    return QByteArray("RIFF") + le32(static_cast<uint32_t>(body.size())) + body;
}

QByteArray pcm16(const std::vector<int16_t>& samples)
{
    QByteArray bytes(static_cast<qsizetype>(samples.size() * 2), '\0');
    for (size_t i = 0; i < samples.size(); ++i)
        qToLittleEndian(samples[i], bytes.data() + 2 * i);
    return bytes;
}

std::vector<int16_t> readMixer(ClickMixer& mixer, int frames)
{
    QByteArray bytes = mixer.read(frames * 2);
    std::vector<int16_t> samples(static_cast<size_t>(bytes.size() / 2));
    std::memcpy(samples.data(), bytes.constData(), static_cast<size_t>(bytes.size()));
    return samples;
}

ClickMixer::Clip clipOf(std::vector<int16_t> samples)
{
    return std::make_shared<const std::vector<int16_t>>(std::move(samples));
}

} // namespace

TEST(WavClip, SixteenBitMonoAtTheMixerRateComesThroughUnchanged)
{
    const std::vector<int16_t> samples = {0, 1000, -1000, 32767, -32768, 5};
    const WavClip::Result clip = WavClip::decode(wavFile(1, 44100, 16, pcm16(samples)), 44100);
    ASSERT_TRUE(clip.ok()) << clip.problem.toStdString();
    EXPECT_EQ(clip.samples, samples);
}

TEST(WavClip, EightBitStereoIsCentredAveragedAndResampled)
{
    // 8-bit PCM is unsigned around 128; 16-bit is 256 times finer.
    QByteArray pcm;
    for (int frame = 0; frame < 100; ++frame) {
        pcm.append(static_cast<char>(static_cast<unsigned char>(228)));   // left  +100
        pcm.append(static_cast<char>(static_cast<unsigned char>(128)));   // right    0
    }
    const WavClip::Result clip = WavClip::decode(wavFile(2, 22050, 8, pcm), 44100);
    ASSERT_TRUE(clip.ok()) << clip.problem.toStdString();
    // Twice the rate: 99 intervals become 198, plus the first sample.
    EXPECT_EQ(clip.samples.size(), 199u);
    for (int16_t sample : clip.samples)
        ASSERT_EQ(sample, 100 * 256 / 2);
}

TEST(WavClip, ResamplingInterpolatesBetweenNeighbours)
{
    const WavClip::Result clip = WavClip::decode(wavFile(1, 22050, 16, pcm16({0, 1000, 0})), 44100);
    ASSERT_TRUE(clip.ok());
    EXPECT_EQ(clip.samples, (std::vector<int16_t>{0, 500, 1000, 500, 0}));
}

TEST(WavClip, WhatIsNoUsableWavSaysSo)
{
    EXPECT_FALSE(WavClip::decode(QByteArray("RIFF\x04\0\0\0WAVE", 12), 44100).ok());
    EXPECT_FALSE(WavClip::decode(QByteArray(100, 'x'), 44100).ok());
    EXPECT_FALSE(WavClip::decode(wavFile(1, 44100, 24, QByteArray(30, '\0')), 44100).ok());
    EXPECT_FALSE(WavClip::read(QStringLiteral("/nonexistent/knack2.wav"), 44100).ok());
}

TEST(ClickMixer, OverlappingClicksAddUpAndNoneIsCutShort)
{
    ClickMixer mixer;
    EXPECT_TRUE(mixer.isQuiet());
    EXPECT_EQ(readMixer(mixer, 4), (std::vector<int16_t>{0, 0, 0, 0}));

    mixer.addClick(clipOf({100, 200, 300, 400, 500, 600}), 0);
    EXPECT_FALSE(mixer.isQuiet());
    EXPECT_EQ(readMixer(mixer, 4), (std::vector<int16_t>{100, 200, 300, 400}));
    // A second click while the first still sounds: both are heard, summed.
    mixer.addClick(clipOf({10, 20, 30}), 0);
    EXPECT_EQ(readMixer(mixer, 4), (std::vector<int16_t>{510, 620, 30, 0}));
    EXPECT_TRUE(mixer.isQuiet());

    // The same click requested twice at once sounds twice as loud, saturating.
    mixer.addClick(clipOf({30000, -30000}), 0);
    mixer.addClick(clipOf({30000, -30000}), 0);
    EXPECT_EQ(readMixer(mixer, 3), (std::vector<int16_t>{32767, -32768, 0}));
}

TEST(ClickMixer, ClicksAskedForBetweenTwoPullsKeepTheirDistance)
{
    ClickMixer mixer;
    mixer.addClick(clipOf({7, 8}), 1);
    mixer.addClick(clipOf({1, 2, 3}), 3);
    mixer.addClick(clipOf({5}), 6);   // beyond this chunk: in the next one, at its place
    EXPECT_EQ(readMixer(mixer, 5), (std::vector<int16_t>{0, 7, 8, 1, 2}));
    EXPECT_FALSE(mixer.isQuiet());
    EXPECT_EQ(readMixer(mixer, 4), (std::vector<int16_t>{3, 5, 0, 0}));
    EXPECT_TRUE(mixer.isQuiet());
}

TEST(ClickSound, MissingFileIsToldOnceAndStaysSilent)
{
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    QStringList lines;
    int deviceLookups = 0;
    ClickSound sound([&lines](const QString& line) { lines.append(line); },
                     [&deviceLookups] { ++deviceLookups; return QAudioDevice(); });
    for (int click = 0; click < 5; ++click)
        sound.play(QStringLiteral("knack2.wav"));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("knack2.wav")));
    EXPECT_EQ(deviceLookups, 0);
    EXPECT_FALSE(sound.isStreaming());
}

TEST(ClickSound, NoSoundDeviceIsToldOnceOnStderrAndPlayReturns)
{
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    QFile file(QStringLiteral("knack2.wav"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(wavFile(1, 44100, 16, pcm16({0, 20000, -20000, 10000, 0})));
    file.close();

    ::testing::internal::CaptureStderr();
    {
        ClickSound sound({}, [] { return QAudioDevice(); });
        for (int click = 0; click < 10; ++click)
            sound.play(QStringLiteral("knack2.wav"));
        EXPECT_FALSE(sound.isStreaming());
    }
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_NE(printed.find("mikroteilchen: "), std::string::npos) << printed;
    EXPECT_NE(printed.find("Tonausgabeger\u00e4t"), std::string::npos) << printed;
}

TEST(ClickSound, TheBindingPlaysWithoutHoldingTheProgramUp)
{
    // Whatever this machine has (a device or none), playing returns and the program goes on.
    QTemporaryDir folder;
    auto binding = makePlatform();
    binding->setCurrentFolder(folder.path().toStdString());
    binding->playSound("knack2.wav", 0);
    binding->playSound("knack2.wav", 0);
    binding->processEvents();
    SUCCEED();
}
