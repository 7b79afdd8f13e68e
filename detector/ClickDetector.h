#pragma once

// Finds the clicks of a real Geiger–Müller counter in the sound of a microphone or a line
// input, so that a counter on the desk can register the particles of a run. It knows nothing
// of audio devices: each binding feeds it the mono samples (-1..1) its audio source delivers,
// at the device's rate (8 to 192 kHz), in blocks of any size, and it reports every click's
// onset as a position in the stream (the stream's first sample is 0).
//
// How a click is told from the noise:
// - The samples pass a first-order high-pass at 300 Hz. It takes off a sound card's DC offset
//   and weakens mains hum (by 16 dB at 50 Hz) and the rumble of the room; a click's crack and
//   ring lie in the kHz.
// - The first two seconds measure the noise floor and count nothing. The floor is the lower
//   quartile of the RMS of that time's 10 ms pieces: a counter already clicking at 50/s leaves
//   about half of them untouched, so its clicks do not raise the floor, and a device's silence
//   while it starts does not lower it unless it lasts half a second.
// - The threshold is 8 times the floor, which white or pink noise hardly ever reaches (a
//   Gaussian exceeds 8 sigma with a probability of 1e-15 per sample). It is at least 0.002
//   (-54 dBFS, 65 steps of 16-bit sound), so a dead-silent input counts no dither. A click's
//   first peak must reach it: it must stand 18 dB above the noise.
// - A click counts at the first sample whose magnitude reaches the threshold, within its first
//   quarter swing. The detector is then deaf for the dead time, 2 ms, and after it until the
//   held envelope (the magnitude's peaks, falling with a time constant of 0.5 ms) is below half
//   the threshold: a click counts once however long it rings and whichever way it swings.
//   Two clicks closer than the dead time count once, as with a counter's own dead time, and so
//   does a click that starts while an earlier one still rings above half the threshold.
//
// The work per sample is a few multiplications and comparisons; nothing is allocated once the
// caller's list of onsets has grown to the most clicks one of its blocks holds.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

struct ClickDetector {
    // Fixed by the sample rate.
    float highPassFactor = 0;     // y[n] = a * (y[n-1] + x[n] - x[n-1])
    float envelopeRelease = 0;    // the held envelope's factor per sample
    int64_t warmUpEnd = 0;        // the first sample that may count
    int64_t deadTime = 0;         // in samples
    int32_t pieceLength = 0;      // samples of one piece of the floor's measurement

    // The noise floor, measured in the warm-up.
    std::array<float, 200> pieceMeanSquares{};
    int32_t piecesMeasured = 0;
    int32_t pieceFill = 0;
    double pieceSum = 0;
    float threshold = 0;

    // The stream so far.
    int64_t position = 0;         // of the next sample
    float previousInput = 0;
    float highPassed = 0;
    float envelope = 0;
    int64_t lastOnset = 0;
    bool armed = false;
};

// A detector for a new stream at `sampleRate` samples per second.
ClickDetector StartClickDetector(int sampleRate);

// Runs the next block of the stream through the detector and appends the onsets of the clicks
// that begin in it to `onsets`, in order.
void DetectClicks(ClickDetector& detector, std::span<const float> samples, std::vector<int64_t>& onsets);
