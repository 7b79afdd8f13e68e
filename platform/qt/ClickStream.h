#pragma once

// The audio stream of the clicks, on a thread of its own (ClickSound owns the thread). It
// opens when a click comes, is fed every 10 ms with what the mixer makes (push mode), and
// closes after a quiet while, leaving no timer running. Feeding here rather than on the
// program's thread keeps the device's buffer filled while that thread is busy or held up:
// fed from the program's thread, the 30 ms buffer ran dry under heavy load and about one
// click in a hundred was heard split in two.
// Every member except the constructor and isStreaming() runs on the stream's thread.

#include "platform/qt/ClickMixer.h"

#include <QAudioDevice>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

// Where the samples go: a QAudioSink in the program, a recorder in tests.
class ClickOutput {
public:
    virtual ~ClickOutput() = default;
    virtual qint64 bytesFree() const = 0;
    // Returns how many bytes were taken; fewer than offered while the device starts.
    virtual qint64 write(const QByteArray& bytes) = 0;
    // Empty while the output works; otherwise why it stopped for good.
    virtual QString fault() const { return QString(); }
};

class ClickStream : public QObject {
    Q_OBJECT
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kBufferMilliseconds = 30;
    static constexpr int kFeedMilliseconds = 10;

    // Null with `problem` set when there is no output to play on.
    using Opener = std::function<std::unique_ptr<ClickOutput>(QString& problem)>;

    ClickStream(std::shared_ptr<ClickMixer> mixer, Opener open, int quietCloseMilliseconds);
    ~ClickStream() override;

    // A click was handed to the mixer: open the stream if it is closed, and count the
    // quiet time afresh.
    void clickQueued();
    // Closes the stream and ends the thread's event loop.
    void shutDown();
    bool isStreaming() const { return streaming_; }

    // A 44.1 kHz mono Int16 QAudioSink on `device`.
    static std::unique_ptr<ClickOutput> openAudioSink(const QAudioDevice& device, QString& problem);
    // The system's default output, or a null device when it has none. Call it on the program's
    // thread: Qt's device backend belongs to the thread that first asks it, and the stream's
    // thread ends before the program does.
    static QAudioDevice defaultDevice();

signals:
    // The stream gave up; no click sounds from now on.
    void failed(const QString& why);

private:
    bool open();
    void feed();
    void close();
    void closeWhenQuiet();
    void giveUp(const QString& why);

    std::shared_ptr<ClickMixer> mixer_;
    Opener open_;
    std::unique_ptr<ClickOutput> output_;
    QByteArray unwritten_;   // mixed samples the output has not taken yet
    QTimer feedTimer_;
    QTimer quietTimer_;
    std::atomic<bool> streaming_{false};
    bool givenUp_ = false;
};
