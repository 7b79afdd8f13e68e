#pragma once

// The browser binding: one page with a menu bar, a canvas and modal dialogs, driven from
// WebAssembly. Each job lives in its own part (WebCanvas, WebInput, FontMetrics, the page's
// scripts in page/); this class joins them to the interface and keeps the rules of when
// menu choices run and how long waits take, as the desktop binding does:
//
// - The page queues every key, button, menu choice and resize; the program takes the queue
//   in here. Menu choices run (nested if a command is running) from processEvents() and
//   waitForEvents() alone, in the order they were made; polls and waits only hold them.
// - Blocking calls suspend the program (Asyncify) and give the browser its turn: a pause
//   sleeps on a timer, processEvents() waits for the next animation frame when something was
//   drawn, and waitForInput() and waitForEvents() sleep until the page queues an event.
//   Nothing polls, so a page waiting at a prompt or in a box uses no CPU.
// - Once the program ends (Quit), pauses, waits, polls and boxes return at once and no menu
//   choice runs any more. Closing the tab simply ends the page: the lesson stores nothing.

#include "platform/Platform.h"
#include "platform/RandomSource.h"
#include "platform/web/WebCanvas.h"
#include "platform/web/WebInput.h"

#include <deque>
#include <map>
#include <set>
#include <string>

class WebPlatform : public Platform {
public:
    WebPlatform();
    WebPlatform(const WebPlatform&) = delete;
    WebPlatform& operator=(const WebPlatform&) = delete;

    void openWindow(const std::string& title) override;
    int drawingWidth() const override { return canvas_.width(); }
    int drawingHeight() const override { return canvas_.height(); }
    void setWindowBackground(Colour colour) override { windowBackground_ = colour; }
    void clearWindow() override;
    bool windowExists() const override { return opened_ && !closedByProgram_; }
    void closeWindow() override;
    void beginShutDown() override;

    void setMenuHandler(MenuHandler handler) override { menuHandler_ = handler; }
    // Never called: closing the tab ends the page before the program could run again.
    void setCloseHandler(CloseHandler) override {}
    void waitForEvents() override;
    void processEvents() override;
    InputWait waitForInput(int timeoutMilliseconds) override;
    bool holdsMenuChoice(int32_t index) const override;
    void installMenu(const std::vector<std::string>& items) override;

    void setForeground(Colour colour) override { canvas_.setForeground(colour); }
    void setBackground(Colour colour) override { canvas_.setBackground(colour); }
    void setLineWidth(int pixels) override { canvas_.setLineWidth(pixels); }
    // The page carries one face, Liberation Serif, for "times", the only name the program uses.
    void setFontName(const std::string&) override {}
    void setFontSize(double points) override { canvas_.setFontPoints(points); }
    void setTitleAttribute(bool on) override { canvas_.setTransparentText(on); }

    void drawLine(double x1, double y1, double x2, double y2) override;
    void drawRectangle(double x1, double y1, double x2, double y2) override;
    void fillRectangle(double x1, double y1, double x2, double y2) override;
    void drawCircle(double centreX, double centreY, double radius) override;
    void drawText(double x, double y, const std::string& text) override;
    TextCell textCell() override { return canvas_.textCell(); }
    int textWidth(const std::string& text) override { return canvas_.textWidth(text); }
    void setTextCursor(int column, int row) override { canvas_.setTextCursor(column, row); }
    void printLine(const std::string& text) override { canvas_.printLine(text); }
    ImageString capture(double x1, double y1, double x2, double y2) override;
    void putImage(double x, double y, const ImageString& image) override;

    PictureId loadPicture(const std::string& fileName) override;
    void drawPicture(PictureId picture, double x, double y, double width, double height) override;
    void releasePicture(PictureId picture) override;
    std::string programFolder() const override;
    std::string toolkitName() const override { return "WebAssembly"; }
    void setCurrentFolder(const std::string& folder) override;

    void playSound(const std::string& fileName, int mode) override;

    std::string takeKey() override;
    int mouseButtons() override;

    void pause(int milliseconds) override;
    double timer() override;

    void seedRandom(double value) override { random_.mixSeed(value); }
    double random() override { return random_.nextDouble(); }

    int messageBox(BoxStyle style, const std::string& text, int defaultButton,
                   const std::string& captions) override;

private:
    bool ended() const { return shuttingDown_ || closedByProgram_; }
    // Moves what the page queued into the input state and the held choices; how many there were.
    int takeInEvents();
    void dispatchHeldChoices();
    void markReturn();
    void tellFileProblem(const std::string& text);

    WebCanvas canvas_;
    WebInput input_;
    RandomSource random_;

    MenuHandler menuHandler_ = nullptr;
    std::deque<int> heldChoices_;

    std::string title_;
    Colour windowBackground_ = makeColour(255, 255, 255);
    std::set<std::string> toldProblems_;
    std::map<std::string, bool> clickUsable_;

    bool opened_ = false;
    bool closedByProgram_ = false;
    bool shuttingDown_ = false;
    uint64_t drawnAtReturn_ = 0;
    double secondsAtStart_ = 0;
    double millisecondsAtStart_ = 0;
};
