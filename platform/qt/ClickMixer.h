#pragma once

// The click stream's samples: 16-bit mono silence with every requested click mixed in.
// Clicks are asked for on the program's thread and read out on the stream's own thread,
// so every member is thread-safe. A click starts as far into the next read as it was asked
// for after the previous read: two clicks asked for 17 ms apart sound 17 ms apart, not
// together at the start of a chunk. Overlapping clicks add up (saturating); no click is
// dropped or cut short by the next.

#include <QByteArray>
#include <QElapsedTimer>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class ClickMixer {
public:
    using Clip = std::shared_ptr<const std::vector<int16_t>>;

    explicit ClickMixer(int sampleRate = 44100);

    // delaySamples: where in the stream to come, counted from the next read on; -1 measures
    // it from the time since the previous read.
    void addClick(Clip clip, long delaySamples = -1);
    // No click is sounding or waiting to sound.
    bool isQuiet() const;
    // The next maxBytes / 2 samples.
    QByteArray read(qint64 maxBytes);
    // The stream closed: the next click asked for starts the next read.
    void streamStopped();

private:
    struct Voice {
        Clip clip;
        long position = 0;   // negative: samples of silence still to come first
    };
    long samplesSinceLastRead() const;

    int sampleRate_;
    mutable std::mutex mutex_;
    QElapsedTimer sinceLastRead_;
    std::vector<Voice> voices_;
};
