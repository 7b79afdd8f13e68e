#pragma once

// The one main window: the menu bar over the drawing area.
//
// Closing it by the user (the title bar's X, WM_DELETE_WINDOW) is the program's Quit:
// the window disappears at once and closedByUser() is emitted once; the object itself
// stays until the binding ends. There is deliberately no WA_DeleteOnClose: a deferred
// delete running inside nested event processing would destroy the window under a
// running message box.

#include <QMainWindow>

class CanvasWidget;
class PixelCanvas;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(PixelCanvas& canvas);

    CanvasWidget* canvasWidget() const { return canvasWidget_; }
    // Window size that gives the drawing area this size below the menu bar.
    QSize windowSizeFor(QSize drawingArea) const;
    // Height the menu bar takes once it has titles (it has none before installMenu).
    static int menuBarHeight();
    // Closing by the program: no closedByUser().
    void closeByProgram();
    // F11: full screen and back, the menu bar staying.
    void toggleFullScreen();

signals:
    void closedByUser();
    void keyPressed(const QKeyEvent& event);
    void mouseButtonsChanged(Qt::MouseButtons buttons);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CanvasWidget* canvasWidget_;
    bool closingByProgram_ = false;
    bool reportedClose_ = false;
    bool coversScreen_ = false;
    QRect geometryBeforeFullScreen_;
};
