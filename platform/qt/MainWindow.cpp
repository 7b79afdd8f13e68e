#include "platform/qt/MainWindow.h"

#include "platform/qt/CanvasWidget.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>

MainWindow::MainWindow(PixelCanvas& canvas) : canvasWidget_(new CanvasWidget(canvas, this))
{
    setCentralWidget(canvasWidget_);
    // The bar is empty when the window opens and gets its titles right after; reserving
    // its height now keeps the drawing area from changing size in between.
    menuBar()->setMinimumHeight(menuBarHeight());
    connect(canvasWidget_, &CanvasWidget::keyPressed, this, &MainWindow::keyPressed);
    connect(canvasWidget_, &CanvasWidget::mouseButtonsChanged, this, &MainWindow::mouseButtonsChanged);
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
