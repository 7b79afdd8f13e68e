#pragma once

// Shows the canvas: paintEvent copies only the parts that were marked dirty (update(rect)),
// as in Qt's Scribble example. A new size or pixel ratio gives the canvas a new image with
// the old content scaled into it, but only while the canvas follows the widget: a screen
// that is being drawn works in the pixels it measured at its start (a flight path, patches
// to put back), so in the middle of a command the canvas keeps its size and is shown
// scaled to the widget until the program is idle or starts its next screen.
// Keys and mouse buttons in the drawing area are passed on.

#include <QWidget>

class PixelCanvas;

class CanvasWidget : public QWidget {
    Q_OBJECT
public:
    explicit CanvasWidget(PixelCanvas& canvas, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    // While on, the canvas takes the widget's size at once, also when turned on.
    void setCanvasFollowsSize(bool follows);
    bool showsCanvasScaled() const;
    // The canvas takes the widget's size now (call it only while the widget is shown).
    void followWidget();

signals:
    void keyPressed(const QKeyEvent& event);
    void mouseButtonsChanged(Qt::MouseButtons buttons);
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    PixelCanvas& canvas_;
    bool canvasFollowsSize_ = true;
};
