// The menu bar built from the program's menu list; choices reach the program only from
// processEvents() and waitForEvents(), in order, also when made during a pause or a poll.
// Keys and mouse buttons are taken in during pauses.

#include "QtTestSupport.h"

#include "platform/qt/CanvasWidget.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

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

std::vector<int> chosen, depthAtChoice;
int depth = 0;
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

class MenuTest : public BindingTest {
protected:
    void SetUp() override
    {
        chosen.clear();
        depthAtChoice.clear();
        duringChoice = nullptr;
        BindingTest::SetUp();
        binding->setMenuHandler(recordChoice);
        binding->openWindow("Menu");
        binding->installMenu(kMenuText);
    }

    // The entry with this text, as the user would click it.
    QAction* entry(const QString& text) const
    {
        for (QAction* action : binding->mainWindow().menuBar()->findChildren<QAction*>())
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

    void send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held)
    {
        const QPointF where(20, 20);
        QMouseEvent event(type, where, where, button, held, Qt::NoModifier);
        QApplication::sendEvent(binding->mainWindow().canvasWidget(), &event);
    }
    void send(Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(binding->mainWindow().canvasWidget(), &event);
    }
};

} // namespace

TEST_F(MenuTest, BarFollowsTheListAndEachEntryReportsItsPosition)
{
    struct Entry { QString text; int index; };
    struct Menu { QString title; QKeyCombination mnemonic; std::vector<Entry> entries; };
    // Index -1 is the dashed separator.
    const std::vector<Menu> expected = {
        {"&DESK", Qt::ALT | Qt::Key_D, {{"&Quit", 1}, {"", -1}, {"&Info", 3}, {"&Autor", 4}}},
        {"&EXPERIMENT", Qt::ALT | Qt::Key_E,
         {{"&1 Demo-Experiment", 7}, {"&2 Neues Experiment / 1 x wiederholen", 8}, {"&3 Experiment 10 x wiederholen", 9}}},
        {"&HILFE", Qt::ALT | Qt::Key_H, {{"&Theorie", 12}, {"&Bedienung", 13}}}};
    const QList<QAction*> bar = binding->mainWindow().menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    for (size_t m = 0; m < expected.size(); ++m) {
        SCOPED_TRACE(expected[m].title.toStdString());
        const QMenu* menu = bar[int(m)]->menu();
        EXPECT_EQ(menu->title(), expected[m].title);
        EXPECT_EQ(QKeySequence::mnemonic(menu->title()), QKeySequence(expected[m].mnemonic));
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), int(expected[m].entries.size()));
        for (size_t e = 0; e < expected[m].entries.size(); ++e) {
            const Entry& want = expected[m].entries[e];
            SCOPED_TRACE(want.text.toStdString());
            EXPECT_EQ(actions[int(e)]->isSeparator(), want.index < 0);
            if (want.index < 0)
                continue;
            EXPECT_EQ(actions[int(e)]->text(), want.text);
            chosen.clear();
            actions[int(e)]->trigger();
            binding->processEvents();
            EXPECT_EQ(chosen, std::vector<int>{want.index});
        }
    }
}

TEST_F(MenuTest, ChoicesArriveOnlyWhenEventsAreProcessedAndRunNestedInACommand)
{
    // Chosen during a pause and a poll: held, then dispatched in order.
    chooseSoon("&Autor");
    chooseSoon("&Theorie", 10);
    binding->pause(60);
    EXPECT_TRUE(chosen.empty());
    EXPECT_EQ(binding->takeKey(), "");
    EXPECT_TRUE(chosen.empty());
    binding->processEvents();
    EXPECT_EQ(chosen, (std::vector<int>{4, 12}));

    // The program's event loop blocks until a choice and dispatches it.
    chosen.clear();
    chooseSoon("&Info", 30);
    for (int calls = 0; calls < 50 && chosen.empty(); ++calls)
        binding->waitForEvents();
    EXPECT_EQ(chosen, std::vector<int>{3});

    // A choice during a running command: held while it pauses, nested at its processEvents.
    chosen.clear();
    depthAtChoice.clear();
    duringChoice = [this](int index) {
        if (index != 8)
            return;
        chooseSoon("&Theorie");
        binding->pause(30);
        EXPECT_EQ(chosen, std::vector<int>{8});
        binding->processEvents();
    };
    entry("&2 Neues Experiment / 1 x wiederholen")->trigger();
    binding->processEvents();
    EXPECT_EQ(chosen, (std::vector<int>{8, 12}));
    EXPECT_EQ(depthAtChoice, (std::vector<int>{1, 2}));
}

TEST_F(MenuTest, KeysAndBothMouseButtonsDuringAPauseAreSeenAtTheNextPoll)
{
    QTimer::singleShot(5, &binding->mainWindow(), [this] {
        send(Qt::Key_A, QStringLiteral("a"));
        send(Qt::Key_Return, QStringLiteral("\r"));
        send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseButtonPress, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    });
    binding->pause(40);
    EXPECT_EQ(binding->mouseButtons(), 3);
    EXPECT_EQ(binding->mouseButtons(), 3);   // still held
    EXPECT_EQ(binding->takeKey(), "a");
    EXPECT_EQ(binding->takeKey(), "\r");
    EXPECT_EQ(binding->takeKey(), "");

    // Both released, then right pressed and released during the next pause: the right press
    // counts once; the two buttons the last poll saw do not count again after their release
    // (else the next run would end its first interval at once).
    QTimer::singleShot(5, &binding->mainWindow(), [this] {
        send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::RightButton);
        send(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton);
        send(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
        send(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton);
    });
    binding->pause(40);
    EXPECT_EQ(binding->mouseButtons(), 2);
    EXPECT_EQ(binding->mouseButtons(), 0);

    // A shift key alone is no key press.
    send(Qt::Key_Shift, QString(), Qt::ShiftModifier);
    send(Qt::Key_Right, QString());
    EXPECT_EQ(binding->takeKey(), "Right");
    EXPECT_EQ(binding->takeKey(), "");
}
