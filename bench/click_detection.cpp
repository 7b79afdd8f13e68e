// The click detector (detector/ClickDetector.h) on made-up recordings of a Geiger counter at
// 48 kHz (tests/counter/click_train.h), fed in blocks of 10 ms as an audio source delivers them:
// its CPU time per second of sound (median of the runs) and how late it counts a click after the
// click's onset, in samples of the stream. A binding adds up to one block of its audio source to
// that, since it sees the count only when the block has arrived.
//
//   click_detection [runs]

#include "click_train.h"
#include "detector/ClickDetector.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 21;
    constexpr int kRate = 48000, kBlock = kRate / 100, kSeconds = 120;
    std::printf("\nClick detector at %d Hz, %d s of sound in blocks of %d samples (median of %d runs)\n", kRate, kSeconds,
                kBlock, runs);
    for (const double clicksPerSecond : {0.2, 2.0, 10.0, 50.0}) {
        const ClickTrain train = makeClickTrain({clicksPerSecond, kRate, kSeconds, 0.001, false, 1});
        std::vector<int64_t> counts;
        counts.reserve(train.onsets.size());
        std::vector<double> cpu;
        for (int run = 0; run < runs; ++run) {
            counts.clear();
            ClickDetector detector = StartClickDetector(kRate);
            const double start = cpuSeconds();
            for (size_t at = 0; at < train.samples.size(); at += kBlock)
                DetectClicks(detector, std::span(train.samples).subspan(at, std::min<size_t>(kBlock, train.samples.size() - at)),
                             counts);
            cpu.push_back(cpuSeconds() - start);
        }
        // Each click after the warm-up is matched with the first count at or after it.
        std::vector<double> lateness;
        for (const int64_t onset : train.onsets) {
            const auto count = std::lower_bound(counts.begin(), counts.end(), onset);
            if (onset >= 2 * kRate && count != counts.end() && *count - onset <= kRate / 1000)
                lateness.push_back(static_cast<double>(*count - onset));
        }
        const auto clicks = std::count_if(train.onsets.begin(), train.onsets.end(), [](int64_t o) { return o >= 2 * kRate; });
        const double late = median(lateness), latest = *std::max_element(lateness.begin(), lateness.end());
        std::printf("  %4.1f clicks/s: CPU %5.1f us per second of sound (%.3f %% of a core); %zu counts of %ld clicks;"
                    " late by median %.0f, max %.0f samples (%.3f, %.3f ms)\n",
                    clicksPerSecond, 1e6 * median(cpu) / kSeconds, 100 * median(cpu) / kSeconds, counts.size(),
                    static_cast<long>(clicks), late, latest, 1000 * late / kRate, 1000 * latest / kRate);
    }
}
