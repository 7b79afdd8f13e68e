// A real counter at the audio input: its bytes, cut anywhere, become counted clicks and a level.
// Without an input device the teacher is told, with the unusable files (binding_test).

#include "platform/qt/CounterInput.h"

#include <gtest/gtest.h>

#include <cmath>

// Two seconds of silence, the detector's warm-up, then seven 1 ms pulses at half full scale,
// 50 ms apart: 16-bit samples handed over in blocks of an odd number of bytes.
TEST(CounterInput, SixteenBitSamplesCutAnywhereBecomeCountedClicks)
{
    QAudioFormat format;
    format.setSampleRate(8000);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    std::vector<int64_t> onsets;
    int64_t heard = 0;
    CounterInput input(format, [&](std::span<const int64_t> found, int64_t upTo) {
        onsets.insert(onsets.end(), found.begin(), found.end());
        heard = upTo;
    });
    std::vector<int16_t> samples(3 * 8000);
    for (size_t k = 0; k < 7; ++k)
        std::fill_n(samples.begin() + static_cast<std::ptrdiff_t>(16000 + 400 * k), 8, int16_t{16384});
    const QByteArray bytes(reinterpret_cast<const char*>(samples.data()), static_cast<qsizetype>(samples.size() * 2));
    for (qsizetype at = 0; at < bytes.size(); at += 333)
        input.take(bytes.mid(at, 333));
    // The level: the loudest sample since the last look, then nothing.
    EXPECT_EQ((std::tuple{onsets.size(), onsets.back() - onsets.front(), heard, std::round(input.takeLevel() * 1000), input.takeLevel()}),
              (std::tuple{size_t{7}, int64_t{2400}, int64_t{24000}, 500.0f, 0.0f}));
}
