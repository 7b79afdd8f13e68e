#pragma once

// Keys and mouse buttons as the program polls them: key presses queue up until taken,
// and a button pressed at any moment since the previous poll counts at the next poll,
// so both buttons held down during a pause are seen even if released before it ends.
// A press counts at one poll only, unless the button is still held: buttons a poll saw
// and the user then let go must not stop the next run.

#include <QString>
#include <Qt>

#include <deque>

class QKeyEvent;

class InputState {
public:
    // The key as text ("a", "\r", "\x1b"); keys without text by their name ("F1", "Right").
    // Modifier keys alone are no key press for the program.
    void keyPressed(const QKeyEvent& event);
    void buttonsChanged(Qt::MouseButtons buttons);
    // Buttons not in heldNow were let go where the drawing area could not see it.
    void forgetReleased(Qt::MouseButtons heldNow) { held_ &= heldNow; }

    bool hasKey() const { return !keys_.empty(); }
    QString takeKey();
    // 0 none, 1 left, 2 right, 3 both: held now or pressed since the previous call.
    int takeButtons();
    int peekButtons() const;

private:
    static int codeOf(Qt::MouseButtons buttons);

    std::deque<QString> keys_;
    Qt::MouseButtons held_ = Qt::NoButton;
    Qt::MouseButtons pressedSincePoll_ = Qt::NoButton;
};
