#pragma once

// The detector's click. One audio stream (44.1 kHz mono) opens at the first click and
// stays open while clicks come, so every click is heard with one buffer of latency; after
// two quiet seconds it closes, so an idle program costs nothing.
// The stream is fed from a 10 ms timer (push mode) with what the mixer makes: Qt 6.4's
// PulseAudio sink in pull mode reads in 20 ms periods only and stalls when its buffer
// holds less than one period, so short buffers never play there.
// (A fresh QSoundEffect per click loses the start of short clicks and drops some entirely.)
//
// A WAV file is read once per name. A missing or unusable file, or no sound device, is
// told once on stderr (one line) and otherwise silent; play() never waits for the device.

#include "platform/qt/ClickMixer.h"

#include <QAudioDevice>
#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class QAudioSink;

class ClickSound : public QObject {
    Q_OBJECT
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kIdleCloseMilliseconds = 2000;
    static constexpr int kBufferMilliseconds = 30;
    static constexpr int kFeedMilliseconds = 10;

    using Reporter = std::function<void(const QString& line)>;
    using DeviceFinder = std::function<QAudioDevice()>;

    // Without arguments: report on stderr, play on the system's default output.
    explicit ClickSound(Reporter reporter = {}, DeviceFinder findDevice = {}, QObject* parent = nullptr);
    ~ClickSound() override;

    void play(const QString& fileName);
    bool isStreaming() const { return sink_ != nullptr; }

    static void reportOnStderr(const QString& line);
    // The default output, or a null device when the system has none.
    static QAudioDevice defaultOutput();

private:
    ClickMixer::Clip clipFor(const QString& fileName);
    bool ensureStream();
    void stopStream();
    void closeWhenQuiet();
    void feed();
    void giveUpSound(const QString& why);

    Reporter report_;
    DeviceFinder findDevice_;
    QHash<QString, ClickMixer::Clip> clips_;   // a null clip: the file is unusable
    ClickMixer mixer_;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* output_ = nullptr;   // belongs to sink_
    QByteArray unwritten_;          // mixed samples the sink has not taken yet
    QTimer feedTimer_;
    QTimer idleTimer_;
    bool soundUnavailable_ = false;
};
