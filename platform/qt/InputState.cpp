#include "platform/qt/InputState.h"

#include <QKeyEvent>
#include <QKeySequence>

void InputState::keyPressed(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_unknown:
        return;
    default:
        break;
    }
    QString text = event.text();
    if (text.isEmpty())
        text = QKeySequence(event.key()).toString();
    if (!text.isEmpty())
        keys_.push_back(text);
}

void InputState::buttonsChanged(Qt::MouseButtons buttons)
{
    pressedSincePoll_ |= buttons & ~held_;
    held_ = buttons;
}

QString InputState::takeKey()
{
    if (keys_.empty())
        return QString();
    QString key = keys_.front();
    keys_.pop_front();
    return key;
}

int InputState::takeButtons()
{
    const int code = peekButtons();
    pressedSincePoll_ = Qt::NoButton;
    return code;
}

int InputState::peekButtons() const
{
    return codeOf(held_ | pressedSincePoll_);
}

int InputState::codeOf(Qt::MouseButtons buttons)
{
    return (buttons.testFlag(Qt::LeftButton) ? 1 : 0) + (buttons.testFlag(Qt::RightButton) ? 2 : 0);
}
