// The benchmarks' yardstick: the smallest Emscripten page that paints one canvas, one file
// with the WebAssembly inside as the browser edition is.
#include <emscripten.h>

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

int main()
{
    paintCanvas();
    return 0;
}
