#include "platform/qt/PixelCanvas.h"

#include "platform/qt/Fonts.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// 96 dots per inch: a font of k points is k * 4 / 3 pixels whatever the monitor says.
constexpr int kDotsPerMeterAt96Dpi = 3780;

QImage blankImage(QSize logicalSize, qreal devicePixelRatio, QColor fill)
{
    const QSize devicePixels(qMax(1, qRound(logicalSize.width() * devicePixelRatio)),
                             qMax(1, qRound(logicalSize.height() * devicePixelRatio)));
    QImage image(devicePixels, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
    image.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
    image.fill(fill);
    return image;
}

// Both corners included, whichever order they come in. (QRect::normalized() would drop
// the outer row and column of a rectangle given bottom-right first.)
QRect spanning(QPoint corner1, QPoint corner2)
{
    return QRect(QPoint(std::min(corner1.x(), corner2.x()), std::min(corner1.y(), corner2.y())),
                 QPoint(std::max(corner1.x(), corner2.x()), std::max(corner1.y(), corner2.y())));
}

} // namespace

PixelCanvas::PixelCanvas(QSize logicalSize, qreal devicePixelRatio, QColor fill)
    : logicalSize_(logicalSize), image_(blankImage(logicalSize, devicePixelRatio, fill))
{
}

int PixelCanvas::pixelOf(double coordinate)
{
    // Halves go up, also for negative values, so x - r and x + r stay 2r apart.
    return static_cast<int>(std::floor(coordinate + 0.5));
}

QColor PixelCanvas::toQColor(Colour colour)
{
    return QColor(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

Colour PixelCanvas::toColour(QRgb rgb)
{
    return makeColour(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

Colour PixelCanvas::colourAt(int x, int y) const
{
    const qreal ratio = devicePixelRatio();
    return toColour(image_.pixel(qFloor(x * ratio), qFloor(y * ratio)));
}

void PixelCanvas::resize(QSize logicalSize, qreal devicePixelRatio)
{
    if (logicalSize == logicalSize_ && qFuzzyCompare(devicePixelRatio, this->devicePixelRatio()))
        return;
    QImage resized = blankImage(logicalSize, devicePixelRatio, background_);
    {
        QPainter painter(&resized);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), logicalSize), image_);
    }
    image_ = resized;
    logicalSize_ = logicalSize;
    markChanged(QRect(QPoint(0, 0), logicalSize));
}

void PixelCanvas::clear(QColor colour)
{
    image_.fill(colour);
    markChanged(QRect(QPoint(0, 0), logicalSize_));
}

void PixelCanvas::drawLine(QPoint from, QPoint to)
{
    QPainter painter(&image_);
    QPen pen(foreground_, lineWidth_);
    painter.setPen(pen);
    // Through pixel centres: the same pixels at any device pixel ratio.
    painter.drawLine(QPointF(from) + QPointF(0.5, 0.5), QPointF(to) + QPointF(0.5, 0.5));
    markChanged(spanning(from, to).adjusted(-lineWidth_, -lineWidth_, lineWidth_, lineWidth_));
}

void PixelCanvas::drawRectangle(QPoint corner1, QPoint corner2)
{
    // Four filled bands rather than a stroked path: a band of width w is centred on the
    // edge (one more pixel outside than inside when w is even), exact at any pixel ratio.
    const QRect box = spanning(corner1, corner2);
    const int before = (lineWidth_ - 1) / 2;
    const int after = lineWidth_ - 1 - before;
    const int left = box.left() - before;
    const int top = box.top() - before;
    const int right = box.right() + after;
    const int bottom = box.bottom() + after;
    QPainter painter(&image_);
    painter.fillRect(QRect(QPoint(left, top), QPoint(right, box.top() + after)), foreground_);
    painter.fillRect(QRect(QPoint(left, box.bottom() - before), QPoint(right, bottom)), foreground_);
    painter.fillRect(QRect(QPoint(left, top), QPoint(box.left() + after, bottom)), foreground_);
    painter.fillRect(QRect(QPoint(box.right() - before, top), QPoint(right, bottom)), foreground_);
    markChanged(QRect(QPoint(left, top), QPoint(right, bottom)));
}

void PixelCanvas::fillRectangle(QPoint corner1, QPoint corner2)
{
    const QRect box = spanning(corner1, corner2);
    QPainter(&image_).fillRect(box, foreground_);
    markChanged(box);
}

void PixelCanvas::drawDisc(QPoint centre, double radius)
{
    radius = std::abs(radius);
    // Row spans of the pixels with dx² + dy² <= r² + r, the midpoint rule that gives round
    // small dots. It never reaches past floor(r), so a capture of centre ± r holds the disc.
    const double limit = radius * radius + radius;
    const int reach = static_cast<int>(std::floor(radius));
    QPainter painter(&image_);
    for (int dy = -reach; dy <= reach; ++dy) {
        const int half = static_cast<int>(std::floor(std::sqrt(limit - dy * dy)));
        painter.fillRect(QRect(centre.x() - half, centre.y() + dy, 2 * half + 1, 1), foreground_);
    }
    markChanged(QRect(centre.x() - reach, centre.y() - reach, 2 * reach + 1, 2 * reach + 1));
}

void PixelCanvas::drawText(QPoint topLeft, const QString& text)
{
    if (text.isEmpty())
        return;
    const QFontMetrics metrics(font_, &image_);
    const QRect cells(topLeft, QSize(metrics.horizontalAdvance(text), metrics.height()));
    QPainter painter(&image_);
    if (!transparentText_)
        painter.fillRect(cells, background_);
    painter.setFont(font_);
    painter.setPen(foreground_);
    painter.drawText(QPoint(topLeft.x(), topLeft.y() + metrics.ascent()), text);
    // Italic overhang and accents may reach past the cells.
    const QRect inked = metrics.boundingRect(text).translated(topLeft.x(), topLeft.y() + metrics.ascent());
    markChanged(cells.united(inked).adjusted(-2, -2, 2, 2));
}

QSize PixelCanvas::textCell() const
{
    // The character height (ascent + descent) without the font's extra line gap: the
    // program places its prompt on row 25 of a 600-pixel-high area, the last full row
    // of 24-pixel cells at 16 points; with the gap (25 px) it would start below the edge.
    const QFontMetrics metrics(font_, &image_);
    return QSize(Fonts::averageCharWidth(font_, const_cast<QImage*>(&image_)), metrics.height());
}

int PixelCanvas::textWidth(const QString& text) const
{
    return QFontMetrics(font_, &image_).horizontalAdvance(text);
}

void PixelCanvas::setTextCursor(int column, int row)
{
    const QSize cell = textCell();
    textCursor_ = QPoint((column - 1) * cell.width(), (row - 1) * cell.height());
    textRowHeight_ = cell.height();
}

void PixelCanvas::printLine(const QString& text)
{
    drawText(textCursor_, text);
    textCursor_ = QPoint(0, textCursor_.y() + textRowHeight_);
}

ImageString PixelCanvas::capture(QPoint corner1, QPoint corner2) const
{
    const qreal ratio = devicePixelRatio();
    const QRect logical = spanning(corner1, corner2);
    const QRect device(qRound(logical.x() * ratio), qRound(logical.y() * ratio),
                       qRound(logical.width() * ratio), qRound(logical.height() * ratio));
    ImageString result;
    result.width = device.width();
    result.height = device.height();
    result.pixels.reserve(static_cast<size_t>(result.width) * static_cast<size_t>(result.height));
    for (int y = device.top(); y <= device.bottom(); ++y) {
        for (int x = device.left(); x <= device.right(); ++x) {
            // Outside the window reads as black, as a screen copy would.
            const bool inside = image_.rect().contains(x, y);
            result.pixels.push_back(inside ? toColour(image_.pixel(x, y)) : 0);
        }
    }
    return result;
}

void PixelCanvas::putImage(QPoint topLeft, const ImageString& picture)
{
    if (picture.empty()
        || picture.pixels.size() < static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
        return;
    const qreal ratio = devicePixelRatio();
    const QPoint origin(qRound(topLeft.x() * ratio), qRound(topLeft.y() * ratio));
    for (int row = 0; row < picture.height; ++row) {
        const int y = origin.y() + row;
        if (y < 0 || y >= image_.height())
            continue;
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int column = 0; column < picture.width; ++column) {
            const int x = origin.x() + column;
            if (x < 0 || x >= image_.width())
                continue;
            const Colour colour = picture.pixels[static_cast<size_t>(row) * picture.width + column];
            line[x] = qRgb(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
        }
    }
    markChanged(QRect(topLeft, QSize(qCeil(picture.width / ratio), qCeil(picture.height / ratio))));
}

void PixelCanvas::drawPicture(const QImage& picture, QRect target)
{
    if (picture.isNull() || target.isEmpty())
        return;
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    markChanged(target);
}

QRect PixelCanvas::takeDirtyRect()
{
    const QRect dirty = dirty_.intersected(QRect(QPoint(0, 0), logicalSize_));
    dirty_ = QRect();
    return dirty;
}

void PixelCanvas::markChanged(QRect logicalRect)
{
    dirty_ = dirty_.united(logicalRect);
    ++changeCount_;
}
