#include "platform/qt/MainWindow.h"

#include "platform/qt/CanvasWidget.h"
#include "platform/qt/X11.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>

MainWindow::MainWindow(PixelCanvas& canvas) : canvasWidget_(new CanvasWidget(canvas, this))
{
    setCentralWidget(canvasWidget_);
    // The bar is empty when the window opens and gets its titles right after; reserving
    // its height now keeps the drawing area from changing size in between.
    menuBar()->setMinimumHeight(menuBarHeight());
    connect(canvasWidget_, &CanvasWidget::keyPressed, this, &MainWindow::keyPressed);
    connect(canvasWidget_, &CanvasWidget::mouseButtonsChanged, this, &MainWindow::mouseButtonsChanged);

    // F11, as everywhere on the desktop: full screen for the projector and back. The drawing
    // area then changes size as in a resized window. A shortcut, so the key never reaches
    // the program's prompts.
    auto* fullScreen = new QAction(this);
    fullScreen->setShortcut(Qt::Key_F11);
    connect(fullScreen, &QAction::triggered, this, &MainWindow::toggleFullScreen);
    addAction(fullScreen);
}

void MainWindow::toggleFullScreen()
{
    if (X11::windowManagerDoesFullScreen()) {
        setWindowState(windowState() ^ Qt::WindowFullScreen);
        return;
    }
    // Without a window manager (a bare kiosk session) nobody acts on the request: the
    // window covers the screen itself, and goes back to where it was.
    if (coversScreen_)
        setGeometry(geometryBeforeFullScreen_);
    else {
        geometryBeforeFullScreen_ = geometry();
        setGeometry(screen()->geometry());
    }
    coversScreen_ = !coversScreen_;
}

int MainWindow::menuBarHeight()
{
    QMenuBar probe;
    probe.addMenu(QStringLiteral("&DESK"));
    return probe.sizeHint().height();
}

QSize MainWindow::windowSizeFor(QSize drawingArea) const
{
    return QSize(drawingArea.width(), drawingArea.height() + menuBarHeight());
}

void MainWindow::closeByProgram()
{
    closingByProgram_ = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    hide();
    event->accept();
    if (closingByProgram_ || reportedClose_)
        return;
    reportedClose_ = true;
    emit closedByUser();
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    // Keys reach the window itself only when the drawing area lacks the focus.
    emit keyPressed(*event);
    event->accept();
}
