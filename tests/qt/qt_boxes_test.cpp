// Message boxes as the user sees them (answered by a stand-in user on a timer), and
// closing the main window as the user does: the program's Quit, with every box, pause
// and poll returning at once afterwards.

#include "QtTestSupport.h"

#include "platform/qt/MainWindow.h"
#include "platform/qt/MessageBoxes.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace qttest;

namespace {

const std::string kTitle = "Statistik von zuf\u00e4lligen Mikroteilchen" + std::string(26, ' ');
const std::string kStartHint =
    " Beenden nur mit QUIT!||| Mit beiden Maustasten gleichzeitig| unterbrechen Sie jede Funktion !||";

class BoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        binding = makePlatform();
        binding->openWindow(kTitle);
    }

    std::unique_ptr<QtPlatform> binding;
};

int closeHandlerCalls = 0;
void countClose()
{
    ++closeHandlerCalls;
}

} // namespace

TEST_F(BoxTest, StartHintShowsSevenLinesAndOneButtonWithItsBlanks)
{
    BoxAnswerer user;
    EXPECT_EQ(binding->messageBox(1, kStartHint, 1, " OK "), 1);
    ASSERT_EQ(user.seen.size(), 1u);
    const SeenBox& box = user.seen[0];
    EXPECT_EQ(box.title, QString::fromStdString(kTitle));
    EXPECT_EQ(box.text.split('\n'),
              (QStringList{" Beenden nur mit QUIT!", "", "", " Mit beiden Maustasten gleichzeitig",
                           " unterbrechen Sie jede Funktion !", "", ""}));
    EXPECT_EQ(box.buttons, QStringList{" OK "});
    EXPECT_EQ(box.defaultButton, QStringLiteral(" OK "));
    EXPECT_EQ(box.icon, QMessageBox::Information);
}

TEST_F(BoxTest, DefaultButtonBeyondTheButtonsLeavesTheOnlyOneAsDefault)
{
    BoxAnswerer user;
    EXPECT_EQ(binding->messageBox(19, "| Es soll die Statistik|| ", 2, "OK"), 1);
    ASSERT_EQ(user.seen.size(), 1u);
    EXPECT_EQ(user.seen[0].buttons, QStringList{"OK"});
    EXPECT_EQ(user.seen[0].defaultButton, QStringLiteral("OK"));
    EXPECT_EQ(user.seen[0].icon, QMessageBox::Question);
    EXPECT_EQ(user.seen[0].text.split('\n'), (QStringList{"", " Es soll die Statistik", "", " "}));
}

TEST_F(BoxTest, SeveralCaptionsGiveNumberedButtonsAndTheChosenNumberComesBack)
{
    BoxAnswerer takesNein([](const SeenBox&) { return QStringLiteral("Nein"); });
    EXPECT_EQ(binding->messageBox(1, "Weiter?", 1, "Ja|Nein|Abbrechen"), 2);
    ASSERT_EQ(takesNein.seen.size(), 1u);
    EXPECT_EQ(takesNein.seen[0].buttons, (QStringList{"Ja", "Nein", "Abbrechen"}));
    EXPECT_EQ(takesNein.seen[0].defaultButton, QStringLiteral("Ja"));
}

TEST_F(BoxTest, PressingReturnTakesTheDefaultButton)
{
    BoxAnswerer pressesReturn;
    EXPECT_EQ(binding->messageBox(1, "Weiter?", 3, "Ja|Nein|Abbrechen"), 3);
    EXPECT_EQ(pressesReturn.seen.at(0).defaultButton, QStringLiteral("Abbrechen"));
    BoxAnswerer again;
    EXPECT_EQ(binding->messageBox(1, "Weiter?", 0, "Ja|Nein"), 1);   // below range: the first
}

TEST_F(BoxTest, AboutStyleShowsTheApplicationIconInsteadOfAStandardSymbol)
{
    QPixmap icon(32, 32);
    icon.fill(Qt::darkBlue);
    QApplication::setWindowIcon(QIcon(icon));
    BoxAnswerer user;
    binding->messageBox(147, "Programmautor:     ||A. Autor", 1, "OK");
    QApplication::setWindowIcon(QIcon());
    ASSERT_EQ(user.seen.size(), 1u);
    EXPECT_EQ(user.seen[0].icon, QMessageBox::NoIcon);
    EXPECT_TRUE(user.seen[0].hasIconPixmap);
    EXPECT_EQ(MessageBoxes::iconFor(1), QMessageBox::Information);
    EXPECT_EQ(MessageBoxes::iconFor(19), QMessageBox::Question);
    EXPECT_EQ(MessageBoxes::iconFor(147), QMessageBox::NoIcon);
}

TEST_F(BoxTest, ClosingTheWindowCallsTheHandlerOnceAndEverythingReturnsAtOnce)
{
    closeHandlerCalls = 0;
    binding->setCloseHandler(countClose);
    MainWindow& window = binding->mainWindow();
    // The window appears with the first presentation, not before: no empty frame is shown.
    EXPECT_FALSE(window.isVisible());
    binding->processEvents();
    ASSERT_TRUE(window.isVisible());

    // The user closes the window while the program pauses.
    QTimer::singleShot(10, &window, [&window] { window.close(); });
    binding->pause(100000);   // would take 100 s if the close did not end it
    EXPECT_EQ(closeHandlerCalls, 1);
    EXPECT_FALSE(binding->windowExists());
    EXPECT_FALSE(window.isVisible());

    // A second close request (the window manager repeating itself) does not call it again.
    QCloseEvent again;
    QApplication::sendEvent(&window, &again);
    EXPECT_EQ(closeHandlerCalls, 1);

    // From now on nothing waits: a zero timer that any waiting would let run stays unfired.
    bool loopRan = false;
    QTimer::singleShot(0, &window, [&loopRan] { loopRan = true; });
    EXPECT_EQ(binding->messageBox(19, "Theorie", 2, "OK"), 1);
    EXPECT_EQ(binding->messageBox(1, "Weiter?", 2, "Ja|Nein"), 2);
    binding->pause(100000);
    EXPECT_EQ(binding->takeKey(), "");
    EXPECT_EQ(binding->takeKey(), "");
    EXPECT_EQ(binding->mouseButtons(), 0);
    EXPECT_EQ(binding->mouseButtons(), 0);
    EXPECT_FALSE(loopRan);
    binding->waitForEvents();   // the program's event loop must not block on a closed window
    binding->closeWindow();
    EXPECT_EQ(closeHandlerCalls, 1);
}

TEST_F(BoxTest, ABoxOpenWhenTheWindowGoesAwayIsClosedWithIt)
{
    closeHandlerCalls = 0;
    binding->setCloseHandler(countClose);
    MainWindow& window = binding->mainWindow();
    // Qt keeps a user's close request away from a window under a modal box, so the window
    // is closed as the window system would if it insisted.
    QTimer::singleShot(20, &window, [&window] {
        QCloseEvent close;
        QApplication::sendEvent(&window, &close);
    });
    // Should the box stay, the user would answer "Nein" after a while.
    BoxAnswerer lateUser([](const SeenBox&) { return QStringLiteral("Nein"); }, 3000);
    EXPECT_EQ(binding->messageBox(19, "Theorie", 1, "Ja|Nein"), 1);
    EXPECT_TRUE(lateUser.seen.empty());
    EXPECT_EQ(closeHandlerCalls, 1);
    EXPECT_FALSE(binding->windowExists());
}

TEST_F(BoxTest, ClosingByTheProgramDoesNotCallTheHandler)
{
    closeHandlerCalls = 0;
    binding->setCloseHandler(countClose);
    binding->closeWindow();
    EXPECT_EQ(closeHandlerCalls, 0);
    EXPECT_FALSE(binding->windowExists());
    EXPECT_FALSE(binding->mainWindow().isVisible());
}

TEST(BindingLifetime, SeveralBindingsOneAfterAnotherShareTheApplication)
{
    for (int round = 0; round < 3; ++round) {
        auto binding = makePlatform();
        binding->openWindow("Runde");
        binding->setForeground(kRed);
        binding->fillRectangle(0, 0, 9, 9);
        binding->processEvents();
        EXPECT_EQ(binding->canvas().colourAt(5, 5), kRed);
        BoxAnswerer user;
        EXPECT_EQ(binding->messageBox(1, "Runde", 1, "OK"), 1);
    }
}
