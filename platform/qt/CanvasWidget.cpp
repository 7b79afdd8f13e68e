#include "platform/qt/CanvasWidget.h"

#include "platform/qt/PixelCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

CanvasWidget::CanvasWidget(PixelCanvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas)
{
    // Every pixel comes from the canvas: Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(160, 100);
}

QSize CanvasWidget::sizeHint() const
{
    return canvas_.size();
}

void CanvasWidget::setCanvasFollowsSize(bool follows)
{
    canvasFollowsSize_ = follows;
    if (follows && showsCanvasScaled())
        followWidget();
}

bool CanvasWidget::showsCanvasScaled() const
{
    // Before the window is shown the widget has no size of its own yet.
    return isVisible() && canvas_.size() != size();
}

void CanvasWidget::followWidget()
{
    canvas_.resize(size(), devicePixelRatioF());
}

void CanvasWidget::paintEvent(QPaintEvent* event)
{
    if (!qFuzzyCompare(devicePixelRatioF(), canvas_.devicePixelRatio()))
        followWidget();   // the window moved to a screen with another pixel ratio
    QPainter painter(this);
    if (showsCanvasScaled()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(rect()), canvas_.image());
        return;
    }
    const QRect area = event->rect();
    const qreal ratio = canvas_.devicePixelRatio();
    const QRectF source(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio);
    painter.drawImage(QRectF(area), canvas_.image(), source);
}

void CanvasWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (canvasFollowsSize_)
        followWidget();
    update();
    emit resized();
}

void CanvasWidget::keyPressEvent(QKeyEvent* event)
{
    emit keyPressed(*event);
    event->accept();
}

void CanvasWidget::mousePressEvent(QMouseEvent* event)
{
    emit mouseButtonsChanged(event->buttons());
    event->accept();
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseButtonsChanged(event->buttons());
    event->accept();
}
