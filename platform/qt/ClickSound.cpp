#include "platform/qt/ClickSound.h"

#include "platform/qt/WavClip.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

#include <cstdio>

ClickSound::ClickSound() : ClickSound(ClickSoundSetup()) {}

ClickSound::ClickSound(ClickSoundSetup setup)
    : setup_(std::move(setup)), mixer_(std::make_shared<ClickMixer>(kSampleRate)),
      thread_(std::make_unique<QThread>())
{
    if (!setup_.fileProblem)
        setup_.fileProblem = &ClickSound::reportOnStderr;
    if (!setup_.deviceProblem)
        setup_.deviceProblem = &ClickSound::reportOnStderr;
    if (!setup_.openOutput) {
        // Looked up here, on the program's thread; the stream's thread gets its own copy.
        const QAudioDevice device = ClickStream::defaultDevice();
        setup_.openOutput = [device](QString& problem) { return ClickStream::openAudioSink(device, problem); };
    }
    stream_ = std::make_unique<ClickStream>(mixer_, setup_.openOutput, setup_.quietCloseMilliseconds);
    stream_->moveToThread(thread_.get());
    connect(stream_.get(), &ClickStream::failed, this, &ClickSound::streamFailed, Qt::QueuedConnection);
    thread_->setObjectName(QStringLiteral("ClickStream"));
    thread_->start();
}

ClickSound::~ClickSound()
{
    QMetaObject::invokeMethod(stream_.get(), &ClickStream::shutDown, Qt::QueuedConnection);
    if (thread_->wait(QDeadlineTimer(setup_.shutdownWaitMilliseconds)))
        return;   // the stream closed its device on its own thread; members go as usual
    // The device hangs. The program's end must not: the thread is left to finish on its own,
    // and takes its objects with it when it does (the mixer is shared with it).
    setup_.deviceProblem(QStringLiteral("Tonausgabe h\u00e4ngt, das Programm wartet nicht auf sie"));
    QThread* thread = thread_.release();
    connect(thread, &QThread::finished, stream_.release(), &QObject::deleteLater);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
}

void ClickSound::reportOnStderr(const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('|'), QLatin1Char(' '));
    std::fprintf(stderr, "mikroteilchen: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

void ClickSound::play(const QString& fileName)
{
    const ClickMixer::Clip clip = clipFor(fileName);
    if (!clip || soundUnavailable_)
        return;
    mixer_->addClick(clip);
    QMetaObject::invokeMethod(stream_.get(), &ClickStream::clickQueued, Qt::QueuedConnection);
}

bool ClickSound::isStreaming() const
{
    return stream_->isStreaming();
}

void ClickSound::settle()
{
    // The stream's thread handles its events in order: once this empty call has run there,
    // every click before it has been handled and every report from it has been posted here.
    QMetaObject::invokeMethod(stream_.get(), [] {}, Qt::BlockingQueuedConnection);
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
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
    // Known before it is told: the report may be a box whose event loop lets the next click in.
    clips_.insert(key, clip);
    if (!clip)
        setup_.fileProblem(QStringLiteral("Der Klickton \u201e%1\u201c ist nicht verwendbar: %2.|"
                                          "Die Z\u00e4hlimpulse bleiben stumm.")
                               .arg(fileName, wav.problem));
    return clip;
}

void ClickSound::streamFailed(const QString& why)
{
    if (soundUnavailable_)
        return;
    soundUnavailable_ = true;
    setup_.deviceProblem(why);
}
