#pragma once

// The real binding: Qt Widgets for the window, menu, drawing and boxes, Qt Multimedia for
// the click. Each job lives in its own class; this one joins them to the interface. The rules
// of when choices run, how waits end and how steps are paced are the shared core's: Qt's
// events are fed into it, and its sleeps run a local event loop that only a timer, input or
// the program's end wakes, so nothing busy-waits.

#include "platform/BindingCore.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QString>

#include <map>
#include <memory>

class BlockedCloseFilter;
class BoxDialog;
class ClickSound;
class CounterIndicator;
class CounterInput;
class MainWindow;
class PixelCanvas;
class QApplication;
class QAudioDevice;
class QEventLoop;

class QtPlatform : public BindingCore {
public:
    // Makes the QApplication unless one exists already (tests make their own).
    QtPlatform(int& argc, char** argv);
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // A Geiger counter heard on `device` registers the particles from now on, shown at the
    // right of the menu bar. Without a usable device a box says so and the lesson stays simulated.
    void useCounter(const QAudioDevice& device);
    // Writes what the counter hears and what becomes of each click to `fileName`, a line at a
    // time, for checking a counter's set-up.
    void logCounterTo(const QString& fileName);

    // For tests and benchmarks.
    MainWindow& mainWindow() const { return *window_; }
    const PixelCanvas& canvas() const { return *canvas_; }

    int drawingWidth() const override;
    int drawingHeight() const override;
    void setWindowBackground(Colour colour) override;
    void clearWindow() override;
    void beginShutDown() override;
    void installMenu(const std::vector<std::string>& items) override;

    void setForeground(Colour colour) override;
    void setBackground(Colour colour) override;
    void setLineWidth(int pixels) override;
    void setFontName(const std::string& name) override;
    void setFontSize(double points) override;
    void setTitleAttribute(bool on) override;

    void drawLine(double x1, double y1, double x2, double y2) override;
    void drawRectangle(double x1, double y1, double x2, double y2) override;
    void fillRectangle(double x1, double y1, double x2, double y2) override;
    void drawCircle(double centreX, double centreY, double radius) override;
    void drawText(double x, double y, const std::string& text) override;
    TextCell textCell() override;
    int textWidth(const std::string& text) override;
    void setTextCursor(int column, int row) override;
    void printLine(const std::string& text) override;
    ImageString capture(double x1, double y1, double x2, double y2) override;
    void putImage(double x, double y, const ImageString& image) override;

    PictureId loadPicture(const std::string& fileName) override;
    void drawPicture(PictureId picture, double x, double y, double width, double height) override;
    void releasePicture(PictureId picture) override;
    std::string programFolder() const override;
    std::string toolkitName() const override { return "Qt"; }
    void setCurrentFolder(const std::string& folder) override;

    void playSound(const std::string& fileName, int mode) override;
    double timer() override;

    // The largest 4:3 drawing area that fits, with the menu bar, into 90 % of the screen.
    static QSize plannedDrawingSize(QSize availableScreen, int menuBarHeight);

protected:
    void showWindow(const std::string& title) override;
    void hideWindow() override;
    void present() override;
    void takeInEvents() override;
    // Runs the event loop for up to the given time (negative: no limit), or until interrupted.
    void sleep(double milliseconds, Wake wake) override;
    void interruptSleep() override;
    uint64_t drawCount() const override;
    double nowMilliseconds() override { return clock_.nsecsElapsed() / 1e6; }
    void setBetweenCommands(bool between) override;
    void onEnded() override;
    int showBox(BoxStyle style, const std::string& text, int defaultButton,
                const std::string& captions) override;
    void saveTable(const std::string& table) override;

private:
    void showIfPending();
    void updateFont();

    std::unique_ptr<QApplication> ownedApplication_;
    std::unique_ptr<PixelCanvas> canvas_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<BlockedCloseFilter> blockedCloseFilter_;
    std::unique_ptr<ClickSound> sound_;
    std::unique_ptr<CounterInput> counter_;
    CounterIndicator* counterIndicator_ = nullptr;   // the menu bar's
    std::unique_ptr<QFile> counterLog_;

    QString title_;
    QColor windowBackground_ = Qt::white;
    QString fontName_ = QStringLiteral("times");
    double fontPoints_ = 12.0;
    std::map<PictureId, QImage> pictures_;
    PictureId nextPicture_ = 1;
    QList<QPointer<BoxDialog>> openBoxes_;

    bool opened_ = false;
    bool showPending_ = false;
    QEventLoop* sleeping_ = nullptr;   // the innermost sleep, for interruptSleep()

    QElapsedTimer clock_;
    double secondsAtClockStart_ = 0;
};
