#pragma once

// Made-up recordings of a Geiger counter with known clicks, for the click detector's tests and
// benchmark and as a virtual microphone's sound (make_click_train), deterministic from the seed;
// and the WAV files the Qt binding's click tests decode.
//
// The clicks come as a Poisson process over white or pink noise, each 1:6 in height (0.05 to
// 0.3) and of either polarity: three in four a ring of 1 to 4 kHz decaying over 1 to 5 ms, the
// rest a flat pulse of 0.1 to 0.5 ms. The recording starts with 50 ms of zeros, as a device
// gives while it starts; from the middle on it has one second of silence (1 bit of dither) and
// one second of noise without clicks.

#include <cstdint>
#include <string>
#include <vector>

struct ClickTrainSettings {
    double clicksPerSecond = 10;
    int sampleRate = 48000;
    double seconds = 30;
    double noiseRms = 0.001;   // 0: a dead-silent input
    bool pinkNoise = false;
    uint64_t seed = 1;
    double offset = 0;         // a sound card's DC offset, after the start
};

struct ClickTrain {
    std::vector<float> samples;
    std::vector<int64_t> onsets;   // each click's first sample, in order
    std::vector<int64_t> ends;     // and the sample after its last
};

ClickTrain makeClickTrain(const ClickTrainSettings& settings);

// A WAV file's bytes: each sample's low byte (8 bits, unsigned as WAV has it) or both, channels
// interleaved; format 1 is PCM.
std::string wavFile(uint16_t channels, uint32_t rate, uint16_t bits, const std::vector<int16_t>& samples, uint16_t format = 1);

// 16-bit PCM, mono.
void writeWav(const std::string& path, const std::vector<float>& samples, int sampleRate);
