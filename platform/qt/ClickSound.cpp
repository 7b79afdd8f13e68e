#include "platform/qt/ClickSound.h"

#include "platform/qt/WavClip.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QFileInfo>
#include <QMediaDevices>

#include <algorithm>
#include <cstdio>

ClickSound::ClickSound(Reporter reporter, DeviceFinder findDevice, QObject* parent)
    : QObject(parent),
      report_(reporter ? std::move(reporter) : Reporter(&ClickSound::reportOnStderr)),
      findDevice_(findDevice ? std::move(findDevice) : DeviceFinder(&ClickSound::defaultOutput)),
      mixer_(kSampleRate)
{
    idleTimer_.setSingleShot(true);
    idleTimer_.setInterval(kIdleCloseMilliseconds);
    connect(&idleTimer_, &QTimer::timeout, this, &ClickSound::closeWhenQuiet);
    feedTimer_.setTimerType(Qt::PreciseTimer);
    feedTimer_.setInterval(kFeedMilliseconds);
    connect(&feedTimer_, &QTimer::timeout, this, &ClickSound::feed);
}

ClickSound::~ClickSound()
{
    stopStream();
}

void ClickSound::reportOnStderr(const QString& line)
{
    std::fprintf(stderr, "mikroteilchen: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

QAudioDevice ClickSound::defaultOutput()
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return QAudioDevice();
    return QMediaDevices::defaultAudioOutput();
}

void ClickSound::play(const QString& fileName)
{
    const ClickMixer::Clip clip = clipFor(fileName);
    if (!clip || soundUnavailable_)
        return;
    if (!ensureStream())
        return;
    mixer_.addClick(clip);
    idleTimer_.start();
}

ClickMixer::Clip ClickSound::clipFor(const QString& fileName)
{
    const QString key = QFileInfo(fileName).absoluteFilePath();
    const auto known = clips_.constFind(key);
    if (known != clips_.constEnd())
        return known.value();

    WavClip::Result wav = WavClip::read(fileName, kSampleRate);
    ClickMixer::Clip clip;
    if (wav.ok())
        clip = std::make_shared<const std::vector<int16_t>>(std::move(wav.samples));
    else
        report_(QStringLiteral("Klickton \u201e%1\u201c nicht verwendbar (%2), die Klicks bleiben stumm")
                    .arg(fileName, wav.problem));
    clips_.insert(key, clip);
    return clip;
}

bool ClickSound::ensureStream()
{
    if (sink_)
        return true;
    const QAudioDevice device = findDevice_();
    if (device.isNull()) {
        giveUpSound(QStringLiteral("kein Tonausgabeger\u00e4t gefunden, die Klicks bleiben stumm"));
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        giveUpSound(QStringLiteral("das Tonausgabeger\u00e4t kann kein 44,1-kHz-Mono, die Klicks bleiben stumm"));
        return false;
    }
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->setBufferSize(kSampleRate * 2 * kBufferMilliseconds / 1000);
    connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State) {
        if (!sink_)
            return;
        const QAudio::Error error = sink_->error();
        if (error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError) {
            // Not from inside the sink's own signal: the sink goes away later.
            QTimer::singleShot(0, this, [this] {
                giveUpSound(QStringLiteral("Tonausgabe gest\u00f6rt, die Klicks bleiben stumm"));
            });
        }
    });
    output_ = sink_->start();
    if (!output_ || sink_->error() == QAudio::OpenError || sink_->error() == QAudio::FatalError) {
        giveUpSound(QStringLiteral("Tonausgabe l\u00e4sst sich nicht \u00f6ffnen, die Klicks bleiben stumm"));
        return false;
    }
    feed();
    feedTimer_.start();
    return true;
}

void ClickSound::feed()
{
    if (!sink_ || !output_)
        return;
    // Keep the device's buffer full: silence, with the clicks mixed in where they fall.
    // The mixer hands out each sample once, so whatever the sink does not take now (a stream
    // that is still starting takes little or nothing) waits in unwritten_ for the next feed.
    qint64 room = sink_->bytesFree() & ~qint64(1);
    if (!unwritten_.isEmpty()) {
        const qint64 written = std::max<qint64>(0, output_->write(unwritten_.left(room)));
        unwritten_.remove(0, written);
        room -= written;
        if (!unwritten_.isEmpty())
            return;
    }
    if (room <= 0)
        return;
    const QByteArray chunk = mixer_.read(room);
    const qint64 written = std::max<qint64>(0, output_->write(chunk));
    if (written < chunk.size())
        unwritten_ = chunk.mid(written);
}

void ClickSound::stopStream()
{
    idleTimer_.stop();
    feedTimer_.stop();
    output_ = nullptr;
    unwritten_.clear();
    if (!sink_)
        return;
    sink_->disconnect(this);
    sink_->stop();
    sink_.reset();
}

void ClickSound::closeWhenQuiet()
{
    if (!mixer_.isQuiet()) {
        idleTimer_.start();
        return;
    }
    stopStream();
}

void ClickSound::giveUpSound(const QString& why)
{
    if (soundUnavailable_)
        return;
    soundUnavailable_ = true;
    stopStream();
    report_(why);
}
