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

#include <cstring>

using namespace qttest;

namespace {

template <typename T>
QByteArray le(T value)
{
    QByteArray bytes(sizeof(T), '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// A RIFF WAVE file around raw PCM frames.
QByteArray wavFile(uint16_t channels, uint32_t rate, uint16_t bits, const QByteArray& pcm)
{
    const auto blockAlign = static_cast<uint16_t>(channels * bits / 8);
    const QByteArray body = QByteArray("WAVEfmt ") + le<uint32_t>(16) + le<uint16_t>(1) + le(channels) + le(rate)
        + le<uint32_t>(rate * blockAlign) + le(blockAlign) + le(bits) + "data" + le(uint32_t(pcm.size())) + pcm;
    return QByteArray("RIFF") + le(uint32_t(body.size())) + body;
}

QByteArray pcm16(const std::vector<int16_t>& samples)
{
    QByteArray bytes;
    for (int16_t sample : samples)
        bytes += le(sample);
    return bytes;
}

std::vector<int16_t> readMixer(ClickMixer& mixer, int frames)
{
    const QByteArray bytes = mixer.read(frames * 2);
    std::vector<int16_t> samples(static_cast<size_t>(bytes.size() / 2));
    std::memcpy(samples.data(), bytes.constData(), static_cast<size_t>(bytes.size()));
    return samples;
}

ClickMixer::Clip clipOf(std::vector<int16_t> samples)
{
    return std::make_shared<const std::vector<int16_t>>(std::move(samples));
}

} // namespace

TEST(WavClip, PcmOfEveryUsableKindBecomesMonoSamplesAtTheMixerRate)
{
    // 8-bit PCM is unsigned around 128 and 256 times coarser; stereo frames are averaged:
    // (+100 + 0) / 2 · 256. Twice the rate turns 99 intervals into 198, plus the first sample.
    QByteArray stereo8;
    for (int frame = 0; frame < 100; ++frame)
        stereo8 += QByteArray::fromHex("e480");
    struct Row { const char* what; QByteArray file; std::vector<int16_t> samples; };
    const Row rows[] = {
        {"16-bit mono at 44.1 kHz unchanged", wavFile(1, 44100, 16, pcm16({0, 1000, -1000, 32767, -32768, 5})),
         {0, 1000, -1000, 32767, -32768, 5}},
        {"22.05 kHz interpolated", wavFile(1, 22050, 16, pcm16({0, 1000, 0})), {0, 500, 1000, 500, 0}},
        {"8-bit stereo", wavFile(2, 22050, 8, stereo8), std::vector<int16_t>(199, 100 * 256 / 2)},
        {"header only", QByteArray("RIFF\x04\0\0\0WAVE", 12), {}},
        {"no RIFF", QByteArray(100, 'x'), {}},
        {"24 bit", wavFile(1, 44100, 24, QByteArray(30, '\0')), {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const WavClip::Result clip = WavClip::decode(row.file, 44100);
        EXPECT_EQ(clip.ok(), !row.samples.empty()) << clip.problem.toStdString();
        if (clip.ok()) {
            EXPECT_EQ(clip.samples, row.samples);
        }
    }
    EXPECT_FALSE(WavClip::read(QStringLiteral("/nonexistent/knack2.wav"), 44100).ok());
}

TEST(ClickMixer, OverlappingClicksAddUpAndClicksKeepTheirDistance)
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

    // Clicks asked for between two pulls keep their distance, also across the chunk's end.
    mixer.addClick(clipOf({7, 8}), 1);
    mixer.addClick(clipOf({1, 2, 3}), 3);
    mixer.addClick(clipOf({5}), 6);
    EXPECT_EQ(readMixer(mixer, 5), (std::vector<int16_t>{0, 7, 8, 1, 2}));
    EXPECT_FALSE(mixer.isQuiet());
    EXPECT_EQ(readMixer(mixer, 4), (std::vector<int16_t>{3, 5, 0, 0}));
    EXPECT_TRUE(mixer.isQuiet());
}

TEST(ClickSound, MissingFileAndMissingDeviceAreEachToldOnceAndPlayReturns)
{
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    QStringList lines;
    int deviceLookups = 0;
    {
        ClickSound sound([&lines](const QString& line) { lines.append(line); },
                         [&deviceLookups] { ++deviceLookups; return QAudioDevice(); });
        for (int click = 0; click < 5; ++click)
            sound.play(QStringLiteral("knack2.wav"));
        EXPECT_FALSE(sound.isStreaming());
    }
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("knack2.wav")));
    EXPECT_EQ(deviceLookups, 0);

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

    // Whatever this machine has (a device or none), the binding's play returns at once.
    auto binding = makePlatform();
    binding->setCurrentFolder(folder.path().toStdString());
    binding->playSound("knack2.wav", 0);
    binding->playSound("knack2.wav", 0);
    binding->processEvents();
}
