#pragma once

// The browser binding: one page with a menu bar, a canvas and modal dialogs, driven from
// WebAssembly. Each job lives in its own part (WebCanvas, FontMetrics, the page's scripts in
// page/); this class joins them to the interface. The rules of when choices run, how waits
// end and how steps are paced are the shared core's:
//
// - The page queues every key, button, menu choice and resize; the program feeds the queue
//   into the core whenever it looks.
// - Blocking calls suspend the program (Asyncify) and give the browser its turn: a sleep
//   waits on a timer or for the page's next event, and a paced step for the display frame
//   that shows it. Nothing polls, so a page waiting at a prompt or in a box uses no CPU.
// - Closing the tab simply ends the page: the lesson stores nothing.

#include "platform/BindingCore.h"
#include "platform/web/WebCanvas.h"

#include <map>
#include <string>

class WebPlatform : public BindingCore {
public:
    WebPlatform();
    WebPlatform(const WebPlatform&) = delete;
    WebPlatform& operator=(const WebPlatform&) = delete;

    int drawingWidth() const override { return canvas_.width(); }
    int drawingHeight() const override { return canvas_.height(); }
    void setWindowBackground(Colour colour) override { windowBackground_ = colour; }
    void clearWindow() override;
    void installMenu(const std::vector<std::string>& items) override;

    void setForeground(Colour colour) override { canvas_.setForeground(colour); }
    void setBackground(Colour colour) override { canvas_.setBackground(colour); }
    void setLineWidth(int pixels) override { canvas_.setLineWidth(pixels); }
    // The page carries one face, a subset of Liberation Serif, for "times", the only name the
    // program uses.
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

    double timer() override;

    void announce(const std::string& text) override;

    // The page's address asks for a Geiger counter at the microphone (#zaehlrohr), and with
    // &protokoll for its log on the console (WebCounter.cpp).
    void useCounterIfAsked();

protected:
    void showWindow(const std::string& title) override;
    void hideWindow() override;
    void present() override {}   // the canvas draws into the page; the browser shows it
    void takeInEvents() override;
    void sleep(double milliseconds, Wake wake) override;
    void letNativeEventsIn() override;
    double waitForStep(double dueMilliseconds) override;
    uint64_t drawCount() const override { return canvas_.changeCount(); }
    double nowMilliseconds() override;
    void setBetweenCommands(bool) override;
    void onEnded() override;
    int showBox(BoxStyle style, const std::string& text, int defaultButton,
                const std::string& captions) override;
    void saveTable(const std::string& table) override;

private:
    WebCanvas canvas_;

    std::string title_;
    Colour windowBackground_ = makeColour(255, 255, 255);
    std::map<std::string, bool> clickUsable_;

    double secondsAtStart_ = 0;
    double millisecondsAtStart_ = 0;
};
