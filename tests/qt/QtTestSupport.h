#pragma once

// Shared set-up for the Qt binding tests: a binding joined to the test's QApplication,
// pixel colours by name, and a stand-in user who answers message boxes.

#include "platform/qt/PixelCanvas.h"
#include "platform/qt/QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace qttest {

constexpr Colour kWhite = makeColour(255, 255, 255);
constexpr Colour kBlack = makeColour(0, 0, 0);
constexpr Colour kRed = makeColour(255, 0, 0);
constexpr Colour kGreen = makeColour(0, 255, 0);
constexpr Colour kBlue = makeColour(0, 0, 255);
constexpr Colour kSky = makeColour(51, 168, 238);

inline std::unique_ptr<QtPlatform> makePlatform()
{
    static int argc = 1;
    static char name[] = "qt_binding_test";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QtPlatform>(argc, argv);
}

// What a message box showed when the stand-in user looked at it.
struct SeenBox {
    QString title;
    QString text;
    QStringList buttons;
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool hasIconPixmap = false;
};

// Watches for message boxes and answers each one: by default with Return (the default
// button), or by clicking the button that chooseCaption names.
class BoxAnswerer {
public:
    // patienceMilliseconds: how long a box stays open before the user answers it.
    explicit BoxAnswerer(std::function<QString(const SeenBox&)> chooseCaption = {},
                         int patienceMilliseconds = 0)
        : chooseCaption_(std::move(chooseCaption)), patience_(patienceMilliseconds)
    {
        clock_.start();
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
        timer_.start();
    }

    std::vector<SeenBox> seen;

private:
    void look()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        // Boxes live on the stack, so a later one may have an earlier one's address.
        if (!box || !box->isVisible() || box->property("answeredByTest").toBool())
            return;
        if (!box->property("seenByTest").isValid())
            box->setProperty("seenByTest", clock_.elapsed());
        if (clock_.elapsed() - box->property("seenByTest").toLongLong() < patience_)
            return;
        box->setProperty("answeredByTest", true);
        SeenBox view;
        view.title = box->windowTitle();
        view.text = box->text();
        for (QAbstractButton* button : box->buttons())
            view.buttons.append(button->text());
        view.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        view.icon = box->icon();
        view.hasIconPixmap = !box->iconPixmap().isNull();
        seen.push_back(view);
        const QString caption = chooseCaption_ ? chooseCaption_(view) : QString();
        for (QAbstractButton* button : box->buttons()) {
            if (!caption.isEmpty() && button->text() == caption) {
                button->click();
                return;
            }
        }
        if (box->defaultButton())
            box->defaultButton()->click();
    }

    std::function<QString(const SeenBox&)> chooseCaption_;
    int patience_;
    QElapsedTimer clock_;
    QTimer timer_;
};

} // namespace qttest
