#pragma once

// The real binding: Qt Widgets for the window, menu, drawing and boxes, Qt Multimedia for
// the click. Each job lives in its own class; this one only joins them to the interface
// and keeps the rules of when menu choices run and how long waits take:
//
// - A menu choice only queues its index; choices run (nested if a command is running)
//   from processEvents() and waitForEvents() alone, in the order they were made.
// - processEvents() presents what was drawn and, when something was, returns no sooner
//   than one display frame after its previous return (FramePacer).
// - Nothing busy-waits: pauses run a timer-driven local event loop; a poll of key or mouse
//   that finds nothing, right after another empty poll with nothing else done in between,
//   waits for the next input event or one frame.
// - After the user closed the window, pauses, polls and boxes return at once.

#include "platform/Platform.h"
#include "platform/RandomSource.h"
#include "platform/qt/FramePacer.h"
#include "platform/qt/InputState.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QString>

#include <deque>
#include <map>
#include <memory>

class BlockedCloseFilter;
class ClickSound;
class MainWindow;
class MessageBoxes;
class PixelCanvas;
class QApplication;

class QtPlatform : public Platform {
public:
    // Makes the QApplication unless one exists already (tests make their own).
    QtPlatform(int& argc, char** argv);
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // For tests and benchmarks.
    MainWindow& mainWindow() const { return *window_; }
    const PixelCanvas& canvas() const { return *canvas_; }
    double frameMilliseconds() const { return pacer_.frameMilliseconds(); }

    void openWindow(const std::string& title) override;
    int drawingWidth() const override;
    int drawingHeight() const override;
    void setWindowBackground(Colour colour) override;
    void clearWindow() override;
    bool windowExists() const override;
    void closeWindow() override;

    void setMenuHandler(MenuHandler handler) override { menuHandler_ = handler; }
    void setCloseHandler(CloseHandler handler) override { closeHandler_ = handler; }
    void waitForEvents() override;
    void processEvents() override;
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
    void setTextCursor(int column, int row) override;
    void printLine(const std::string& text) override;
    ImageString capture(double x1, double y1, double x2, double y2) override;
    void putImage(double x, double y, const ImageString& image) override;

    PictureId loadPicture(const std::string& fileName) override;
    void drawPicture(PictureId picture, double x, double y, double width, double height) override;
    void releasePicture(PictureId picture) override;
    std::string programFolder() const override;
    void setCurrentFolder(const std::string& folder) override;

    void playSound(const std::string& fileName, int mode) override;

    std::string takeKey() override;
    int mouseButtons() override;

    void pause(int milliseconds) override;
    double timer() override;

    void seedRandom(double value) override;
    double random() override;

    int messageBox(int style, const std::string& text, int defaultButton,
                   const std::string& captions) override;

private:
    static QSize plannedDrawingSize(int menuBarHeight);
    bool userClosed() const { return closedByUser_; }
    void present();
    void showIfPending();
    // Runs the event loop for up to the given time; stops early when the window is closed
    // and, if asked, at the next key or mouse event.
    void waitMilliseconds(int milliseconds, bool untilInput);
    void dispatchHeldChoices();
    // True when this empty poll follows another with nothing else done in between.
    bool pollLoopDetected();
    void notePollResult(bool foundSomething);
    void takeInInput();
    void onClosedByUser();
    void updateFont();

    std::unique_ptr<QApplication> ownedApplication_;
    std::unique_ptr<PixelCanvas> canvas_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<MessageBoxes> boxes_;
    std::unique_ptr<BlockedCloseFilter> blockedCloseFilter_;
    std::unique_ptr<ClickSound> sound_;
    FramePacer pacer_;
    InputState input_;
    RandomSource random_;

    MenuHandler menuHandler_ = nullptr;
    CloseHandler closeHandler_ = nullptr;
    std::deque<int> heldChoices_;

    QString title_;
    QColor windowBackground_ = Qt::white;
    QString fontName_ = QStringLiteral("times");
    double fontPoints_ = 12.0;
    std::map<PictureId, QImage> pictures_;
    PictureId nextPicture_ = 1;

    bool opened_ = false;
    bool showPending_ = false;
    bool closedByUser_ = false;
    bool closedByProgram_ = false;
    quint64 drawnAtReturn_ = 0;
    // Everything but polls counts as activity; two empty polls with none between are a loop.
    quint64 activity_ = 0;
    quint64 activityAtEmptyPoll_ = ~quint64(0);

    QElapsedTimer clock_;
    double secondsAtClockStart_ = 0;
};
