#include "platform/web/WebCounter.h"

#include "detector/ClickDetector.h"
#include "platform/web/PageProtocol.h"
#include "platform/web/WebPlatform.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <functional>
#include <span>
#include <vector>

extern "C" {
int pageCounterAsked();
void pageStartCounter();
void pageCounterLog(const char* line);
}

namespace {

// One page, one microphone: the stream the page feeds and where its clicks go.
struct CounterStream {
    ClickDetector detector;
    std::vector<float> block;   // the page writes each block here
    std::vector<int64_t> onsets;
    std::function<void(int sampleRate)> opened;
    std::function<void(std::span<const int64_t> onsets, int64_t heardUpTo)> heard;
    std::function<void()> lost;
};

CounterStream stream;

} // namespace

std::string CounterProblemText(int problem)
{
    return problem == CounterRefused      ? "Der Zugriff auf das Mikrofon wurde verweigert."
           : problem == CounterUnreadable ? "Dieser Browser kann den Mikrofoneingang nicht lesen."
                                          : "Kein Mikrofoneingang gefunden.";
}

void WebPlatform::useCounterIfAsked()
{
    const int asked = pageCounterAsked();
    if (asked & CounterLogAsked)
        setCounterLog([](const std::string& line) { pageCounterLog(line.c_str()); });
    if (!(asked & CounterAsked))
        return;
    stream.opened = [this](int sampleRate) { setCounterOn(true, sampleRate); };
    stream.heard = [this](std::span<const int64_t> onsets, int64_t heardUpTo) { counterHeard(onsets, heardUpTo); };
    stream.lost = [this] { setCounterOn(false); };
    pageStartCounter();
}

// Called by the page, between the program's waits.
extern "C" {

// The microphone's stream begins, in blocks of at most `blockLength` samples: where the page
// is to write them.
EMSCRIPTEN_KEEPALIVE float* webCounterOpened(int sampleRate, int blockLength)
{
    stream.detector = StartClickDetector(sampleRate);
    stream.block.assign(static_cast<size_t>(blockLength), 0.0f);
    stream.onsets.clear();
    stream.opened(sampleRate);
    return stream.block.data();
}

// The next `samples` of the stream are in the block.
EMSCRIPTEN_KEEPALIVE void webCounterHeard(int samples)
{
    const size_t length = std::min(static_cast<size_t>(std::max(samples, 0)), stream.block.size());
    stream.onsets.clear();
    DetectClicks(stream.detector, std::span<const float>(stream.block.data(), length), stream.onsets);
    stream.heard(stream.onsets, stream.detector.position);
}

// The microphone stopped (unplugged, or taken by the system): the lesson is simulated again.
EMSCRIPTEN_KEEPALIVE void webCounterLost()
{
    stream.lost();
}

}
