#pragma once

// The real binding: Qt Widgets for the window, menu, drawing and boxes, Qt Multimedia for
// the click. Each job lives in its own class; this one only joins them to the interface
// and keeps the rules of when menu choices run and how long waits take:
//
// - A menu choice only queues its index; choices run (nested if a command is running)
//   from processEvents() and waitForEvents() alone, in the order they were made.
// - processEvents() presents what was drawn and, when something was, returns no sooner
//   than one display frame after its previous return (FramePacer).
// - Nothing busy-waits: pauses and waitForInput() run a local event loop that only a timer,
//   input or the program's end wakes.
// - Once the program ends (the user closed the window, or Quit began the shut-down), pauses,
//   waits, polls and boxes return at once and no menu choice runs any more.

#include "platform/Platform.h"
#include "platform/RandomSource.h"
#include "platform/qt/FramePacer.h"
#include "platform/qt/InputState.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>

#include <deque>
#include <map>
#include <memory>

class BlockedCloseFilter;
class BoxDialog;
class ClickSound;
class MainWindow;
class PixelCanvas;
class QApplication;
class QEventLoop;

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
    void beginShutDown() override;

    void setMenuHandler(MenuHandler handler) override { menuHandler_ = handler; }
    void setCloseHandler(CloseHandler handler) override { closeHandler_ = handler; }
    void waitForEvents() override;
    void processEvents() override;
    InputWait waitForInput(int timeoutMilliseconds) override;
    bool holdsMenuChoice(int32_t index) const override;
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

    std::string takeKey() override;
    int mouseButtons() override;

    void pause(int milliseconds) override;
    double timer() override;

    void seedRandom(double value) override;
    double random() override;

    int messageBox(BoxStyle style, const std::string& text, int defaultButton,
                   const std::string& captions) override;

    // The largest 4:3 drawing area that fits, with the menu bar, into 90 % of the screen.
    static QSize plannedDrawingSize(QSize availableScreen, int menuBarHeight);

private:
    bool ended() const { return closedByUser_ || shuttingDown_ || closedByProgram_; }
    void present();
    void showIfPending();
    // Runs the event loop for up to the given time (negative: no limit); stops early when
    // the program ends and, if asked, at the next key, mouse button or menu choice.
    void waitMilliseconds(int milliseconds, bool untilInput);
    void wake(bool byInput);
    void dispatchHeldChoices();
    void takeInInput();
    void onClosedByUser();
    void endBoxesAndChoices();
    void tellFileProblem(const QString& text);
    void updateFont();

    std::unique_ptr<QApplication> ownedApplication_;
    std::unique_ptr<PixelCanvas> canvas_;
    std::unique_ptr<MainWindow> window_;
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
    QSet<QString> toldProblems_;
    QList<QPointer<BoxDialog>> openBoxes_;

    bool opened_ = false;
    bool showPending_ = false;
    bool closedByUser_ = false;
    bool closedByProgram_ = false;
    bool shuttingDown_ = false;
    quint64 drawnAtReturn_ = 0;
    QEventLoop* waiting_ = nullptr;   // the wait in progress, for wake()
    bool waitingForInput_ = false;

    QElapsedTimer clock_;
    double secondsAtClockStart_ = 0;
};
