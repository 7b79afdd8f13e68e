// The reference for the benchmarks: the least a Qt Widgets program needs to show what
// our program shows first (a main window, its menu bar and a drawing area in the
// background colour). Start-up time, memory and idle CPU of the program are reported
// as ratios against this window, measured in the same run on the same display.
//
// Any key with text opens one modal message box, so the real-window harness can practise on
// boxes before the program itself runs; that path costs nothing at start-up.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

namespace {

class BackgroundArea : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), QColor(51, 168, 238));
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->text().isEmpty())
            return; // a modifier alone, e.g. the Alt of a menu mnemonic
        QMessageBox box(QMessageBox::Information, window()->windowTitle(), QStringLiteral(" Beenden nur mit QUIT!"),
                        QMessageBox::NoButton, this);
        box.addButton(QStringLiteral(" OK "), QMessageBox::AcceptRole);
        box.exec();
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Minimal window"));

    QMenu* desk = window.menuBar()->addMenu(QStringLiteral("&DESK"));
    desk->addAction(QStringLiteral("&Quit"), &app, &QApplication::quit);
    window.menuBar()->addMenu(QStringLiteral("&EXPERIMENT"));
    window.menuBar()->addMenu(QStringLiteral("&HILFE"));

    auto* area = new BackgroundArea(&window);
    area->setFocusPolicy(Qt::StrongFocus);
    window.setCentralWidget(area);
    window.resize(800, 600);
    window.show();
    return app.exec();
}
