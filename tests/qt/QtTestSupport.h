#pragma once

// Shared set-up for the Qt binding tests: a binding joined to the test's QApplication on a
// white canvas, pixel access at logical points, a drawing area of a chosen size, and a
// stand-in user who answers message boxes.

#include "platform/qt/MainWindow.h"
#include "platform/qt/PixelCanvas.h"
#include "platform/qt/QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
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

    // Resizes the open window until the drawing area has this size (the offscreen screen is
    // smaller than some sizes wanted; the window may still be larger).
    void useDrawingArea(int width, int height)
    {
        MainWindow& window = binding->mainWindow();
        for (int attempt = 0; attempt < 5; ++attempt) {
            binding->processEvents();
            if (binding->drawingWidth() == width && binding->drawingHeight() == height)
                break;
            window.resize(window.width() + width - binding->drawingWidth(),
                          window.height() + height - binding->drawingHeight());
        }
        ASSERT_EQ(binding->drawingWidth(), width);
        ASSERT_EQ(binding->drawingHeight(), height);
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
        SeenBox view{box->windowTitle(), box->text(),
                     box->defaultButton() ? box->defaultButton()->text() : QString(), {}, box->icon(),
                     !box->iconPixmap().isNull()};
        for (QAbstractButton* button : box->buttons())
            view.buttons.append(button->text());
        seen.push_back(view);
        const QString caption = chooseCaption_ ? chooseCaption_(view) : QString();
        for (QAbstractButton* button : box->buttons())
            if (!caption.isEmpty() && button->text() == caption)
                return button->click();
        QAbstractButton* answer = box->defaultButton();
        EXPECT_NE(answer, nullptr) << "Return must answer every box";
        (answer ? answer : box->buttons().constFirst())->click();
    }

    std::function<QString(const SeenBox&)> chooseCaption_;
    int patience_;
    QElapsedTimer clock_;
    QTimer timer_;
};

} // namespace qttest
