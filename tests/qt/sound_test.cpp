// The click: WAV files of any PCM kind become 44.1 kHz mono samples, overlapping clicks are
// mixed in full, the stream on its own thread hands every sample on and closes when quiet, a
// missing device is told once on stderr, and the program's end does not wait for a device that
// hangs. An unusable click file is told in a box, once: the binding test sees that box.

#include "support.h"

#include "click_train.h"

#include "platform/qt/ClickMixer.h"
#include "platform/qt/ClickSound.h"
#include "platform/qt/WavClip.h"

#include <QThread>

#include <condition_variable>
#include <cstring>
#include <mutex>

using namespace qttest;

namespace {

using Samples = std::vector<int16_t>;

QByteArray wav(uint16_t channels, uint32_t rate, uint16_t bits, const Samples& samples, uint16_t format = 1)
{
    return QByteArray::fromStdString(wavFile(channels, rate, bits, samples, format));
}

Samples samplesOf(const QByteArray& bytes)
{
    Samples samples(static_cast<size_t>(bytes.size() / 2));
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}

} // namespace

// 8-bit PCM is unsigned around 128: (228 - 128) * 256, stereo frames averaged; twice the rate
// turns 99 intervals into 198, plus the first sample. Each fault names its reason.
TEST(WavClip, PcmOfEveryUsableKindBecomesMonoSamplesAtTheMixerRate)
{
    const struct { QByteArray file; Samples samples; const char* problem; } rows[] = {
        {wav(1, 44100, 16, {0, 1000, -32768, 5}), {0, 1000, -32768, 5}, ""},
        {wav(1, 22050, 16, {0, 1000, 0}), {0, 500, 1000, 500, 0}, ""},
        {wav(2, 22050, 8, Samples(200, 228) /* left and right alike */), Samples(199, 100 * 256), ""},
        {QByteArray(), {}, "leer"},
        {QByteArray("GIF89a") + QByteArray(40, '\0'), {}, "keine WAV-Datei"},
        {wav(1, 44100, 16, {1, 2}).left(30), {}, "unvollst\u00e4ndig"},
        {wav(1, 44100, 16, {1, 2}, 0x55), {}, "unkomprimiert"},
        {wav(1, 44100, 24, Samples(10)), {}, "8 oder 16 Bit"},
    };
    for (const auto& row : rows) {
        const WavClip::Result clip = WavClip::decode(row.file, 44100);
        EXPECT_EQ(clip.samples, row.samples);
        EXPECT_TRUE(clip.problem.contains(QString::fromUtf8(row.problem)) && clip.ok() == !*row.problem) << clip.problem.toStdString();
    }
}

TEST(ClickMixer, OverlappingClicksAddUpAndClicksKeepTheirDistance)
{
    ClickMixer mixer;
    const auto add = [&mixer](Samples clip, long delay) { mixer.addClick(std::make_shared<const Samples>(std::move(clip)), delay); };
    const auto pull = [&mixer](int frames) { return samplesOf(mixer.read(frames * 2)); };
    add({100, 200, 300, 400, 500, 600}, 0);
    EXPECT_EQ(pull(4), (Samples{100, 200, 300, 400}));
    add({10, 20, 30}, 0);   // while the first still sounds: both are heard
    add({30000, -30000}, 2);
    add({30000, -30000}, 2);
    EXPECT_EQ(pull(5), (Samples{510, 620, 32767, -32768, 0}));   // saturating
    add({7, 8}, 1);
    EXPECT_EQ(pull(2), (Samples{0, 7}));
    EXPECT_FALSE(mixer.isQuiet());
    EXPECT_EQ(pull(2), (Samples{8, 0}));
    EXPECT_TRUE(mixer.isQuiet());
}

namespace {

// Stands in for the sound device: takes 32 samples of the 1000 it makes room for, as a device
// still starting does, and keeps what it took, one stream per opening. One that hangs while
// closing lets go when told or after 20 s: a shut-down that waits for it fails, not hangs.
struct Device {
    std::mutex mutex;
    std::condition_variable closedOne;
    std::vector<QByteArray> streams;
    int closed = 0;
    bool hangsWhileClosing = false;
    QThread* streamThread = nullptr;   // where it was opened
};

class FakeOutput : public ClickOutput {
public:
    explicit FakeOutput(Device& device) : device_(device) {}
    ~FakeOutput() override
    {
        std::unique_lock lock(device_.mutex);
        device_.closedOne.wait_for(lock, std::chrono::seconds(20), [this] { return !device_.hangsWhileClosing; });
        ++device_.closed;
        device_.closedOne.notify_all();
    }
    qint64 bytesFree() const override { return 2000; }
    qint64 write(const QByteArray& bytes) override
    {
        const std::lock_guard lock(device_.mutex);
        device_.streams.back() += bytes.left(64);
        return std::min<qint64>(bytes.size(), 64);
    }

private:
    Device& device_;
};

ClickStream::Opener opensOn(Device& device)
{
    return [&device](QString&) -> std::unique_ptr<ClickOutput> {
        const std::lock_guard lock(device.mutex);
        device.streams.emplace_back();
        device.streamThread = QThread::currentThread();
        return std::make_unique<FakeOutput>(device);
    };
}

} // namespace

TEST(ClickSound, EverySampleIsPlayedNoDeviceToldOnceAndAHangingDeviceLeftBehind)
{
    QDir::setCurrent(MT_ASSET_DIR);   // the program's own click
    const Samples click = WavClip::read("knack2.wav", 44100).samples;
    Device outputs;
    ClickSoundSetup setup;
    setup.openOutput = opensOn(outputs);
    setup.quietCloseMilliseconds = 20;
    {
        // The rest of each mixed chunk waits for later feeds; the stream closes only when all is
        // out, and the next one starts with the click however long it was quiet.
        ClickSound sound(setup);
        for (int opening = 1; opening <= 2; ++opening) {
            sound.play("knack2.wav");
            std::unique_lock<std::mutex> lock(outputs.mutex);
            ASSERT_TRUE(outputs.closedOne.wait_for(lock, std::chrono::seconds(20), [&] { return outputs.closed == opening; }));
            const Samples heard = samplesOf(outputs.streams.back());
            ASSERT_GE(heard.size(), click.size());
            EXPECT_EQ(Samples(heard.begin(), heard.begin() + click.size()), click);
            EXPECT_TRUE(std::all_of(heard.begin() + click.size(), heard.end(), [](int16_t sample) { return sample == 0; }));
        }
    }
    const auto toldOnStderr = [&setup](int plays) {
        ::testing::internal::CaptureStderr();
        {
            ClickSound sound(setup);
            for (int play = 0; play < plays; ++play)
                sound.play("knack2.wav");
            sound.settle();
        }
        return ::testing::internal::GetCapturedStderr();
    };
    setup.openOutput = [](QString& problem) { return ClickStream::openAudioSink(QAudioDevice(), problem); };
    EXPECT_EQ(toldOnStderr(10), "mikroteilchen: kein Tonausgabeger\u00e4t gefunden, die Klicks bleiben stumm\n");

    // A device that hangs while closing (a sound server gone) must not hold up the program's
    // end: shut-down gives up on it and says so; the stream's thread tidies up once it lets go
    // (else the sanitizers' leak check fails the test).
    Device hanging;
    hanging.hangsWhileClosing = true;
    setup.openOutput = opensOn(hanging);
    setup.shutdownWaitMilliseconds = 50;
    EXPECT_EQ(toldOnStderr(1), "mikroteilchen: Tonausgabe h\u00e4ngt, das Programm wartet nicht auf sie\n");
    std::unique_lock lock(hanging.mutex);
    EXPECT_EQ(hanging.closed, 0);
    hanging.hangsWhileClosing = false;
    hanging.closedOne.notify_all();
    lock.unlock();
    ASSERT_TRUE(hanging.streamThread->wait(QDeadlineTimer(20000)));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
