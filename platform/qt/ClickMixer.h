#pragma once

// An endless 16-bit mono stream for QAudioSink's pull mode: silence, with every click
// that was asked for mixed in. The sink pulls in chunks (20 ms on PulseAudio), so a click
// starts as far into the next chunk as it was asked for after the previous pull: two
// clicks asked for 17 ms apart sound 17 ms apart, not together at a chunk's start.
// Overlapping clicks add up (saturating); no click is dropped or cut short by the next.

#include <QElapsedTimer>
#include <QIODevice>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class ClickMixer : public QIODevice {
    Q_OBJECT
public:
    using Clip = std::shared_ptr<const std::vector<int16_t>>;

    explicit ClickMixer(int sampleRate = 44100, QObject* parent = nullptr);

    // delaySamples: where in the stream to come from the next pull on; -1 measures it
    // from the time since that pull.
    void addClick(Clip clip, long delaySamples = -1);
    // No click is sounding or waiting to sound.
    bool isQuiet() const;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    struct Voice {
        Clip clip;
        long position = 0;   // negative: samples of silence still to come first
    };
    long samplesSinceLastPull() const;

    int sampleRate_;
    QElapsedTimer sinceLastPull_;
    // The sink may pull from its own thread on some back ends.
    mutable std::mutex mutex_;
    std::vector<Voice> voices_;
};
