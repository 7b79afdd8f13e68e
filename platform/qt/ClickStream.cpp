#include "platform/qt/ClickStream.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QThread>

#include <algorithm>

namespace {

class AudioSinkOutput : public ClickOutput {
public:
    AudioSinkOutput(const QAudioDevice& device, const QAudioFormat& format) : sink_(device, format) {}
    ~AudioSinkOutput() override { sink_.stop(); }

    bool start(qsizetype bufferBytes)
    {
        sink_.setBufferSize(bufferBytes);
        device_ = sink_.start();
        return device_ && sink_.error() != QAudio::OpenError && sink_.error() != QAudio::FatalError;
    }
    qint64 bytesFree() const override { return sink_.bytesFree(); }
    qint64 write(const QByteArray& bytes) override { return device_->write(bytes); }
    QString fault() const override
    {
        const QAudio::Error error = sink_.error();
        if (error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError)
            return QStringLiteral("Tonausgabe gest\u00f6rt, die Klicks bleiben stumm");
        return QString();
    }

private:
    QAudioSink sink_;
    QIODevice* device_ = nullptr;   // belongs to sink_
};

} // namespace

ClickStream::ClickStream(std::shared_ptr<ClickMixer> mixer, Opener open, int quietCloseMilliseconds)
    : mixer_(std::move(mixer)), open_(std::move(open)), feedTimer_(this), quietTimer_(this)
{
    quietTimer_.setSingleShot(true);
    quietTimer_.setInterval(quietCloseMilliseconds);
    connect(&quietTimer_, &QTimer::timeout, this, &ClickStream::closeWhenQuiet);
    feedTimer_.setTimerType(Qt::PreciseTimer);
    feedTimer_.setInterval(kFeedMilliseconds);
    connect(&feedTimer_, &QTimer::timeout, this, &ClickStream::feed);
}

ClickStream::~ClickStream() = default;

std::unique_ptr<ClickOutput> ClickStream::openAudioSink(const QAudioDevice& device, QString& problem)
{
    if (device.isNull()) {
        problem = QStringLiteral("kein Tonausgabeger\u00e4t gefunden, die Klicks bleiben stumm");
        return nullptr;
    }
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        problem = QStringLiteral("das Tonausgabeger\u00e4t kann kein 44,1-kHz-Mono, die Klicks bleiben stumm");
        return nullptr;
    }
    auto output = std::make_unique<AudioSinkOutput>(device, format);
    if (!output->start(kSampleRate * 2 * kBufferMilliseconds / 1000)) {
        problem = QStringLiteral("Tonausgabe l\u00e4sst sich nicht \u00f6ffnen, die Klicks bleiben stumm");
        return nullptr;
    }
    return output;
}

QAudioDevice ClickStream::defaultDevice()
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return QAudioDevice();
    return QMediaDevices::defaultAudioOutput();
}

void ClickStream::clickQueued()
{
    if (givenUp_ || (!output_ && !open()))
        return;
    quietTimer_.start();
}

bool ClickStream::open()
{
    QString problem;
    output_ = open_(problem);
    if (!output_) {
        giveUp(problem);
        return false;
    }
    streaming_ = true;
    feed();
    feedTimer_.start();
    return true;
}

void ClickStream::feed()
{
    if (!output_)
        return;
    if (const QString fault = output_->fault(); !fault.isEmpty()) {
        giveUp(fault);
        return;
    }
    // Keep the device's buffer full: silence, with the clicks mixed in where they fall.
    // The mixer hands out each sample once, so whatever the output does not take now (a
    // stream that is still starting takes little or nothing) waits for the next feed.
    qint64 room = output_->bytesFree() & ~qint64(1);
    if (!unwritten_.isEmpty()) {
        const qint64 written = std::max<qint64>(0, output_->write(unwritten_.left(room)));
        unwritten_.remove(0, written);
        room -= written;
        if (!unwritten_.isEmpty())
            return;
    }
    if (room <= 0)
        return;
    const QByteArray chunk = mixer_->read(room);
    const qint64 written = std::max<qint64>(0, output_->write(chunk));
    if (written < chunk.size())
        unwritten_ = chunk.mid(written);
}

void ClickStream::close()
{
    quietTimer_.stop();
    feedTimer_.stop();
    unwritten_.clear();
    // The mixer first: a click asked for while the device closes then starts the next stream,
    // instead of waiting as long as the quiet time that ends this one.
    mixer_->streamStopped();
    output_.reset();
    streaming_ = false;
}

void ClickStream::closeWhenQuiet()
{
    // Silence still waiting for the device may go; a click may not. (A device that keeps
    // taking less than it has room for always has a rest of silence waiting.)
    const bool clickWaiting = std::any_of(unwritten_.cbegin(), unwritten_.cend(), [](char byte) { return byte != 0; });
    if (!mixer_->isQuiet() || clickWaiting) {
        quietTimer_.start();
        return;
    }
    close();
}

void ClickStream::shutDown()
{
    close();
    thread()->quit();
}

void ClickStream::giveUp(const QString& why)
{
    if (givenUp_)
        return;
    givenUp_ = true;
    close();
    emit failed(why);
}
