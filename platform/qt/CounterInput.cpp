#include "platform/qt/CounterInput.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QMediaDevices>

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>

namespace {

// Qt's source hands the samples over a buffer at a time, and every hand-over wakes the program:
// with 40 ms buffers a waiting program costs about 0.9 % of a core (1.3 % with 20 ms ones), and
// a click counts within two or three paced steps of being heard. A program held up longer loses
// nothing: the sound server keeps the samples (measured on PulseAudio with the program away
// from its events for 400 ms of every second).
constexpr int kBufferMilliseconds = 40;

} // namespace

std::unique_ptr<CounterInput> CounterInput::open(const QAudioDevice& device, Clicked clicked, QString& problem)
{
    if (device.isNull()) {
        problem = QStringLiteral("Kein Mikrofoneingang gefunden.");
        return nullptr;
    }
    QAudioFormat format = device.preferredFormat();
    format.setChannelCount(1);
    if (!device.isFormatSupported(format))
        format = device.preferredFormat();   // its first channel, then
    auto input = std::make_unique<CounterInput>(format, std::move(clicked));
    input->source_ = std::make_unique<QAudioSource>(device, format);
    input->source_->setBufferSize(format.bytesForDuration(kBufferMilliseconds * 1000));
    input->stream_ = input->source_->start();
    if (!input->stream_ || input->source_->error() != QAudio::NoError) {
        problem = QStringLiteral("Der Mikrofoneingang \u201e%1\u201c l\u00e4sst sich nicht \u00f6ffnen.").arg(device.description());
        return nullptr;
    }
    CounterInput* const self = input.get();
    connect(input->stream_, &QIODevice::readyRead, self, &CounterInput::readAvailable);
    connect(input->source_.get(), &QAudioSource::stateChanged, self, [self](QAudio::State state) {
        if (state == QAudio::StoppedState && self->source_->error() != QAudio::NoError)
            emit self->failed();
    });
    return input;
}

QAudioDevice CounterInput::defaultDevice()
{
    if (QMediaDevices::audioInputs().isEmpty())
        return QAudioDevice();
    return QMediaDevices::defaultAudioInput();
}

CounterInput::CounterInput(const QAudioFormat& format, Clicked clicked)
    : format_(format), clicked_(std::move(clicked)), detector_(StartClickDetector(format.sampleRate()))
{
}

CounterInput::~CounterInput()
{
    if (source_)
        source_->stop();
}

void CounterInput::readAvailable()
{
    take(stream_->readAll());
}

void CounterInput::take(const QByteArray& bytes)
{
    const qsizetype frameBytes = format_.bytesPerFrame();
    if (frameBytes <= 0)
        return;
    partialFrame_ += bytes;
    const qsizetype frames = partialFrame_.size() / frameBytes;
    samples_.resize(static_cast<size_t>(frames));
    for (qsizetype i = 0; i < frames; ++i) {
        // The first channel of each frame: a counter at one input is heard on one channel.
        const float sample = format_.normalizedSampleValue(partialFrame_.constData() + i * frameBytes);
        samples_[static_cast<size_t>(i)] = sample;
        level_ = std::max(level_, std::fabs(sample));
    }
    partialFrame_.remove(0, frames * frameBytes);

    onsets_.clear();
    DetectClicks(detector_, std::span<const float>(samples_), onsets_);
    clicked_(onsets_, detector_.position);
}

float CounterInput::takeLevel()
{
    return std::exchange(level_, 0.0f);
}
