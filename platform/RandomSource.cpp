#include "platform/RandomSource.h"

#include <cstring>

namespace {

// SplitMix64's finaliser: a bijective 64-bit mix with full avalanche.
uint64_t mix64(uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

constexpr uint64_t kGoldenGamma = 0x9e3779b97f4a7c15ULL;

} // namespace

void RandomSource::mixSeed(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    // The state stays a point on the Weyl sequence's orbit moved by a hash of the seed,
    // so equal seeds given at different moments lead to different places.
    state_ = mix64(state_ ^ mix64(bits + kGoldenGamma));
}

uint64_t RandomSource::next64()
{
    state_ += kGoldenGamma;
    return mix64(state_);
}

double RandomSource::nextDouble()
{
    return static_cast<double>(next64() >> 11) * 0x1.0p-53;
}
