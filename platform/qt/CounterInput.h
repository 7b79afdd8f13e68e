#pragma once

// A real Geiger counter heard through the microphone or the line input. The audio source runs
// in push mode on the program's thread: each block it delivers (readyRead, handled wherever the
// program lets events in, its waits and paced steps included) goes through the click detector
// at once, and the clicks found are handed on. The detector's work is a few operations per
// sample, far below what would call for a thread of its own.

#include "detector/ClickDetector.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <span>
#include <vector>

class QAudioDevice;
class QAudioSource;
class QIODevice;

class CounterInput : public QObject {
    Q_OBJECT
public:
    // The stream has been heard up to sample `heardUpTo`; `onsets` are the clicks found in it.
    using Clicked = std::function<void(std::span<const int64_t> onsets, int64_t heardUpTo)>;

    // Listens on `device` (mono, at its own rate); null, with `problem` telling why in German,
    // when there is no such device or it does not open.
    static std::unique_ptr<CounterInput> open(const QAudioDevice& device, Clicked clicked, QString& problem);
    // The system's default input, or a null device when it has none.
    static QAudioDevice defaultDevice();

    // Without a device: the samples come from take() alone.
    CounterInput(const QAudioFormat& format, Clicked clicked);
    ~CounterInput() override;

    // The next bytes of the stream in the input's format, cut anywhere, even inside a sample.
    void take(const QByteArray& bytes);
    // The loudest sample (0 to 1) since the previous call, for the level display.
    float takeLevel();
    int sampleRate() const { return format_.sampleRate(); }

signals:
    // The input stopped working; no clicks come from now on.
    void failed();

private:
    void readAvailable();

    QAudioFormat format_;
    Clicked clicked_;
    ClickDetector detector_;
    QByteArray partialFrame_;   // the start of a frame whose rest comes with the next block
    std::vector<float> samples_;
    std::vector<int64_t> onsets_;
    float level_ = 0;
    std::unique_ptr<QAudioSource> source_;
    QIODevice* stream_ = nullptr;   // belongs to source_
};
