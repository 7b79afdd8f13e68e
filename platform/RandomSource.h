#pragma once

#include <cstdint>

// The generator behind Platform::random(), shared by every binding.
// The program reseeds from a timer before every draw. Restarting the stream on
// each seed would hand out the same number again whenever the timer has not moved,
// so a seed is mixed into the running state instead: consecutive draws stay
// independent whatever the timer's resolution.
class RandomSource {
public:
    explicit RandomSource(uint64_t start = 0x5eed5eed5eed5eedULL) : state_(start) {}

    void mixSeed(double value);
    // Uniform in [0, 1), from the top 53 bits of one 64-bit output.
    double nextDouble();
    uint64_t next64();

private:
    uint64_t state_;
};
