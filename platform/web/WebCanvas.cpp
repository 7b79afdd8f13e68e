#include "platform/web/WebCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// The page's side: platform/web/page/surface.js.

extern "C" {
void surfaceArea(int* size, double* ratio);
void surfaceResize(int width, int height, int keepContent);
void surfaceFill(int x, int y, int width, int height, int colour);
void surfaceText(double x, double baseline, const char* text, double pixels, int colour);
double surfaceMeasure(const char* text, int pixels);
void surfaceRead(int x, int y, int width, int height, Colour* target);
void surfaceWrite(int x, int y, int width, int height, const Colour* source);
void surfacePicture(int picture, double x, double y, double width, double height);
}

namespace {

struct PageArea {
    int width = 0;
    int height = 0;
    double ratio = 1.0;
};

PageArea pageArea()
{
    int size[2] = {0, 0};
    PageArea area;
    surfaceArea(size, &area.ratio);
    area.width = size[0];
    area.height = size[1];
    return area;
}

} // namespace

WebCanvas::WebCanvas(FontMetrics metrics) : metrics_(metrics), cell_(metrics_.cellAt(12.0))
{
    const PageArea area = pageArea();
    width_ = area.width;
    height_ = area.height;
    ratio_ = area.ratio;
    surfaceResize(device(width_), device(height_), 0);
    clear(makeColour(255, 255, 255));
}

int WebCanvas::pixelOf(double coordinate)
{
    return static_cast<int>(std::floor(coordinate + 0.5));
}

int WebCanvas::device(double logical) const
{
    return pixelOf(logical * ratio_);
}

bool WebCanvas::showsScaled() const
{
    const PageArea area = pageArea();
    return area.width != width_ || area.height != height_ || area.ratio != ratio_;
}

void WebCanvas::followPage()
{
    const PageArea area = pageArea();
    if (area.width == width_ && area.height == height_ && area.ratio == ratio_)
        return;
    width_ = area.width;
    height_ = area.height;
    ratio_ = area.ratio;
    surfaceResize(device(width_), device(height_), 1);
    ++changeCount_;
}

void WebCanvas::fillPixels(int left, int top, int right, int bottom, Colour colour)
{
    if (right < left || bottom < top)
        return;
    const int x = device(left);
    const int y = device(top);
    surfaceFill(x, y, device(right + 1) - x, device(bottom + 1) - y, colour);
}

void WebCanvas::clear(Colour colour)
{
    surfaceFill(0, 0, device(width_), device(height_), colour);
    ++changeCount_;
}

void WebCanvas::drawLine(Pixel from, Pixel to)
{
    // Bresenham's pixels from end to end, both included. Each run along the main direction is
    // one band of the line's width, centred as drawRectangle's bands are (square ends).
    const int before = (lineWidth_ - 1) / 2;
    const int after = lineWidth_ - 1 - before;
    const int dx = std::abs(to.x - from.x);
    const int dy = -std::abs(to.y - from.y);
    const int stepX = from.x < to.x ? 1 : -1;
    const int stepY = from.y < to.y ? 1 : -1;
    const bool alongX = dx >= -dy;
    int error = dx + dy;
    Pixel runStart = from;
    Pixel at = from;
    for (;;) {
        const bool last = at.x == to.x && at.y == to.y;
        Pixel next = at;
        if (!last) {
            const int doubled = 2 * error;
            if (doubled >= dy) {
                error += dy;
                next.x += stepX;
            }
            if (doubled <= dx) {
                error += dx;
                next.y += stepY;
            }
        }
        if (last || (alongX ? next.y != runStart.y : next.x != runStart.x)) {
            fillPixels(std::min(runStart.x, at.x) - before, std::min(runStart.y, at.y) - before,
                       std::max(runStart.x, at.x) + after, std::max(runStart.y, at.y) + after, foreground_);
            runStart = next;
        }
        if (last)
            break;
        at = next;
    }
    ++changeCount_;
}

void WebCanvas::drawRectangle(Pixel corner1, Pixel corner2)
{
    // A band of width w is centred on the edge, one more pixel outside than inside when w is even.
    const int boxLeft = std::min(corner1.x, corner2.x);
    const int boxRight = std::max(corner1.x, corner2.x);
    const int boxTop = std::min(corner1.y, corner2.y);
    const int boxBottom = std::max(corner1.y, corner2.y);
    const int before = (lineWidth_ - 1) / 2;
    const int after = lineWidth_ - 1 - before;
    const int left = boxLeft - before;
    const int top = boxTop - before;
    const int right = boxRight + after;
    const int bottom = boxBottom + after;
    fillPixels(left, top, right, boxTop + after, foreground_);
    fillPixels(left, boxBottom - before, right, bottom, foreground_);
    fillPixels(left, top, boxLeft + after, bottom, foreground_);
    fillPixels(boxRight - before, top, right, bottom, foreground_);
    ++changeCount_;
}

void WebCanvas::fillRectangle(Pixel corner1, Pixel corner2)
{
    fillPixels(std::min(corner1.x, corner2.x), std::min(corner1.y, corner2.y), std::max(corner1.x, corner2.x),
               std::max(corner1.y, corner2.y), foreground_);
    ++changeCount_;
}

void WebCanvas::drawDisc(Pixel centre, double radius)
{
    radius = std::abs(radius);
    // Row spans of the pixels with dx² + dy² <= r² + r, the midpoint rule that gives round
    // small dots. It never reaches past floor(r), so a capture of centre ± r holds the disc.
    const double limit = radius * radius + radius;
    const int reach = static_cast<int>(std::floor(radius));
    for (int dy = -reach; dy <= reach; ++dy) {
        const int half = static_cast<int>(std::floor(std::sqrt(limit - dy * dy)));
        fillPixels(centre.x - half, centre.y + dy, centre.x + half, centre.y + dy, foreground_);
    }
    ++changeCount_;
}

void WebCanvas::drawText(Pixel topLeft, const std::string& text)
{
    if (text.empty())
        return;
    if (!transparentText_) {
        fillPixels(topLeft.x, topLeft.y, topLeft.x + textWidth(text) - 1, topLeft.y + cell_.height() - 1,
                   background_);
    }
    surfaceText(topLeft.x * ratio_, (topLeft.y + cell_.ascent) * ratio_, text.c_str(), cell_.pixelSize * ratio_,
                foreground_);
    ++changeCount_;
}

int WebCanvas::textWidth(const std::string& text) const
{
    return pixelOf(surfaceMeasure(text.c_str(), cell_.pixelSize));
}

void WebCanvas::setTextCursor(int column, int row)
{
    const TextCell cell = textCell();
    textCursor_ = Pixel{(column - 1) * cell.width, (row - 1) * cell.height};
    textRowHeight_ = cell.height;
}

void WebCanvas::printLine(const std::string& text)
{
    drawText(textCursor_, text);
    textCursor_ = Pixel{0, textCursor_.y + textRowHeight_};
}

ImageString WebCanvas::capture(Pixel corner1, Pixel corner2) const
{
    const int left = std::min(corner1.x, corner2.x);
    const int top = std::min(corner1.y, corner2.y);
    ImageString result;
    result.width = device(std::abs(corner2.x - corner1.x) + 1);
    result.height = device(std::abs(corner2.y - corner1.y) + 1);
    if (result.empty())
        return result;
    result.pixels.resize(static_cast<size_t>(result.width) * static_cast<size_t>(result.height));
    surfaceRead(device(left), device(top), result.width, result.height, result.pixels.data());
    return result;
}

void WebCanvas::putImage(Pixel topLeft, const ImageString& image)
{
    if (image.empty()
        || image.pixels.size() < static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
        return;
    surfaceWrite(device(topLeft.x), device(topLeft.y), image.width, image.height, image.pixels.data());
    ++changeCount_;
}

void WebCanvas::drawPicture(int picture, Pixel topLeft, int width, int height)
{
    if (picture <= 0 || width <= 0 || height <= 0)
        return;
    surfacePicture(picture, topLeft.x * ratio_, topLeft.y * ratio_, width * ratio_, height * ratio_);
    ++changeCount_;
}
