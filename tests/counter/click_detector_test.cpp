// The click detector on made-up recordings whose clicks are known (click_train.h), at click
// rates from one every five seconds to 50 a second and at sample rates from 8 to 192 kHz. Every
// count must lie at a click's onset, not before it and at most 1 ms after it: none in the first
// two seconds, in the silence or in the noise alone. No two counts lie within the dead time.
// Every click that starts well clear of the others (4 ms after they fell silent) is counted; one
// that starts in another's ring may merge into it. The stream fed in odd-sized blocks gives the
// very counts it gives in one piece.

#include "click_train.h"

#include "detector/ClickDetector.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<int64_t> detect(const std::vector<float>& samples, int sampleRate, std::vector<size_t> blockSizes)
{
    ClickDetector detector = StartClickDetector(sampleRate);
    std::vector<int64_t> onsets;
    for (size_t at = 0, block = 0; at < samples.size(); at += blockSizes[block++ % blockSizes.size()]) {
        const size_t length = std::min(blockSizes[block % blockSizes.size()], samples.size() - at);
        DetectClicks(detector, std::span(samples).subspan(at, length), onsets);
    }
    return onsets;
}

TEST(ClickDetectorTest, CountsEachClickOnceAtItsOnsetAndNothingElse)
{
    const ClickTrainSettings table[] = {
        // clicks/s, sample rate, seconds, noise RMS, pink noise, seed, DC offset
        {0.2, 48000, 160, 0.001, false, 1}, {2, 44100, 40, 0.001, true, 2}, {10, 8000, 30, 0.001, false, 3, 0.02},
        {10, 192000, 12, 0.002, true, 4}, {50, 48000, 20, 0.001, true, 5}, {50, 22050, 20, 0.002, false, 6, -0.01},
        {5, 48000, 30, 0.0, false, 7}};
    for (const ClickTrainSettings& row : table) {
        SCOPED_TRACE(testing::Message() << row.clicksPerSecond << " clicks/s at " << row.sampleRate << " Hz");
        const ClickTrain train = makeClickTrain(row);
        const std::vector<int64_t> counts = detect(train.samples, row.sampleRate, {1, 333, 4096, 2, 1031, 47, 480});
        EXPECT_EQ(counts, detect(train.samples, row.sampleRate, {train.samples.size()}));
        const int64_t ms = row.sampleRate / 1000, warmUp = 2 * row.sampleRate;
        std::vector<int64_t> strays, missed;
        for (const int64_t count : counts) {
            const auto after = std::upper_bound(train.onsets.begin(), train.onsets.end(), count);
            if (after == train.onsets.begin() || after[-1] < warmUp || count - after[-1] > ms)
                strays.push_back(count);
        }
        int64_t silentFrom = 0;
        for (size_t i = 0; i < train.onsets.size(); silentFrom = std::max(silentFrom, train.ends[i++])) {
            const auto count = std::lower_bound(counts.begin(), counts.end(), train.onsets[i]);
            if (train.onsets[i] >= std::max(warmUp, silentFrom + 4 * ms) && (count == counts.end() || *count - train.onsets[i] > ms))
                missed.push_back(train.onsets[i]);
        }
        EXPECT_EQ(strays, std::vector<int64_t>{}) << "counts without a click just before them";
        EXPECT_EQ(missed, std::vector<int64_t>{}) << "clicks clear of the others left uncounted";
        EXPECT_TRUE(std::adjacent_find(counts.begin(), counts.end(), [&](int64_t a, int64_t b) { return b - a < 2 * ms; })
                    == counts.end()) << "two counts within the dead time";
    }
}

} // namespace
