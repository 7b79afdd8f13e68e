#pragma once

// One of the program's modal boxes. Every "|" of the text starts a line, and each line
// stays one line whatever the desktop's font: QMessageBox turns on word wrap past about
// 500 pixels and would break the lesson's hand-set lines ("... gemeinsam" / "unterbrechen!")
// where it likes, so the box is a dialog of its own that grows to fit its text, up to the
// screen (beyond it, the text scrolls).
//
// Each caption becomes one button with exactly that text, numbered from 1. Return takes the
// default button; a box closed without a button (Escape, reject()) answers with it too.
// Styles: Notice an information icon, Explanation a question mark, Warning a warning sign,
// About the program's own icon.

#include "platform/Platform.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QPushButton;

class BoxDialog : public QDialog {
    Q_OBJECT
public:
    struct Request {
        BoxStyle style = BoxStyle::Notice;
        QString text;            // lines separated by "|"
        int defaultButton = 1;   // clamped to the buttons there are
        QString captions;        // separated by "|"
        QString title;
    };

    BoxDialog(QWidget* parent, const Request& request);

    // Shows the box modally; the number of the button chosen.
    int ask();

    const QLabel& textLabel() const { return *text_; }
    const QLabel& iconLabel() const { return *icon_; }
    const QList<QPushButton*>& buttons() const { return buttons_; }
    int defaultButton() const { return defaultButton_; }

private:
    QLabel* icon_;
    QLabel* text_;
    QList<QPushButton*> buttons_;
    int defaultButton_ = 1;
};
