#pragma once

// Shared set-up for the Qt binding tests: a binding on a white canvas with pixel access,
// files to read, and a stand-in user who answers message boxes.

#include "platform/qt/MainWindow.h"
#include "platform/qt/PixelCanvas.h"
#include "platform/qt/QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

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

inline void writeFile(const QString& name, const QByteArray& content)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

inline std::unique_ptr<QtPlatform> makePlatform()
{
    static int argc = 1;
    static char name[] = "qt_binding_test";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QtPlatform>(argc, argv);
}

// A fresh binding with a white canvas and black ink.
class BindingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        binding = makePlatform();
        binding->setWindowBackground(kWhite);
        binding->clearWindow();
        binding->setForeground(kBlack);
    }

    Colour at(int x, int y) const { return binding->canvas().colourAt(x, y); }
    QImage snapshot() const { return binding->canvas().image().copy(); }
    int count(QRect area, Colour colour) const
    {
        int found = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                found += at(x, y) == colour ? 1 : 0;
        return found;
    }

    std::unique_ptr<QtPlatform> binding;
};

// What a message box showed when the stand-in user looked at it.
struct SeenBox {
    QString title, text, defaultButton;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool hasIconPixmap = false;
};

// Answers every message box: with Return (the default button), or by clicking the button
// that chooseCaption names, after the box has been open for patienceMilliseconds.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::function<QString(const SeenBox&)> chooseCaption = {}, int patienceMilliseconds = 0)
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
        QPushButton* byDefault = box->defaultButton();
        SeenBox view{box->windowTitle(), box->text(), byDefault ? byDefault->text() : QString(), {}, box->icon(),
                     !box->iconPixmap().isNull()};
        for (QAbstractButton* button : box->buttons())
            view.buttons.append(button->text());
        seen.push_back(view);
        const QString caption = chooseCaption_ ? chooseCaption_(view) : QString();
        for (QAbstractButton* button : box->buttons())
            if (!caption.isEmpty() && button->text() == caption)
                return button->click();
        EXPECT_NE(byDefault, nullptr) << "Return must answer every box";
        (byDefault ? static_cast<QAbstractButton*>(byDefault) : box->buttons().constFirst())->click();
    }

    std::function<QString(const SeenBox&)> chooseCaption_;
    int patience_;
    QElapsedTimer clock_;
    QTimer timer_;
};

} // namespace qttest
