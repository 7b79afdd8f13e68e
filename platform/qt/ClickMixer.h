#pragma once

// An endless 16-bit mono stream for QAudioSink's pull mode: silence, with every click
// that was asked for mixed in from the moment it was asked for. Overlapping clicks add up
// (saturating), so no click is ever dropped or cut short by the next one.

#include <QIODevice>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class ClickMixer : public QIODevice {
    Q_OBJECT
public:
    using Clip = std::shared_ptr<const std::vector<int16_t>>;

    explicit ClickMixer(QObject* parent = nullptr);

    void addClick(Clip clip);
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
        size_t position = 0;
    };
    // The sink may pull from its own thread on some back ends.
    mutable std::mutex mutex_;
    std::vector<Voice> voices_;
};
