#include "platform/qt/ClickMixer.h"

#include <algorithm>
#include <cstring>

ClickMixer::ClickMixer(QObject* parent) : QIODevice(parent)
{
    // Unbuffered: QIODevice would otherwise read ahead 16 KB (0.2 s) of sound at once,
    // and a click asked for now would wait behind it.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void ClickMixer::addClick(Clip clip)
{
    if (!clip || clip->empty())
        return;
    const std::lock_guard<std::mutex> lock(mutex_);
    voices_.push_back(Voice{std::move(clip), 0});
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
        for (Voice& voice : voices_) {
            const size_t count = std::min(frames, voice.clip->size() - voice.position);
            for (size_t i = 0; i < count; ++i)
                sum[i] += (*voice.clip)[voice.position + i];
            voice.position += count;
        }
        voices_.erase(std::remove_if(voices_.begin(), voices_.end(),
                                     [](const Voice& voice) { return voice.position >= voice.clip->size(); }),
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
