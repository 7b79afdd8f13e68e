#pragma once

// Shows the canvas: paintEvent copies only the parts that were marked dirty (update(rect)),
// as in Qt's Scribble example. A new size or pixel ratio gives the canvas a new image with
// the old content scaled into it. Keys and mouse buttons in the drawing area are passed on.

#include <QWidget>

class PixelCanvas;

class CanvasWidget : public QWidget {
    Q_OBJECT
public:
    explicit CanvasWidget(PixelCanvas& canvas, QWidget* parent = nullptr);

    QSize sizeHint() const override;

signals:
    void keyPressed(const QKeyEvent& event);
    void mouseButtonsChanged(Qt::MouseButtons buttons);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void followWidget();

    PixelCanvas& canvas_;
};
