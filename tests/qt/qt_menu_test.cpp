// The menu bar built from the program's menu list, and the rule of when a choice reaches
// the program: only from processEvents() and waitForEvents(), in the order chosen, also
// when it was made during a pause or a poll.

#include "QtTestSupport.h"

#include "platform/qt/CanvasWidget.h"
#include "platform/qt/MainWindow.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qttest;

namespace {

// The list as the program's InitMenu hands it over (menuText 0..16).
const std::vector<std::string> kMenuText = {
    "DESK |", "&Quit", "----------", "&Info", "&Autor", "",
    "EXPERIMENT |", "&1 Demo-Experiment", "&2 Neues Experiment / 1 x wiederholen",
    "&3 Experiment 10 x wiederholen", "",
    "HILFE |", "&Theorie", "&Bedienung", "", "", ""};

std::vector<int> chosen;
int depth = 0;
std::vector<int> depthAtChoice;
std::function<void(int)> duringChoice;

void recordChoice(int32_t index)
{
    ++depth;
    chosen.push_back(index);
    depthAtChoice.push_back(depth);
    if (duringChoice)
        duringChoice(index);
    --depth;
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        chosen.clear();
        depthAtChoice.clear();
        duringChoice = nullptr;
        binding = makePlatform();
        binding->setMenuHandler(recordChoice);
        binding->openWindow("Menu");
        binding->installMenu(kMenuText);
    }

    QList<QMenu*> menus() const
    {
        QList<QMenu*> result;
        for (QAction* action : binding->mainWindow().menuBar()->actions())
            result.append(action->menu());
        return result;
    }

    // The entry with this text, as the user would click it.
    QAction* entry(const QString& text) const
    {
        for (QMenu* menu : menus())
            for (QAction* action : menu->actions())
                if (action->text() == text)
                    return action;
        return nullptr;
    }

    void chooseSoon(const QString& text, int milliseconds = 5)
    {
        QAction* action = entry(text);
        ASSERT_NE(action, nullptr) << text.toStdString();
        QTimer::singleShot(milliseconds, action, &QAction::trigger);
    }

    std::unique_ptr<QtPlatform> binding;
};

} // namespace

TEST_F(MenuTest, TitlesEntriesSeparatorAndMnemonicsFollowTheList)
{
    const QList<QMenu*> bar = menus();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar[0]->title(), QStringLiteral("&DESK"));
    EXPECT_EQ(bar[1]->title(), QStringLiteral("&EXPERIMENT"));
    EXPECT_EQ(bar[2]->title(), QStringLiteral("&HILFE"));
    EXPECT_EQ(QKeySequence::mnemonic(bar[0]->title()), QKeySequence(Qt::ALT | Qt::Key_D));
    EXPECT_EQ(QKeySequence::mnemonic(bar[1]->title()), QKeySequence(Qt::ALT | Qt::Key_E));
    EXPECT_EQ(QKeySequence::mnemonic(bar[2]->title()), QKeySequence(Qt::ALT | Qt::Key_H));

    const QList<QAction*> desk = bar[0]->actions();
    ASSERT_EQ(desk.size(), 4);
    EXPECT_EQ(desk[0]->text(), QStringLiteral("&Quit"));
    EXPECT_TRUE(desk[1]->isSeparator());
    EXPECT_EQ(desk[2]->text(), QStringLiteral("&Info"));
    EXPECT_EQ(desk[3]->text(), QStringLiteral("&Autor"));
    EXPECT_EQ(QKeySequence::mnemonic(desk[0]->text()), QKeySequence(Qt::ALT | Qt::Key_Q));

    const QList<QAction*> experiment = bar[1]->actions();
    ASSERT_EQ(experiment.size(), 3);
    EXPECT_EQ(experiment[0]->text(), QStringLiteral("&1 Demo-Experiment"));
    EXPECT_EQ(experiment[1]->text(), QStringLiteral("&2 Neues Experiment / 1 x wiederholen"));
    EXPECT_EQ(experiment[2]->text(), QStringLiteral("&3 Experiment 10 x wiederholen"));

    const QList<QAction*> help = bar[2]->actions();
    ASSERT_EQ(help.size(), 2);
    EXPECT_EQ(help[0]->text(), QStringLiteral("&Theorie"));
    EXPECT_EQ(help[1]->text(), QStringLiteral("&Bedienung"));
}

TEST_F(MenuTest, EachEntryReportsItsPositionInTheList)
{
    const std::vector<std::pair<QString, int>> expected = {
        {"&Quit", 1}, {"&Info", 3}, {"&Autor", 4}, {"&1 Demo-Experiment", 7},
        {"&2 Neues Experiment / 1 x wiederholen", 8}, {"&3 Experiment 10 x wiederholen", 9},
        {"&Theorie", 12}, {"&Bedienung", 13}};
    for (const auto& [text, index] : expected) {
        chosen.clear();
        entry(text)->trigger();
        binding->processEvents();
        ASSERT_EQ(chosen, std::vector<int>{index}) << text.toStdString();
    }
}

TEST_F(MenuTest, AChoiceMadeDuringAPauseWaitsForTheNextProcessEvents)
{
    chooseSoon("&Autor");
    chooseSoon("&Theorie", 10);
    binding->pause(60);
    EXPECT_TRUE(chosen.empty());
    EXPECT_EQ(binding->takeKey(), "");
    EXPECT_TRUE(chosen.empty());
    binding->processEvents();
    EXPECT_EQ(chosen, (std::vector<int>{4, 12}));
}

TEST_F(MenuTest, WaitForEventsBlocksUntilAChoiceAndDispatchesIt)
{
    chooseSoon("&Info", 30);
    for (int calls = 0; calls < 50 && chosen.empty(); ++calls)
        binding->waitForEvents();
    EXPECT_EQ(chosen, std::vector<int>{3});
}

TEST_F(MenuTest, AChoiceDuringACommandRunsNestedInsideIt)
{
    duringChoice = [this](int index) {
        if (index != 8)
            return;
        chooseSoon("&Theorie");
        binding->pause(30);
        EXPECT_EQ(chosen, std::vector<int>{8});   // held while the command pauses
        binding->processEvents();                  // the command's own event processing
    };
    entry("&2 Neues Experiment / 1 x wiederholen")->trigger();
    binding->processEvents();
    EXPECT_EQ(chosen, (std::vector<int>{8, 12}));
    EXPECT_EQ(depthAtChoice, (std::vector<int>{1, 2}));
}

TEST_F(MenuTest, KeysAndBothMouseButtonsDuringAPauseAreSeenAtTheNextPoll)
{
    CanvasWidget* canvas = binding->mainWindow().canvasWidget();
    QTimer::singleShot(5, canvas, [canvas] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(canvas, &press);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(canvas, &enter);
        const QPointF where(20, 20);
        QMouseEvent left(QEvent::MouseButtonPress, where, where, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &left);
        QMouseEvent both(QEvent::MouseButtonPress, where, where, Qt::RightButton,
                         Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &both);
    });
    binding->pause(40);
    EXPECT_EQ(binding->mouseButtons(), 3);
    EXPECT_EQ(binding->takeKey(), "a");
    EXPECT_EQ(binding->takeKey(), "\r");
    EXPECT_EQ(binding->takeKey(), "");

    // Both released again during the next pause: the press still counts once.
    QTimer::singleShot(5, canvas, [canvas] {
        const QPointF where(20, 20);
        QMouseEvent releaseLeft(QEvent::MouseButtonRelease, where, where, Qt::LeftButton, Qt::RightButton,
                                Qt::NoModifier);
        QApplication::sendEvent(canvas, &releaseLeft);
        QMouseEvent releaseRight(QEvent::MouseButtonRelease, where, where, Qt::RightButton, Qt::NoButton,
                                 Qt::NoModifier);
        QApplication::sendEvent(canvas, &releaseRight);
        QMouseEvent right(QEvent::MouseButtonPress, where, where, Qt::RightButton, Qt::RightButton,
                          Qt::NoModifier);
        QApplication::sendEvent(canvas, &right);
        QMouseEvent released(QEvent::MouseButtonRelease, where, where, Qt::RightButton, Qt::NoButton,
                             Qt::NoModifier);
        QApplication::sendEvent(canvas, &released);
    });
    binding->pause(40);
    EXPECT_EQ(binding->mouseButtons(), 3);   // still held at the last poll, right pressed since
    EXPECT_EQ(binding->mouseButtons(), 0);
}

TEST_F(MenuTest, AShiftKeyAloneIsNoKeyPress)
{
    CanvasWidget* canvas = binding->mainWindow().canvasWidget();
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    QApplication::sendEvent(canvas, &shift);
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(canvas, &right);
    EXPECT_EQ(binding->takeKey(), "Right");
    EXPECT_EQ(binding->takeKey(), "");
}
