#include "click_train.h"

#include "platform/RandomSource.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>

ClickTrain makeClickTrain(const ClickTrainSettings& settings)
{
    RandomSource random(settings.seed);
    const auto uniform = [&](double low, double high) { return low + (high - low) * random.nextDouble(); };
    const double rate = settings.sampleRate, pi = std::numbers::pi;
    const int64_t total = std::llround(settings.seconds * rate), silence = total / 2,
                  noiseAlone = silence + settings.sampleRate, quietEnd = noiseAlone + settings.sampleRate;
    ClickTrain train{std::vector<float>(static_cast<size_t>(total)), {}, {}};
    double b0 = 0, b1 = 0, b2 = 0;   // Paul Kellet's pink noise filter, about 3 times as loud as its input
    for (int64_t i = settings.sampleRate / 20; i < total; ++i) {
        const double white = std::sqrt(-2 * std::log(1 - random.nextDouble())) * std::cos(2 * pi * random.nextDouble());
        b0 = 0.99765 * b0 + white * 0.0990460, b1 = 0.96300 * b1 + white * 0.2965164, b2 = 0.57 * b2 + white * 1.0526913;
        const double noise = settings.noiseRms * (settings.pinkNoise ? (b0 + b1 + b2 + white * 0.1848) / 3 : white);
        train.samples[static_cast<size_t>(i)] = static_cast<float>(settings.offset + (i >= silence && i < noiseAlone ? white / 32768 : noise));
    }
    const auto gap = [&] { return -std::log(1 - random.nextDouble()) / settings.clicksPerSecond; };
    for (double t = 0.05 + gap(); t * rate < static_cast<double>(total); t += gap()) {
        const double height = 0.05 * std::pow(6.0, random.nextDouble()) * (random.nextDouble() < 0.5 ? -1 : 1);
        const bool ring = random.nextDouble() < 0.75;
        const double length = ring ? uniform(0.001, 0.005) : uniform(0.0001, 0.0005);
        const double frequency = std::min(uniform(1000, 4000), 0.4 * rate);
        const auto onset = static_cast<int64_t>(t * rate), end = std::min(total, onset + std::max<int64_t>(1, std::llround(length * rate)));
        if (end > silence && onset < quietEnd)
            continue;
        for (int64_t i = onset; i < end; ++i) {
            const double at = static_cast<double>(i - onset) / rate;
            train.samples[static_cast<size_t>(i)] +=
                static_cast<float>(ring ? height * std::exp(-5 * at / length) * std::sin(2 * pi * frequency * at) : height);
        }
        train.onsets.push_back(onset);
        train.ends.push_back(end);
    }
    return train;
}

std::string wavFile(uint16_t channels, uint32_t rate, uint16_t bits, const std::vector<int16_t>& samples, uint16_t format)
{
    const auto put = [](std::string& to, size_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            to += static_cast<char>(value >> (8 * i));   // little-endian, whatever the machine
    };
    std::string pcm, file = "RIFF";
    for (const int16_t sample : samples)
        put(pcm, static_cast<uint16_t>(sample), bits == 8 ? 1 : 2);
    put(file, 36 + pcm.size(), 4);
    file += "WAVEfmt ";   // the format: 16 bytes saying its kind, the channels, the rate, bytes per second and per frame, bits
    for (const auto& [value, bytes] : {std::pair<size_t, int>{16, 4}, {format, 2}, {channels, 2}, {rate, 4},
                                       {size_t{rate} * channels * bits / 8, 4}, {channels * bits / 8, 2}, {bits, 2}})
        put(file, value, bytes);
    file += "data";
    put(file, pcm.size(), 4);
    return file + pcm;
}

void writeWav(const std::string& path, const std::vector<float>& samples, int sampleRate)
{
    std::vector<int16_t> pcm;
    for (const float sample : samples)
        pcm.push_back(static_cast<int16_t>(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767)));
    std::ofstream(path, std::ios::binary) << wavFile(1, static_cast<uint32_t>(sampleRate), 16, pcm);
}
