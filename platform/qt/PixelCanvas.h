#pragma once

// The drawing area's pixels: one QImage the size of the area times the device pixel
// ratio, painted without antialiasing so that a shape lands on exactly the pixels its
// integer coordinates name. Every operation marks what it changed; the widget that shows
// the canvas copies only those parts to the screen.
//
// Coordinates are device-independent pixels. Fractional coordinates are rounded by
// pixelOf() everywhere, so a capture and a put at the same corner meet exactly.

#include "platform/Platform.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>

class PixelCanvas {
public:
    PixelCanvas(QSize logicalSize, qreal devicePixelRatio, QColor fill = Qt::white);

    static int pixelOf(double coordinate);
    static QColor toQColor(Colour colour);
    static Colour toColour(QRgb rgb);

    QSize size() const { return logicalSize_; }
    qreal devicePixelRatio() const { return image_.devicePixelRatio(); }
    const QImage& image() const { return image_; }
    // The colour at a logical pixel (its top-left device pixel on HiDPI screens).
    Colour colourAt(int x, int y) const;

    // A new image of the new size with the old content scaled into it.
    void resize(QSize logicalSize, qreal devicePixelRatio);

    // --- Drawing state -------------------------------------------------------
    void setForeground(QColor colour) { foreground_ = colour; }
    void setBackground(QColor colour) { background_ = colour; }
    void setLineWidth(int pixels) { lineWidth_ = pixels < 1 ? 1 : pixels; }
    void setFont(const QFont& font) { font_ = font; }
    const QFont& font() const { return font_; }
    // On: glyphs only. Off: each text's cells are filled with the background colour first.
    void setTransparentText(bool on) { transparentText_ = on; }

    // --- Drawing ---------------------------------------------------------------
    void clear(QColor colour);
    void drawLine(QPoint from, QPoint to);
    // Outline through the columns of both corners and the rows of both corners.
    void drawRectangle(QPoint corner1, QPoint corner2);
    void fillRectangle(QPoint corner1, QPoint corner2);
    // A round filled dot of the radius around the centre pixel.
    void drawDisc(QPoint centre, double radius);
    void drawText(QPoint topLeft, const QString& text);
    // Character grid of the current font: the average character width (Fonts) by the
    // character height (ascent + descent). Opaque text fills cells of this height.
    QSize textCell() const;
    int textWidth(const QString& text) const;
    void setTextCursor(int column, int row);
    void printLine(const QString& text);
    // Both corners included. On HiDPI screens the image string holds device pixels,
    // so putting it back restores every device pixel.
    ImageString capture(QPoint corner1, QPoint corner2) const;
    void putImage(QPoint topLeft, const ImageString& image);
    void drawPicture(const QImage& picture, QRect target);

    // --- Presentation ------------------------------------------------------------
    // The part changed since the previous call, in logical pixels; empties it.
    QRect takeDirtyRect();
    // Grows with every drawing operation: "was anything drawn since ...?"
    quint64 changeCount() const { return changeCount_; }

private:
    void markChanged(QRect logicalRect);

    QSize logicalSize_;
    QImage image_;
    QColor foreground_ = Qt::black;
    QColor background_ = Qt::white;
    int lineWidth_ = 1;
    QFont font_;
    bool transparentText_ = false;
    QPoint textCursor_;
    int textRowHeight_ = 0;
    QRect dirty_;
    quint64 changeCount_ = 0;
};
