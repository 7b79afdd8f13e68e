#pragma once

// The detector's click. One audio stream (44.1 kHz mono) opens at the first click and
// stays open while clicks come, so every click is heard with one buffer of latency; after
// two quiet seconds it closes, so an idle program costs nothing.
// The stream lives on a thread of its own (ClickStream), fed from a 10 ms timer there (push
// mode) with what the mixer makes. Measured on Qt 6.4's PulseAudio sink: pull mode reads in
// 20 ms periods only and stalls when its buffer holds less than one period, so short buffers
// never play there; a fresh QSoundEffect per click loses the start of short clicks and drops
// some entirely.
//
// play() reads each WAV file once per name and hands the click to the mixer; it never waits
// for the device. A click file that cannot be used is the teacher's to fix and goes to the
// file reporter, once per name; no sound device (normal on a school PC without speakers) goes
// to the device reporter, once. Both are told on the thread that owns this object.

#include "platform/qt/ClickMixer.h"
#include "platform/qt/ClickStream.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QThread;

struct ClickSoundSetup {
    using Reporter = std::function<void(const QString& text)>;

    // Texts are German; "|" separates the lines of a file problem.
    Reporter fileProblem;     // default: one line on stderr
    Reporter deviceProblem;   // default: one line on stderr
    ClickStream::Opener openOutput;   // default: the system's default output, as it is at construction
    int quietCloseMilliseconds = 2000;
    // How long shut-down waits for a device that hangs before leaving its thread behind.
    int shutdownWaitMilliseconds = 1000;
};

class ClickSound : public QObject {
    Q_OBJECT
public:
    static constexpr int kSampleRate = ClickStream::kSampleRate;

    ClickSound();
    explicit ClickSound(ClickSoundSetup setup);
    ~ClickSound() override;

    void play(const QString& fileName);
    bool isStreaming() const;
    // For tests and benchmarks: returns once the stream's thread has handled every click
    // asked for so far and its reports have been told. Unlike play(), this waits.
    void settle();

    static void reportOnStderr(const QString& text);

private:
    ClickMixer::Clip clipFor(const QString& fileName);
    void streamFailed(const QString& why);

    ClickSoundSetup setup_;
    QHash<QString, ClickMixer::Clip> clips_;   // a null clip: the file is unusable
    std::shared_ptr<ClickMixer> mixer_;
    std::unique_ptr<QThread> thread_;
    std::unique_ptr<ClickStream> stream_;   // lives on thread_
    bool soundUnavailable_ = false;
};
