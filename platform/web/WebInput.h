#pragma once

// Keys and mouse buttons as the program polls them, by the desktop's rules: key presses
// queue up until taken, and a button pressed at any moment since the previous poll counts
// at the next poll, so both buttons pressed during a pause are seen even if let go before
// it ends. A press counts at one poll only, unless the button is still held.

#include <deque>
#include <string>

class WebInput {
public:
    void keyPressed(std::string text) { keys_.push_back(std::move(text)); }
    // 1 left, 2 right, 3 both: the buttons held from now on.
    void buttonsChanged(int buttons);

    bool hasKey() const { return !keys_.empty(); }
    std::string takeKey();
    // Held now or pressed since the previous call.
    int takeButtons();
    int peekButtons() const { return held_ | pressedSincePoll_; }

private:
    std::deque<std::string> keys_;
    int held_ = 0;
    int pressedSincePoll_ = 0;
};
