#include "platform/qt/FramePacer.h"

FramePacer::FramePacer()
{
    clock_.start();
}

void FramePacer::setRefreshRate(double hertz)
{
    if (!(hertz >= 20.0 && hertz <= 500.0))
        hertz = 60.0;
    frameNanoseconds_ = static_cast<qint64>(1e9 / hertz);
}

qint64 FramePacer::nanosecondsToWait() const
{
    if (lastReturn_ < 0)
        return 0;
    const qint64 remaining = lastReturn_ + frameNanoseconds_ - clock_.nsecsElapsed();
    return remaining > 0 ? remaining : 0;
}

void FramePacer::markReturn()
{
    const qint64 now = clock_.nsecsElapsed();
    const qint64 deadline = lastReturn_ + frameNanoseconds_;
    // A wake-up a little after the deadline keeps the cadence; a long pause starts afresh.
    if (lastReturn_ >= 0 && now >= deadline && now - deadline < frameNanoseconds_ / 4)
        lastReturn_ = deadline;
    else
        lastReturn_ = now;
}
