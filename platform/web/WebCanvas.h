#pragma once

// The drawing area's pixels by the desktop canvas's rules (platform/qt/PixelCanvas): a
// shape lands on exactly the pixels its integer coordinates name, with no antialiasing.
// Those pixels are worked out here and filled on the page's canvas as device-pixel
// rectangles, so they are the same at any pixel ratio; text and pictures are drawn by the
// browser. Coordinates are logical (CSS) pixels; the backing store holds logical size times
// the device pixel ratio.

#include "platform/Platform.h"
#include "platform/web/FontMetrics.h"

#include <cstdint>
#include <string>

struct Pixel {
    int x = 0;
    int y = 0;
};

class WebCanvas {
public:
    explicit WebCanvas(FontMetrics metrics);

    // Halves go up, also for negative values, so x - r and x + r stay 2r apart.
    static int pixelOf(double coordinate);

    int width() const { return width_; }
    int height() const { return height_; }
    double ratio() const { return ratio_; }
    // The page gives the area another size (or pixel ratio) than the canvas has: it is shown
    // scaled until the canvas follows.
    bool showsScaled() const;
    // Takes the page's size for the area, with the old content scaled into it.
    void followPage();

    void setForeground(Colour colour) { foreground_ = colour; }
    void setBackground(Colour colour) { background_ = colour; }
    void setLineWidth(int pixels) { lineWidth_ = pixels < 1 ? 1 : pixels; }
    void setFontPoints(double points) { cell_ = metrics_.cellAt(points); }
    // On: glyphs only. Off: each text's cells are filled with the background colour first.
    void setTransparentText(bool on) { transparentText_ = on; }

    void clear(Colour colour);
    void drawLine(Pixel from, Pixel to);
    // Outline through the columns and rows of both corners; a thick one as four bands.
    void drawRectangle(Pixel corner1, Pixel corner2);
    void fillRectangle(Pixel corner1, Pixel corner2);
    void drawDisc(Pixel centre, double radius);
    void drawText(Pixel topLeft, const std::string& text);
    TextCell textCell() const { return TextCell{cell_.averageWidth, cell_.height()}; }
    int textWidth(const std::string& text) const;
    void setTextCursor(int column, int row);
    void printLine(const std::string& text);
    // Both corners included, in device pixels.
    ImageString capture(Pixel corner1, Pixel corner2) const;
    void putImage(Pixel topLeft, const ImageString& image);
    void drawPicture(int picture, Pixel topLeft, int width, int height);

    // Grows with every drawing operation: "was anything drawn since ...?"
    uint64_t changeCount() const { return changeCount_; }

private:
    int device(double logical) const;
    // Fills the logical pixels from (left, top) to (right, bottom), both included.
    void fillPixels(int left, int top, int right, int bottom, Colour colour);

    FontMetrics metrics_;
    FontMetrics::Cell cell_;
    int width_ = 0;
    int height_ = 0;
    double ratio_ = 1.0;
    Colour foreground_ = makeColour(0, 0, 0);
    Colour background_ = makeColour(255, 255, 255);
    int lineWidth_ = 1;
    bool transparentText_ = false;
    Pixel textCursor_;
    int textRowHeight_ = 0;
    uint64_t changeCount_ = 0;
};
