#include "core/Canvas.h"

#include "core/ProgramState.h"
#include "platform/Platform.h"

namespace {

// v * size / base with a 64-bit product, truncated toward zero as integer division does.
int scaleToPixels(int16_t v, int size, int16_t base)
{
    const int64_t product = static_cast<int64_t>(v) * static_cast<int64_t>(size);
    return static_cast<int>(product / base);
}

} // namespace

int ScaleX(int16_t v)
{
    return scaleToPixels(v, platform().drawingWidth(), state.xBase);
}

int ScaleY(int16_t v)
{
    return scaleToPixels(v, platform().drawingHeight(), state.yBase);
}

double FontPoints(double k)
{
    return k * static_cast<double>(platform().drawingWidth()) / 800.0;
}

void InitCanvas()
{
    clearHistogram();
    state.demoDone = 0;
    state.rateParameter = 10.0;
    state.yBase = 200;
    state.pixelsPerUnitY = static_cast<double>(platform().drawingHeight()) / state.yBase;
    state.xBase = 320;
}
