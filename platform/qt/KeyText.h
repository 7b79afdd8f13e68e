#pragma once

// A key press as the program takes it: its text ("a", "\r", "\x1b"), or for keys without text
// their name ("F1", "Right"). Modifier keys alone are no key press for the program: "".

#include <QString>

class QKeyEvent;

QString keyText(const QKeyEvent& event);
