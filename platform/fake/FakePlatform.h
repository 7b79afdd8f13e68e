#pragma once

// A scripted binding for behaviour tests: it draws nothing, records every call with the
// drawing state in force, and plays back what a user would do at exactly the call where
// it matters (menu choices at the Nth event-processing call, keys, mouse buttons, a closed
// window). Time is simulated: pauses advance the timer, nothing sleeps. It keeps the bindings'
// rules through the same core as the real bindings, so the tests run those rules too.

#include "platform/BindingCore.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

class FakePlatform : public BindingCore {
public:
    // One recorded call. args holds the numeric arguments in call order; for printLine they
    // are the text cursor's column and row, for messageBox the style and default button.
    struct Call {
        std::string op;
        std::vector<double> args;
        std::string text;
        Colour foreground = 0;
        Colour background = 0;
        double fontSize = 0;
        std::string fontName;
        int lineWidth = 1;
        bool titleAttribute = false;
        std::string captions;   // messageBox only
    };

    FakePlatform();

    // --- What was recorded ---------------------------------------------------
    std::vector<Call> calls;
    std::vector<const Call*> callsOf(const std::string& op) const;
    // Texts drawn with drawText or printLine, in order.
    std::vector<std::string> texts() const;
    // Operation names in order, only those listed.
    std::vector<std::string> opsAmong(const std::vector<std::string>& ops) const;
    int count(const std::string& op) const;

    // --- The machine ----------------------------------------------------------
    int width = 800;
    int height = 600;
    double timerValue = 1000.0;
    std::vector<std::string> unusablePictures;   // loadPicture gives 0 for these
    std::deque<double> scriptedRandoms;           // used before the real generator
    std::string currentFolder = "/start";
    std::string toolkit = "Qt";

    // --- The user -------------------------------------------------------------
    // Runs inside the Nth call of processEvents (counted from 1, over the whole test).
    void atProcessEvents(int n, std::function<void()> action);
    // Runs inside the Nth call of waitForEvents; when an event-loop wait finds nothing
    // scripted for it, the user closes the window (so every test ends).
    void atWaitForEvents(int n, std::function<void()> action);
    // Runs at the Nth poll of the input (takeKey or mouseButtons, counted together).
    void atPoll(int n, std::function<void()> action);
    // Runs inside the Nth call of waitForInput; when a wait finds nothing scripted and
    // nothing pending, the user closes the window (so every test ends).
    void atWaitForInput(int n, std::function<void()> action);
    // Runs when the Nth message box opens (from 1), while it is open. A box asked for once
    // the program is ending returns at once: it is not shown, counted or recorded.
    void atMessageBox(int n, std::function<void()> action);
    // Runs during the first pause of this length.
    void atPause(int milliseconds, std::function<void()> action);
    // A menu choice made now (recorded as "menuChosen"): delivered at the next processEvents
    // or waitForEvents call, as the real bindings hold choices made during pauses, waits and polls.
    void chooseMenu(int index);
    // Delivers a menu choice at once, as the real bindings do inside event processing.
    // Like them, the fake delivers nothing once the program has ended.
    void dispatchMenu(int index);
    void closeWindowByUser();
    // Ctrl+S now; the table saved is recorded as "saveTable" with the table as its text.
    void askToSave() { saveAsked(); }
    // A counter at the audio input switched on, and the clicks it registers now.
    using BindingCore::setCounterLog;
    using BindingCore::setCounterOn;
    // The counter hears this many clicks now, a stream sample apart.
    void counterClicked(int clicks);
    // Keys the user types and buttons the user holds, handed to the binding at its next look.
    std::deque<std::string> pendingKeys;
    int mouseState = 0;
    // The user presses or lets go now: the binding sees the change at once.
    void holdButtons(int held);
    // Keys typed and not yet taken by the program.
    std::deque<std::string> keysLeft() const;

    int processEventsCount = 0;
    int64_t counterStream = 0;   // the samples the scripted counter has heard
    int waitForEventsCount = 0;
    int waitForInputCount = 0;
    int pollCount = 0;
    int messageBoxCount = 0;
    int handlerDepth = 0;
    int maxHandlerDepth = 0;

    // --- Platform -----------------------------------------------------------
    int drawingWidth() const override { return width; }
    int drawingHeight() const override { return height; }
    void setWindowBackground(Colour colour) override;
    void clearWindow() override;
    void beginShutDown() override;
    void waitForEvents() override;
    void processEvents() override;
    InputWait waitForInput(int timeoutMilliseconds) override;
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
    // A simple monospaced model: at 16 points a cell of 8 by 16 pixels, in proportion otherwise.
    TextCell textCell() override;
    int textWidth(const std::string& text) override;
    void setTextCursor(int column, int row) override;
    void printLine(const std::string& text) override;
    ImageString capture(double x1, double y1, double x2, double y2) override;
    void putImage(double x, double y, const ImageString& image) override;
    PictureId loadPicture(const std::string& fileName) override;
    void drawPicture(PictureId picture, double x, double y, double w, double h) override;
    void releasePicture(PictureId picture) override;
    std::string programFolder() const override { return "/opt/mikroteilchen"; }
    std::string toolkitName() const override { return toolkit; }
    void setCurrentFolder(const std::string& folder) override;
    void playSound(const std::string& fileName, int mode) override;
    std::string takeKey() override;
    int mouseButtons() override;
    void pause(int milliseconds) override;
    double timer() override;
    double random() override;

    // Drawing state as the program left it.
    Colour foreground = 0;
    Colour background = 0;
    double fontSize = 12;
    std::string fontName;
    int lineWidth = 1;
    bool titleAttribute = false;
    std::vector<std::string> menuItems;
    std::string windowTitle;

protected:
    // The binding's primitives: nothing is shown and nothing sleeps. A sleep with a time limit
    // moves the timer on; one without a limit would wait for the user forever, so the user
    // closes the window. Paced steps take no simulated time.
    void showWindow(const std::string& title) override;
    void hideWindow() override;
    void present() override {}
    void takeInEvents() override;
    void sleep(double milliseconds, Wake wake) override;
    double waitForStep(double) override { return nowMilliseconds(); }
    uint64_t drawCount() const override { return drawCount_; }
    double nowMilliseconds() override { return timerValue * 1000.0; }
    void deliverChoice(int index) override;
    void saveTable(const std::string& table) override { record("saveTable", {}, table); }
    int showBox(BoxStyle style, const std::string& text, int defaultButton,
                const std::string& captions) override;

private:
    Call& record(const std::string& op, std::vector<double> args = {}, std::string text = {});
    void countPoll();
    void runActions(std::map<int, std::vector<std::function<void()>>>& table, int n);

    uint64_t drawCount_ = 0;
    int mouseStateFed_ = 0;
    bool userActed_ = false;
    int cursorColumn_ = 1;
    int cursorRow_ = 1;
    int nextPicture_ = 1;
    int captureSerial_ = 0;
    std::map<int, std::vector<std::function<void()>>> atProcessEvents_;
    std::map<int, std::vector<std::function<void()>>> atWaitForEvents_;
    std::map<int, std::vector<std::function<void()>>> atPoll_;
    std::map<int, std::vector<std::function<void()>>> atWaitForInput_;
    std::map<int, std::vector<std::function<void()>>> atMessageBox_;
    std::map<int, std::vector<std::function<void()>>> atPause_;
};
