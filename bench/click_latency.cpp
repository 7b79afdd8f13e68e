// Plays the detector's click through the program's own ClickSound, at irregular and
// known moments, and prints the moment of every play request on CLOCK_MONOTONIC (the
// clock Python's time.monotonic() reads), one line "play <seconds>" each. The benchmark
// script records the sound sink meanwhile and finds each click's onset in the recording.
//
//   click_latency <wav file> [clicks] [held ms]
//
// The gaps between clicks (60..160 ms, fixed pseudo-random sequence) are irregular so that
// an onset cannot be matched to the wrong request, and so that the requests fall on every
// phase of the sound stream's 10 ms feed. They stay far below the stream's two quiet
// seconds: only the first click opens the stream, as in a measurement run. The event loop
// runs between clicks, as it does between the steps of a run.
// With "held ms", the program's thread is held up that long (busy, without events) shortly
// after each click, at a phase that varies from click to click: a step whose drawing or a
// machine whose load keeps the event loop from running.

#include "platform/qt/ClickSound.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

class ClickSchedule : public QObject {
public:
    ClickSchedule(ClickSound& sound, QString file, int clicks, int heldMilliseconds)
        : sound_(sound), file_(std::move(file)), remaining_(clicks), held_(heldMilliseconds)
    {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, [this] { playNext(); });
    }

    void start(int afterMilliseconds) { timer_.start(afterMilliseconds); }

private:
    void playNext()
    {
        std::printf("play %.6f\n", monotonicSeconds());
        sound_.play(file_);
        if (held_ > 0)
            QTimer::singleShot(static_cast<int>(seed_ >> 8) % 20, Qt::PreciseTimer, this, [this] { holdUp(); });
        if (--remaining_ <= 0) {
            // Time for the last click to sound and be recorded before the stream closes.
            QTimer::singleShot(800, qApp, &QCoreApplication::quit);
            return;
        }
        // A small linear congruential sequence: the same gaps on every run.
        seed_ = seed_ * 1103515245u + 12345u;
        timer_.start(60 + static_cast<int>((seed_ >> 16) % 101));
    }

    void holdUp() const
    {
        QElapsedTimer held;
        held.start();
        while (held.elapsed() < held_) {
        }
    }

    ClickSound& sound_;
    QString file_;
    int remaining_;
    int held_;
    uint32_t seed_ = 2024;
    QTimer timer_;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: click_latency <wav file> [clicks] [held ms]\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    const int clicks = argc > 2 ? std::atoi(argv[2]) : 80;
    ClickSound sound;
    ClickSchedule schedule(sound, QString::fromLocal8Bit(argv[1]), clicks, argc > 3 ? std::atoi(argv[3]) : 0);
    // The recorder is running by now; a short lead-in keeps the first onset clear of its start.
    schedule.start(300);
    const int status = app.exec();
    std::fflush(stdout);
    return status;
}
