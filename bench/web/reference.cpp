// The benchmarks' yardstick: the smallest Emscripten page that paints one canvas, one file
// with the WebAssembly inside as the browser edition is. On demand it also steps: one number
// drawn per animation frame, as fast as the browser hands out frames.
#include <emscripten.h>
#include <emscripten/html5.h>

EM_JS(void, paintCanvas, (), {
    const canvas = document.getElementById('canvas');
    const context = canvas.getContext('2d');
    context.fillStyle = 'rgb(51, 168, 238)';
    context.fillRect(0, 0, canvas.width, canvas.height);
    context.fillStyle = 'white';
    context.font = '24px serif';
    context.fillText('Weiter ?  <RETURN>', 400, 440);
    window.referencePainted = true;
});

EM_JS(void, forgetSteps, (), {
    window.referenceSteps = [];
});

// Each step's frame time, as the browser hands it to the frame.
EM_JS(void, drawStep, (int step, double frameTime), {
    const context = document.getElementById('canvas').getContext('2d');
    context.fillStyle = 'rgb(51, 168, 238)';
    context.fillRect(20, 20, 120, 40);
    context.fillStyle = 'white';
    context.fillText(String(step), 30, 50);
    window.referenceSteps.push(frameTime);
});

namespace {

int stepsLeft = 0;

EM_BOOL step(double frameTime, void*)
{
    drawStep(stepsLeft, frameTime);
    return --stepsLeft > 0;
}

} // namespace

// Draws `count` steps, one per animation frame; their frame times gather in window.referenceSteps.
extern "C" EMSCRIPTEN_KEEPALIVE void runSteps(int count)
{
    forgetSteps();
    stepsLeft = count;
    emscripten_request_animation_frame_loop(step, nullptr);
}

int main()
{
    paintCanvas();
    return 0;
}
