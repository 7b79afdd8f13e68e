#pragma once

// Paces the program's "process pending events" calls like vsync: when something was drawn
// since the previous call returned, the next one returns no sooner than one display frame
// after it. A run of 100 drawing steps then takes about 100 frames, slow enough for pupils
// to follow the counters and to hear the clicks one by one.

#include <QElapsedTimer>

class FramePacer {
public:
    FramePacer();

    // From the screen's refresh rate; rates that make no sense fall back to 60 Hz.
    void setRefreshRate(double hertz);
    double frameMilliseconds() const { return frameNanoseconds_ / 1e6; }

    // How long the current call still has to wait before it may return (0 when it may now).
    qint64 nanosecondsToWait() const;
    // The call returns now. Returns that follow each other closely keep an exact cadence
    // (the next frame counts from the previous frame's deadline, not from a late wake-up).
    void markReturn();

private:
    QElapsedTimer clock_;
    qint64 frameNanoseconds_ = 16'666'667;
    qint64 lastReturn_ = -1;
};
