#pragma once

// Shared set-up for the Qt binding's tests: a binding on a white canvas with pixel access,
// files to write, and a stand-in user who answers the boxes.

#include "platform/qt/BoxDialog.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/PixelCanvas.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace qttest {

constexpr Colour kWhite = makeColour(255, 255, 255), kBlack = 0, kRed = makeColour(255, 0, 0), kGreen = makeColour(0, 255, 0),
                 kBlue = makeColour(0, 0, 255);

inline void writeFile(const QString& name, const QByteArray& content)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir::setCurrent(MT_ASSET_DIR);   // the program's four files; a test may have gone elsewhere
        static int argc = 1;
        static char name[] = "qt_tests", *argv[] = {name, nullptr};
        binding = std::make_unique<QtPlatform>(argc, argv);
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

// Answers every box as it opens: `look` sees it first and may name the button to click;
// otherwise Return takes the default.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::function<QString(const BoxDialog&)> look = {}) : look_(std::move(look))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<BoxDialog*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || box->property("answered").toBool())
                return;
            box->setProperty("answered", true);
            texts.push_back(box->textLabel().text());
            const QString caption = look_ ? look_(*box) : QString();
            for (QPushButton* button : box->buttons())
                if (button->text() == caption)
                    return button->click();
            QTest::keyClick(box, Qt::Key_Return);
        });
        timer_.start(5);
    }
    std::vector<QString> texts;   // of the boxes answered, lines joined by "\n"

private:
    std::function<QString(const BoxDialog&)> look_;
    QTimer timer_;
};

} // namespace qttest
