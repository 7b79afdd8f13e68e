#include "platform/qt/ClickMixer.h"

#include <algorithm>
#include <cstring>

namespace {

// A pull that comes late must not push clicks further and further back.
constexpr int kLongestDelayMilliseconds = 50;

} // namespace

ClickMixer::ClickMixer(int sampleRate, QObject* parent) : QIODevice(parent), sampleRate_(sampleRate)
{
    // Unbuffered: QIODevice would otherwise read ahead 16 KB (0.2 s) of sound at once,
    // and a click asked for now would wait behind it.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void ClickMixer::addClick(Clip clip, long delaySamples)
{
    if (!clip || clip->empty())
        return;
    const std::lock_guard<std::mutex> lock(mutex_);
    const long delay = delaySamples >= 0 ? delaySamples : samplesSinceLastPull();
    voices_.push_back(Voice{std::move(clip), -delay});
}

long ClickMixer::samplesSinceLastPull() const
{
    if (!sinceLastPull_.isValid())
        return 0;
    const qint64 milliseconds = std::min<qint64>(sinceLastPull_.elapsed(), kLongestDelayMilliseconds);
    return static_cast<long>(milliseconds * sampleRate_ / 1000);
}

bool ClickMixer::isQuiet() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return voices_.empty();
}

qint64 ClickMixer::bytesAvailable() const
{
    // Endless: there is always another buffer of (possibly silent) sound.
    return 1 << 16;
}

qint64 ClickMixer::readData(char* data, qint64 maxSize)
{
    const auto frames = static_cast<size_t>(maxSize / 2);
    std::vector<int32_t> sum(frames, 0);
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        sinceLastPull_.start();
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
    for (size_t i = 0; i < frames; ++i) {
        const auto sample = static_cast<int16_t>(std::clamp<int32_t>(sum[i], INT16_MIN, INT16_MAX));
        std::memcpy(data + 2 * i, &sample, sizeof sample);
    }
    return static_cast<qint64>(frames * 2);
}

qint64 ClickMixer::writeData(const char*, qint64)
{
    return -1;
}
