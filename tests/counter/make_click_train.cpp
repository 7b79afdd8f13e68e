// make_click_train OUT.wav [clicks per second] [sample rate] [seconds] [seed]
// Writes a made-up recording of a Geiger counter (click_train.h) for a virtual microphone and
// prints the onsets of its clicks, one sample position a line.

#include "click_train.h"

#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 6) {
        std::cerr << "usage: make_click_train OUT.wav [clicks per second] [sample rate] [seconds] [seed]\n";
        return 2;
    }
    ClickTrainSettings settings;
    settings.clicksPerSecond = argc > 2 ? std::stod(argv[2]) : settings.clicksPerSecond;
    settings.sampleRate = argc > 3 ? std::stoi(argv[3]) : settings.sampleRate;
    settings.seconds = argc > 4 ? std::stod(argv[4]) : settings.seconds;
    settings.seed = argc > 5 ? std::stoull(argv[5]) : settings.seed;
    const ClickTrain train = makeClickTrain(settings);
    writeWav(argv[1], train.samples, settings.sampleRate);
    for (const int64_t onset : train.onsets)
        std::cout << onset << '\n';
}
