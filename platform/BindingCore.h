#pragma once

// The rules every binding keeps, written once: when menu choices run, how the program ends,
// how keys and mouse buttons are polled, how long waits and paced steps take, how boxes
// answer once the program is ending, and that each file problem is told once.
//
// A binding derives from this class and only translates: it feeds what its toolkit reports
// (keyPressed(), buttonsChanged(), menuChosen(), userClosedWindow()) and carries out the
// decisions made here through a few primitives (present(), sleep(), showBox() ...).
// Plain C++: no toolkit may leak in here, so the scripted binding runs the very same rules.
//
// - A menu choice is held; held choices run, in the order they were made and nested if a
//   command is running, only from processEvents() and waitForEvents().
// - Once the program ends, nothing held or new is delivered, waits and polls return at once,
//   and boxes give their default button.
// - A key press waits in a queue until taken. A mouse button pressed at any moment since the
//   previous poll counts at the next poll; a button already seen counts again only while it is
//   still held.
// - processEvents() after drawing returns when the next paced step is due: 60 steps a second,
//   whatever the display's refresh rate.

#include "platform/Platform.h"
#include "platform/RandomSource.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <span>
#include <string>

class BindingCore : public Platform {
public:
    // What may end a sleep() early, besides the program's end, which always does.
    enum class Wake { EndOnly, Input, AnyEvent };

    // The paced step: 1/60 s.
    static constexpr double kStepMilliseconds = 1000.0 / 60.0;

    void openWindow(const std::string& title) override;
    bool windowExists() const override;
    void closeWindow() override;
    void beginShutDown() override;

    void setMenuHandler(MenuHandler handler) override { menuHandler_ = handler; }
    void setCloseHandler(CloseHandler handler) override { closeHandler_ = handler; }
    void setTableWriter(TableWriter writer) override { tableWriter_ = writer; }
    void waitForEvents() override;
    void processEvents() override;
    InputWait waitForInput(int timeoutMilliseconds) override;
    bool holdsMenuChoice(int32_t index) const override;

    std::string takeKey() override;
    int mouseButtons() override;
    void pause(int milliseconds) override;

    void seedRandom(double value) override { random_.mixSeed(value); }
    double random() override { return random_.nextDouble(); }

    bool counterIsOn() const override { return counterOn_; }
    int takeCounterClicks() override;
    void startCounterInterval() override;

    int messageBox(BoxStyle style, const std::string& text, int defaultButton,
                   const std::string& captions) override;
    void announce(const std::string&) override {}

protected:
    // --- What the binding feeds in ----------------------------------------------------
    void keyPressed(std::string text);
    // 1 left, 2 right, 3 both: the buttons held from now on.
    void buttonsChanged(int held);
    // Buttons not in heldNow were let go where the binding could not see it (over a box or a menu).
    void reconcileButtons(int heldNow) { heldButtons_ &= heldNow; }
    void menuChosen(int index);
    // Ctrl+S: the table is to be saved.
    void saveAsked();
    // Something else happened that a waitForEvents() returns for (the page was resized).
    void otherEvent();
    // The user closed the window: the program ends, and the close handler runs once.
    void userClosedWindow();
    // A file the program cannot use: told in a warning box, each text once per run.
    void tellFileProblem(const std::string& text);
    // A counter at the audio input listens from now on, its stream at `sampleRate`, or no longer
    // (the lesson is simulated again).
    void setCounterOn(bool on, int sampleRate = 0);
    // The input has been heard up to stream sample `heardUpTo` (counted from the stream's start),
    // and `onsets` are the clicks found in it, stream samples in order. They wait for
    // takeCounterClicks(); clicks heard while a box is open are dropped.
    void counterHeard(std::span<const int64_t> onsets, int64_t heardUpTo);
    // What the counter heard and what became of each click, a line at a time, for checking a
    // set-up: "rate R", "click O S T" (a click waits for a step), "dropped O S T" (a box was
    // open), "start S n" (an interval starts; n clicks before it are dropped), "take S n T" (a
    // step registers n), with O a click's onset, S the stream sample heard up to, T the
    // program's clock in ms.
    void setCounterLog(std::function<void(const std::string& line)> writeLine);
    // A counter was asked for but cannot listen: a box says `why`, and the lesson goes on simulated.
    void tellCounterUnavailable(const std::string& why);

    bool ended() const { return closedByUser_ || shuttingDown_ || closedByProgram_; }
    bool closedByUser() const { return closedByUser_; }
    // Runs the held choices now (the scripted binding replays a user at these points).
    void deliverHeldChoices();
    // Keys pressed and not yet taken, oldest first.
    const std::deque<std::string>& keysWaiting() const { return keys_; }

    // --- What the binding provides ----------------------------------------------------
    virtual void showWindow(const std::string& title) = 0;
    virtual void hideWindow() = 0;
    // Shows what was drawn.
    virtual void present() = 0;
    // Hands what the toolkit holds (input, choices, a close) to the feeding calls above.
    virtual void takeInEvents() = 0;
    // Blocks without using the CPU for up to the time (negative: no limit). The binding ends it
    // early when interruptSleep() is called, or, if its toolkit only reports events after a
    // sleep, at the events wake names.
    virtual void sleep(double milliseconds, Wake wake) = 0;
    virtual void interruptSleep() {}
    // Lets the toolkit hand over what it holds where processEvents() does not wait.
    virtual void letNativeEventsIn() {}
    // Waits until the paced step due at this time may be shown; returns when it was shown.
    // By default it sleeps until then; a binding that shows at display frames waits for one.
    virtual double waitForStep(double dueMilliseconds);
    // Counts every drawing call: a change means something new is to be shown.
    virtual uint64_t drawCount() const = 0;
    // A steady clock.
    virtual double nowMilliseconds() = 0;
    // Between commands the drawing area follows the window's size at once.
    virtual void setBetweenCommands(bool) {}
    // The binding's own part of ending: closing boxes, stopping input.
    virtual void onEnded() {}
    // Saves the series table where the user says (a dialog, a download).
    virtual void saveTable(const std::string& table) = 0;
    // Runs a delivered choice.
    virtual void deliverChoice(int index);
    // Shows a modal box and returns the number of the button chosen; anything else (0 for a
    // box closed without a button) counts as the default button, clamped to the buttons.
    virtual int showBox(BoxStyle style, const std::string& text, int defaultButton,
                        const std::string& captions) = 0;

private:
    void enterEnding();
    void wakeSleep(bool byInput);
    // Sleeps through the binding, so that the program's end or input can cut the sleep short.
    void sleepFor(double milliseconds, Wake wake);
    void markReturn(double shownAt);
    std::string counterLogTime();

    MenuHandler menuHandler_ = nullptr;
    CloseHandler closeHandler_ = nullptr;
    TableWriter tableWriter_ = nullptr;
    bool saveHeld_ = false;
    std::deque<int> heldChoices_;
    std::deque<std::string> keys_;
    int heldButtons_ = 0;
    int pressedSincePoll_ = 0;
    std::set<std::string> toldProblems_;
    RandomSource random_;
    bool counterOn_ = false;
    int counterClicks_ = 0;
    int64_t counterHeardUpTo_ = 0;
    std::function<void(const std::string&)> counterLog_;
    bool boxOpen_ = false;

    bool opened_ = false;
    bool closedByUser_ = false;
    bool closedByProgram_ = false;
    bool shuttingDown_ = false;
    bool sleeping_ = false;
    Wake sleepWake_ = Wake::EndOnly;

    uint64_t eventsFed_ = 0;
    uint64_t drawnAtReturn_ = 0;
    double lastStep_ = -1e300;
};
