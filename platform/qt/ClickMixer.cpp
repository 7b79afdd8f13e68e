#include "platform/qt/ClickMixer.h"

#include <algorithm>
#include <cstring>

namespace {

// A read that comes late must not push clicks further and further back.
constexpr int kLongestDelayMilliseconds = 50;
// Clicks pile up only when nothing reads them (a stream that hangs while opening); the
// oldest then go, so memory stays bounded. A lesson never has more than a few at once.
constexpr size_t kMostVoices = 64;

} // namespace

ClickMixer::ClickMixer(int sampleRate) : sampleRate_(sampleRate) {}

void ClickMixer::addClick(Clip clip, long delaySamples)
{
    if (!clip || clip->empty())
        return;
    const std::lock_guard<std::mutex> lock(mutex_);
    // The first click after the stream stopped starts the next read; clicks that follow
    // while the stream is still opening keep their distance from it.
    if (!sinceLastRead_.isValid())
        sinceLastRead_.start();
    const long delay = delaySamples >= 0 ? delaySamples : samplesSinceLastRead();
    if (voices_.size() >= kMostVoices)
        voices_.erase(voices_.begin());
    voices_.push_back(Voice{std::move(clip), -delay});
}

long ClickMixer::samplesSinceLastRead() const
{
    const qint64 milliseconds = std::min<qint64>(sinceLastRead_.elapsed(), kLongestDelayMilliseconds);
    return static_cast<long>(milliseconds * sampleRate_ / 1000);
}

bool ClickMixer::isQuiet() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return voices_.empty();
}

void ClickMixer::streamStopped()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    sinceLastRead_.invalidate();
}

QByteArray ClickMixer::read(qint64 maxBytes)
{
    const auto frames = static_cast<size_t>(std::max<qint64>(0, maxBytes / 2));
    std::vector<int32_t> sum(frames, 0);
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        sinceLastRead_.start();
        const auto chunk = static_cast<long>(frames);
        for (Voice& voice : voices_) {
            const auto length = static_cast<long>(voice.clip->size());
            const long from = std::max(0L, -voice.position);   // first frame of this chunk it reaches
            for (long i = from; i < chunk && voice.position + i < length; ++i)
                sum[static_cast<size_t>(i)] += (*voice.clip)[static_cast<size_t>(voice.position + i)];
            voice.position += chunk;
        }
        voices_.erase(std::remove_if(voices_.begin(), voices_.end(),
                                     [](const Voice& voice) {
                                         return voice.position >= static_cast<long>(voice.clip->size());
                                     }),
                      voices_.end());
    }
    QByteArray bytes(static_cast<qsizetype>(frames * 2), Qt::Uninitialized);
    for (size_t i = 0; i < frames; ++i) {
        const auto sample = static_cast<int16_t>(std::clamp<int32_t>(sum[i], INT16_MIN, INT16_MAX));
        std::memcpy(bytes.data() + 2 * i, &sample, sizeof sample);
    }
    return bytes;
}
