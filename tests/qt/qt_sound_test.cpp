// The click: WAV files of any PCM kind become 44.1 kHz mono samples, the mixer sounds every
// click in full even when clicks overlap, the stream on its own thread hands every sample on
// and closes when quiet, an unusable file is told once per name and a missing device once on
// stderr, and neither a hanging device nor anything else holds the program up.

#include "QtTestSupport.h"

#include "platform/qt/ClickMixer.h"
#include "platform/qt/ClickSound.h"
#include "platform/qt/WavClip.h"

#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <numeric>

using namespace qttest;

namespace {

using Samples = std::vector<int16_t>;

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

QByteArray pcm16(const Samples& samples)
{
    QByteArray bytes;
    for (int16_t sample : samples)
        bytes += le(sample);
    return bytes;
}

Samples samplesOf(const QByteArray& bytes)
{
    Samples samples(static_cast<size_t>(bytes.size() / 2));
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}

} // namespace

TEST(WavClip, PcmOfEveryUsableKindBecomesMonoSamplesAtTheMixerRate)
{
    // 8-bit PCM is unsigned around 128 and 256 times coarser; stereo frames are averaged:
    // (+100 + 0) / 2 · 256. Twice the rate turns 99 intervals into 198, plus the first sample.
    struct Row { const char* what; QByteArray file; Samples samples; };
    const Row rows[] = {
        {"16-bit mono at 44.1 kHz unchanged", wavFile(1, 44100, 16, pcm16({0, 1000, -1000, 32767, -32768, 5})),
         {0, 1000, -1000, 32767, -32768, 5}},
        {"22.05 kHz interpolated", wavFile(1, 22050, 16, pcm16({0, 1000, 0})), {0, 500, 1000, 500, 0}},
        {"8-bit stereo", wavFile(2, 22050, 8, QByteArray::fromHex("e480").repeated(100)), Samples(199, 100 * 256 / 2)},
        {"24 bit", wavFile(1, 44100, 24, QByteArray(30, '\0')), {}},   // other faults: ClickSoundTest
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const WavClip::Result clip = WavClip::decode(row.file, 44100);
        EXPECT_EQ(clip.ok(), !row.samples.empty()) << clip.problem.toStdString();
        EXPECT_EQ(clip.samples, row.samples);
    }
}

TEST(ClickMixer, OverlappingClicksAddUpAndClicksKeepTheirDistance)
{
    ClickMixer mixer;
    const auto add = [&mixer](Samples clip, long delay) {
        mixer.addClick(std::make_shared<const Samples>(std::move(clip)), delay);
    };
    const auto pull = [&mixer](int frames) { return samplesOf(mixer.read(frames * 2)); };
    EXPECT_TRUE(mixer.isQuiet());
    EXPECT_EQ(pull(4), (Samples{0, 0, 0, 0}));
    add({100, 200, 300, 400, 500, 600}, 0);
    EXPECT_FALSE(mixer.isQuiet());
    EXPECT_EQ(pull(4), (Samples{100, 200, 300, 400}));
    add({10, 20, 30}, 0);   // while the first still sounds: both are heard, summed
    EXPECT_EQ(pull(4), (Samples{510, 620, 30, 0}));
    EXPECT_TRUE(mixer.isQuiet());
    // The same click twice at once sounds twice as loud, saturating.
    add({30000, -30000}, 0);
    add({30000, -30000}, 0);
    EXPECT_EQ(pull(3), (Samples{32767, -32768, 0}));

    // Clicks asked for between two pulls keep their distance, also across the chunk's end.
    add({7, 8}, 1);
    add({1, 2, 3}, 3);
    add({5}, 6);
    EXPECT_EQ(pull(5), (Samples{0, 7, 8, 1, 2}));
    EXPECT_FALSE(mixer.isQuiet());
    EXPECT_EQ(pull(4), (Samples{3, 5, 0, 0}));
    EXPECT_TRUE(mixer.isQuiet());
}

namespace {

// Stands in for the sound device: what each opened output received, and on which thread it
// was closed. Written on the stream's thread, read on the test's.
struct OutputLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<QByteArray> streams;   // one per opened output
    int closed = 0, closedOnTestThread = 0;
    qint64 takeAtMost = 1 << 20;       // a device that is still starting takes less than it has room for
    bool hang = false, hanging = false;   // a device whose write does not return until released
    QThread* const testThread = QThread::currentThread();

    bool waitUntil(const std::function<bool()>& done)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), done);
    }
};

class FakeOutput : public ClickOutput {
public:
    FakeOutput(OutputLog& log, size_t index) : log_(log), index_(index) {}
    ~FakeOutput() override
    {
        const std::lock_guard<std::mutex> lock(log_.mutex);
        ++log_.closed;
        log_.closedOnTestThread += QThread::currentThread() == log_.testThread ? 1 : 0;
        log_.changed.notify_all();
    }
    qint64 bytesFree() const override { return 2000; }
    qint64 write(const QByteArray& bytes) override
    {
        std::unique_lock<std::mutex> lock(log_.mutex);
        log_.hanging = log_.hang;
        log_.changed.notify_all();
        log_.changed.wait(lock, [this] { return !log_.hang; });
        const qint64 taken = std::min<qint64>(bytes.size(), log_.takeAtMost);
        log_.streams[index_] += bytes.left(taken);
        log_.changed.notify_all();
        return taken;
    }

private:
    OutputLog& log_;
    size_t index_;
};

class ClickSoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        QDir::setCurrent(folder.path());
        writeFile(QStringLiteral("knack2.wav"), wavFile(1, 44100, 16, pcm16(click)));
        setup.fileProblem = [this](const QString& text) { fileLines.append(text); };
        setup.deviceProblem = [this](const QString& text) { deviceLines.append(text); };
        setup.openOutput = [this](QString&) -> std::unique_ptr<ClickOutput> {
            const std::lock_guard<std::mutex> lock(outputs.mutex);
            outputs.streams.emplace_back();
            return std::make_unique<FakeOutput>(outputs, outputs.streams.size() - 1);
        };
    }

    // A click that cannot be mistaken for silence or for another part of itself.
    const Samples click = [] {
        Samples samples(300);
        std::iota(samples.begin(), samples.end(), int16_t(1000));
        return samples;
    }();
    QTemporaryDir folder;
    OutputLog outputs;
    ClickSoundSetup setup;
    QStringList fileLines, deviceLines;
};

} // namespace

TEST_F(ClickSoundTest, UnusableFilesAreToldOncePerNameAndNoDeviceOnceOnStderr)
{
    QByteArray compressed = wavFile(1, 44100, 16, pcm16({1, 2, 3, 4}));
    compressed[20] = 0x55;   // the format tag of MPEG audio
    struct Row { QString name; QByteArray content; QString reason; };
    const Row rows[] = {   // no name holds its reason
        {"weg.wav", {}, "fehlt"},
        {"null.wav", QByteArray(), "leer"},
        {"kurz.wav", wavFile(1, 44100, 16, pcm16({1, 2})).left(30), "unvollst\u00e4ndig"},
        {"bild.wav", QByteArray("GIF89a") + QByteArray(40, '\0'), "keine WAV-Datei"},
        {"mp3.wav", compressed, "unkomprimiert"},
    };
    for (const Row& row : rows)
        if (row.reason != QStringLiteral("fehlt"))
            writeFile(row.name, row.content);
    {
        ClickSound sound(setup);
        for (int round = 0; round < 2; ++round)
            for (const Row& row : rows)
                sound.play(row.name);
        sound.play(QStringLiteral("knack2.wav"));
        sound.settle();
        EXPECT_TRUE(sound.isStreaming());
    }
    ASSERT_EQ(fileLines.size(), qsizetype(std::size(rows))) << fileLines.join('\n').toStdString();
    for (size_t i = 0; i < std::size(rows); ++i) {
        const QString& line = fileLines[qsizetype(i)];
        SCOPED_TRACE(line.toStdString());
        EXPECT_TRUE(line.startsWith(QStringLiteral("Der Klickton \u201e%1\u201c ist nicht verwendbar: ").arg(rows[i].name)));
        EXPECT_TRUE(line.contains(rows[i].reason));
        EXPECT_TRUE(line.endsWith(QStringLiteral(".|Die Z\u00e4hlimpulse bleiben stumm.")));
    }
    EXPECT_TRUE(deviceLines.isEmpty());
    EXPECT_EQ(outputs.streams.size(), 1u);

    // No device: one line on stderr however many clicks, and nothing for the teacher to fix.
    int opened = 0;
    setup.deviceProblem = nullptr;
    setup.openOutput = [&opened](QString& problem) {
        ++opened;
        return ClickStream::openAudioSink(QAudioDevice(), problem);
    };
    ::testing::internal::CaptureStderr();
    {
        ClickSound sound(setup);
        for (int request = 0; request < 10; ++request)
            sound.play(QStringLiteral("knack2.wav"));
        sound.settle();
        sound.play(QStringLiteral("knack2.wav"));
        sound.settle();
        EXPECT_FALSE(sound.isStreaming());
    }
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_EQ(printed.rfind("mikroteilchen: kein Tonausgabeger\u00e4t", 0), 0u) << printed;
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(fileLines.size(), qsizetype(std::size(rows)));
}

TEST_F(ClickSoundTest, TheBindingShowsAMissingClickFileInOneBoxAndGoesOn)
{
    QFile::remove(QStringLiteral("knack2.wav"));
    auto binding = makePlatform();
    BoxAnswerer user;
    for (int request = 0; request < 3; ++request)
        binding->playSound("knack2.wav", 0);
    ASSERT_EQ(user.seen.size(), 1u);
    EXPECT_TRUE(user.seen[0].text.contains(QStringLiteral("Klickton \u201eknack2.wav\u201c"))) << user.seen[0].text.toStdString();
    EXPECT_EQ(user.seen[0].icon, QMessageBox::Warning);
    EXPECT_EQ(user.seen[0].buttons, QStringList{QStringLiteral("OK")});
}

TEST_F(ClickSoundTest, EverySampleReachesTheDeviceBeforeTheStreamClosesWhenQuiet)
{
    // The device takes 32 samples a feed of the 1000 it makes room for: the rest of each
    // mixed chunk waits for later feeds, and the stream closes only when it is all out.
    outputs.takeAtMost = 64;
    setup.quietCloseMilliseconds = 20;
    ClickSound sound(setup);
    for (size_t opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        sound.play(QStringLiteral("knack2.wav"));
        ASSERT_TRUE(outputs.waitUntil([&] { return outputs.closed == static_cast<int>(opening); }));
        // A fresh stream starts with the click, however long it was quiet before.
        const Samples heard = samplesOf(outputs.streams.back());
        ASSERT_GE(heard.size(), 300u);
        EXPECT_EQ(Samples(heard.begin(), heard.begin() + 300), click);
        EXPECT_EQ(std::count(heard.begin() + 300, heard.end(), 0), static_cast<long>(heard.size() - 300));
        sound.settle();
        EXPECT_FALSE(sound.isStreaming());
    }
    EXPECT_EQ(outputs.streams.size(), 2u);
    EXPECT_EQ(outputs.closedOnTestThread, 0);
}

TEST_F(ClickSoundTest, EndingWhileStreamingClosesTheDeviceAndAHangingDeviceIsNotAwaited)
{
    {
        ClickSound sound(setup);
        sound.play(QStringLiteral("knack2.wav"));
        sound.settle();
        EXPECT_TRUE(sound.isStreaming());
    }
    EXPECT_EQ(outputs.closed, 1);

    outputs.hang = true;
    setup.shutdownWaitMilliseconds = 50;
    {
        ClickSound sound(setup);
        sound.play(QStringLiteral("knack2.wav"));
        ASSERT_TRUE(outputs.waitUntil([&] { return outputs.hanging; }));
    }
    ASSERT_EQ(deviceLines.size(), 1);
    EXPECT_TRUE(deviceLines[0].contains(QStringLiteral("h\u00e4ngt")));
    // Released, the left-behind stream still closes its device on its own thread.
    {
        const std::lock_guard<std::mutex> lock(outputs.mutex);
        outputs.hang = false;
    }
    outputs.changed.notify_all();
    ASSERT_TRUE(outputs.waitUntil([&] { return outputs.closed == 2; }));
    EXPECT_EQ(outputs.closedOnTestThread, 0);
    EXPECT_TRUE(fileLines.isEmpty());
}
