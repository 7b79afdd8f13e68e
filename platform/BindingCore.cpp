#include "platform/BindingCore.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <utility>

// Sub-millisecond remainders are not worth another sleep: no binding sleeps that finely.
constexpr double kNothingLeft = 0.5;

// --- Window --------------------------------------------------------------------------

void BindingCore::openWindow(const std::string& title)
{
    opened_ = true;
    showWindow(title);
}

bool BindingCore::windowExists() const
{
    return opened_ && !closedByUser_ && !closedByProgram_;
}

void BindingCore::closeWindow()
{
    closedByProgram_ = true;
    enterEnding();
    hideWindow();
}

void BindingCore::beginShutDown()
{
    shuttingDown_ = true;
    enterEnding();
}

void BindingCore::userClosedWindow()
{
    if (closedByUser_)
        return;
    closedByUser_ = true;
    enterEnding();
    if (closeHandler_)
        closeHandler_();
}

void BindingCore::enterEnding()
{
    onEnded();
    wakeSleep(false);
}

// --- Feeding -----------------------------------------------------------------------

void BindingCore::keyPressed(std::string text)
{
    keys_.push_back(std::move(text));
    ++eventsFed_;
    wakeSleep(true);
}

void BindingCore::buttonsChanged(int held)
{
    pressedSincePoll_ |= held & ~heldButtons_;
    heldButtons_ = held;
    ++eventsFed_;
    wakeSleep(true);
}

void BindingCore::menuChosen(int index)
{
    heldChoices_.push_back(index);
    ++eventsFed_;
    wakeSleep(true);
}

void BindingCore::saveAsked()
{
    saveHeld_ = true;
    otherEvent();   // a wait for events returns for it
}

void BindingCore::otherEvent()
{
    ++eventsFed_;
    if (sleeping_ && sleepWake_ == Wake::AnyEvent)
        interruptSleep();
}

void BindingCore::wakeSleep(bool byInput)
{
    if (sleeping_ && (!byInput || sleepWake_ != Wake::EndOnly))
        interruptSleep();
}

void BindingCore::sleepFor(double milliseconds, Wake wake)
{
    // Sleeps nest when a box opens from inside one; the outer sleep keeps its own wake.
    const bool outerSleeping = std::exchange(sleeping_, true);
    const Wake outerWake = std::exchange(sleepWake_, wake);
    sleep(milliseconds, wake);
    sleeping_ = outerSleeping;
    sleepWake_ = outerWake;
}

// --- Events ------------------------------------------------------------------------

void BindingCore::deliverChoice(int index)
{
    if (menuHandler_)
        menuHandler_(index);
}

void BindingCore::deliverHeldChoices()
{
    // A choice delivered here may run a whole command, whose own processEvents() calls deliver
    // the choices made meanwhile: the queue is shared, so the order holds. Once the program
    // ends, what is held is dropped, also behind a choice that ended it.
    while (!heldChoices_.empty()) {
        if (ended()) {
            heldChoices_.clear();
            return;
        }
        const int index = heldChoices_.front();
        heldChoices_.pop_front();
        deliverChoice(index);
    }
    if (std::exchange(saveHeld_, false) && !ended() && tableWriter_)
        saveTable(tableWriter_());
}

bool BindingCore::holdsMenuChoice(int32_t index) const
{
    return !ended() && std::find(heldChoices_.begin(), heldChoices_.end(), index) != heldChoices_.end();
}

void BindingCore::markReturn(double shownAt)
{
    drawnAtReturn_ = drawCount();
    // A step shown near its due time keeps the cadence, so that rounding to display frames
    // neither slows nor hurries a run; after a longer gap the next step counts from now.
    const double due = lastStep_ + kStepMilliseconds;
    if (shownAt >= due - kStepMilliseconds / 4 && shownAt < due + kStepMilliseconds)
        lastStep_ = due;
    else
        lastStep_ = shownAt;
}

double BindingCore::waitForStep(double dueMilliseconds)
{
    const double left = dueMilliseconds - nowMilliseconds();
    if (left > 0)
        sleepFor(left, Wake::EndOnly);
    return nowMilliseconds();
}

void BindingCore::processEvents()
{
    present();
    takeInEvents();
    double shownAt = 0;
    if (!ended() && drawCount() != drawnAtReturn_) {
        shownAt = waitForStep(lastStep_ + kStepMilliseconds);
    } else {
        letNativeEventsIn();
        shownAt = nowMilliseconds();
    }
    takeInEvents();
    deliverHeldChoices();
    markReturn(shownAt);
}

void BindingCore::waitForEvents()
{
    const uint64_t fedBefore = eventsFed_;
    present();
    setBetweenCommands(true);
    takeInEvents();
    if (!ended() && heldChoices_.empty() && eventsFed_ == fedBefore) {
        sleepFor(-1, Wake::AnyEvent);
        takeInEvents();
    }
    setBetweenCommands(false);
    deliverHeldChoices();
    markReturn(nowMilliseconds());
}

InputWait BindingCore::waitForInput(int timeoutMilliseconds)
{
    if (ended())
        return InputWait::Ended;
    const double start = nowMilliseconds();
    present();
    for (;;) {
        takeInEvents();
        if (ended())
            return InputWait::Ended;
        if (!heldChoices_.empty())
            return InputWait::MenuChoice;
        if (!keys_.empty() || (heldButtons_ | pressedSincePoll_) != 0)
            return InputWait::KeyOrButton;
        double left = -1;
        if (timeoutMilliseconds >= 0) {
            left = timeoutMilliseconds - (nowMilliseconds() - start);
            if (left < kNothingLeft)
                return InputWait::TimeUp;
        }
        sleepFor(left, Wake::Input);
    }
}

// --- Input -------------------------------------------------------------------------

std::string BindingCore::takeKey()
{
    if (keys_.empty())
        takeInEvents();
    if (ended() || keys_.empty())
        return std::string();
    std::string key = std::move(keys_.front());
    keys_.pop_front();
    return key;
}

int BindingCore::mouseButtons()
{
    takeInEvents();
    if (ended())
        return 0;
    const int buttons = heldButtons_ | pressedSincePoll_;
    pressedSincePoll_ = 0;
    return buttons;
}

// --- Time --------------------------------------------------------------------------

void BindingCore::pause(int milliseconds)
{
    if (ended())
        return;
    const double start = nowMilliseconds();
    present();
    takeInEvents();
    // Only the program's end cuts a pause short; what the user does meanwhile waits.
    for (double left = milliseconds; !ended() && left >= kNothingLeft;
         left = milliseconds - (nowMilliseconds() - start))
        sleepFor(left, Wake::EndOnly);
}

// --- Boxes -------------------------------------------------------------------------

int BindingCore::messageBox(BoxStyle style, const std::string& text, int defaultButton,
                            const std::string& captions)
{
    const int buttons = static_cast<int>(std::count(captions.begin(), captions.end(), '|')) + 1;
    const int byDefault = std::clamp(defaultButton, 1, buttons);
    if (ended())
        return byDefault;
    present();
    // A counter's clicks heard while a box is open belong to no step.
    const bool outerBox = std::exchange(boxOpen_, true);
    const int chosen = showBox(style, text, defaultButton, captions);
    boxOpen_ = outerBox;
    return chosen >= 1 && chosen <= buttons ? chosen : byDefault;
}

// Each problem is told once per run: a missing background picture would otherwise come back
// at every experiment screen.
void BindingCore::tellFileProblem(const std::string& text)
{
    if (toldProblems_.insert(text).second)
        messageBox(BoxStyle::Warning, text, 1, "OK");
}

// --- Counter -----------------------------------------------------------------------

void BindingCore::setCounterOn(bool on, int sampleRate)
{
    counterOn_ = on;
    counterClicks_ = 0;
    counterHeardUpTo_ = 0;
    if (on && counterLog_)
        counterLog_("rate " + std::to_string(sampleRate));
}

void BindingCore::counterHeard(std::span<const int64_t> onsets, int64_t heardUpTo)
{
    if (!counterOn_)
        return;
    counterHeardUpTo_ = heardUpTo;
    for (const int64_t onset : onsets) {
        if (counterLog_)
            counterLog_((boxOpen_ ? "dropped " : "click ") + std::to_string(onset) + ' ' + std::to_string(heardUpTo) +
                        counterLogTime());
        if (!boxOpen_ && counterClicks_ < INT_MAX)
            ++counterClicks_;
    }
}

int BindingCore::takeCounterClicks()
{
    const int clicks = std::exchange(counterClicks_, 0);
    if (counterOn_ && counterLog_)
        counterLog_("take " + std::to_string(counterHeardUpTo_) + ' ' + std::to_string(clicks) + counterLogTime());
    return clicks;
}

void BindingCore::startCounterInterval()
{
    const int dropped = std::exchange(counterClicks_, 0);
    if (counterOn_ && counterLog_)
        counterLog_("start " + std::to_string(counterHeardUpTo_) + ' ' + std::to_string(dropped));
}

std::string BindingCore::counterLogTime()
{
    char text[32];
    std::snprintf(text, sizeof text, " %.1f", timer() * 1000);
    return text;
}

void BindingCore::tellCounterUnavailable(const std::string& why)
{
    messageBox(BoxStyle::Warning, why + "|Die Messung l\u00e4uft simuliert weiter.", 1, "OK");
}

void BindingCore::setCounterLog(std::function<void(const std::string& line)> writeLine)
{
    counterLog_ = std::move(writeLine);
}
