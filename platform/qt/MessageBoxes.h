#pragma once

// The program's modal message boxes on QMessageBox.
//
// Style codes and their look:
//   1    information notice       QMessageBox::Information
//   19   explanation text         QMessageBox::Question
//   48   warning (the binding's own, e.g. an unusable picture)   QMessageBox::Warning
//   147  about box                no standard icon: the application icon, as QMessageBox::about shows it
//   any other code                no icon
// Lines of the text and button captions are separated by "|"; each caption becomes
// exactly one button with exactly that text, numbered from 1 in the given order.

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

class MessageBoxes : public QObject {
    Q_OBJECT
public:
    struct Request {
        int style = 1;
        QString text;            // lines separated by "|"
        int defaultButton = 1;   // clamped to the buttons there are
        QString captions;        // separated by "|"
        QString title;
    };

    static constexpr int kWarningStyle = 48;

    static QMessageBox::Icon iconFor(int style);
    static QStringList linesOf(const QString& text);

    // Shows the box modally and returns the chosen button's number. A box closed from
    // outside (rejectAll) or without a button answers with the default button.
    int show(QWidget* parent, const Request& request);
    // Closes every open box, e.g. when the main window goes away under it.
    void rejectAll();
    int openCount() const;

private:
    QList<QPointer<QMessageBox>> open_;
};
