#include "platform/web/WebInput.h"

void WebInput::buttonsChanged(int buttons)
{
    pressedSincePoll_ |= buttons & ~held_;
    held_ = buttons;
}

std::string WebInput::takeKey()
{
    if (keys_.empty())
        return std::string();
    std::string key = std::move(keys_.front());
    keys_.pop_front();
    return key;
}

int WebInput::takeButtons()
{
    const int buttons = peekButtons();
    pressedSincePoll_ = 0;
    return buttons;
}
