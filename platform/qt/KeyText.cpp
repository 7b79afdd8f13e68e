#include "platform/qt/KeyText.h"

#include <QKeyEvent>
#include <QKeySequence>

QString keyText(const QKeyEvent& event)
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
        return QString();
    default:
        break;
    }
    const QString text = event.text();
    return text.isEmpty() ? QKeySequence(event.key()).toString() : text;
}
