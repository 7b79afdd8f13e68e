// Message boxes as the user sees them, and closing the main window as the user does: the
// program's Quit, with every box, pause and poll returning at once afterwards.

#include "QtTestSupport.h"

#include <QCloseEvent>
#include <QPixmap>

using namespace qttest;

namespace {

const std::string kTitle = "Statistik von zuf\u00e4lligen Mikroteilchen" + std::string(26, ' ');

int closeHandlerCalls = 0;
void countClose() { ++closeHandlerCalls; }

class BoxTest : public BindingTest {
protected:
    void SetUp() override
    {
        BindingTest::SetUp();
        binding->openWindow(kTitle);
        closeHandlerCalls = 0;
        binding->setCloseHandler(countClose);
    }
};

} // namespace

TEST_F(BoxTest, LinesCaptionsDefaultButtonAndIconAreShownAsAsked)
{
    struct Row {
        int style; std::string text; int defaultButton; std::string captions; QString choose;
        QStringList lines, buttons; QString shownDefault; QMessageBox::Icon icon; int answer;
    };
    const Row rows[] = {
        {1, " Beenden nur mit QUIT!||| Mit beiden Maustasten gleichzeitig| unterbrechen Sie jede Funktion !||", 1, " OK ", {},
         {" Beenden nur mit QUIT!", "", "", " Mit beiden Maustasten gleichzeitig", " unterbrechen Sie jede Funktion !", "", ""},
         {" OK "}, " OK ", QMessageBox::Information, 1},
        // Beyond the buttons or below them, the default is clamped to the nearest one.
        {19, "| Es soll die Statistik|| ", 2, "OK", {}, {"", " Es soll die Statistik", "", " "}, {"OK"}, "OK",
         QMessageBox::Question, 1},
        {1, "Weiter?", 0, "Ja|Nein", {}, {"Weiter?"}, {"Ja", "Nein"}, "Ja", QMessageBox::Information, 1},
        {1, "Weiter?", 1, "Ja|Nein|Abbrechen", "Nein", {"Weiter?"}, {"Ja", "Nein", "Abbrechen"}, "Ja",
         QMessageBox::Information, 2},
        {1, "Weiter?", 3, "Ja|Nein|Abbrechen", {}, {"Weiter?"}, {"Ja", "Nein", "Abbrechen"}, "Abbrechen",
         QMessageBox::Information, 3},   // Return takes the default
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text + " / " + row.captions);
        BoxAnswerer user([&row](const SeenBox&) { return row.choose; });
        EXPECT_EQ(binding->messageBox(static_cast<BoxStyle>(row.style), row.text, row.defaultButton, row.captions), row.answer);
        ASSERT_EQ(user.seen.size(), 1u);
        EXPECT_EQ(user.seen[0].title, QString::fromStdString(kTitle));
        EXPECT_EQ(user.seen[0].text.split('\n'), row.lines);
        EXPECT_EQ(user.seen[0].buttons, row.buttons);
        EXPECT_EQ(user.seen[0].defaultButton, row.shownDefault);
        EXPECT_EQ(user.seen[0].icon, row.icon);
    }

    // The about look: the application's icon instead of a standard symbol.
    QPixmap icon(32, 32);
    icon.fill(Qt::darkBlue);
    QApplication::setWindowIcon(QIcon(icon));
    BoxAnswerer user;
    binding->messageBox(static_cast<BoxStyle>(147), "Programmautor:     ||A. Autor", 1, "OK");
    QApplication::setWindowIcon(QIcon());
    ASSERT_EQ(user.seen.size(), 1u);
    EXPECT_EQ(user.seen[0].icon, QMessageBox::NoIcon);
    EXPECT_TRUE(user.seen[0].hasIconPixmap);
}

TEST_F(BoxTest, ClosingTheWindowCallsTheHandlerOnceAndEverythingReturnsAtOnce)
{
    MainWindow& window = binding->mainWindow();
    binding->processEvents();
    ASSERT_TRUE(window.isVisible());
    // The user closes the window while the program pauses; the pause would take 100 s.
    QTimer::singleShot(10, &window, [&window] { window.close(); });
    binding->pause(100000);
    EXPECT_EQ(closeHandlerCalls, 1);
    EXPECT_FALSE(binding->windowExists());
    EXPECT_FALSE(window.isVisible());
    // A second close request (the window manager repeating itself) does not call it again.
    QCloseEvent again;
    QApplication::sendEvent(&window, &again);

    // From now on nothing waits: a zero timer that any waiting would let run stays unfired.
    bool loopRan = false;
    QTimer::singleShot(0, &window, [&loopRan] { loopRan = true; });
    EXPECT_EQ(binding->messageBox(static_cast<BoxStyle>(19), "Theorie", 2, "OK"), 1);
    EXPECT_EQ(binding->messageBox(static_cast<BoxStyle>(1), "Weiter?", 2, "Ja|Nein"), 2);
    binding->pause(100000);
    for (int poll = 0; poll < 2; ++poll) {
        EXPECT_EQ(binding->takeKey(), "");
        EXPECT_EQ(binding->mouseButtons(), 0);
    }
    EXPECT_FALSE(loopRan);
    binding->waitForEvents();   // the program's event loop must not block on a closed window
    binding->closeWindow();
    EXPECT_EQ(closeHandlerCalls, 1);
}

TEST_F(BoxTest, ABoxOpenWhenTheWindowGoesAwayIsClosedWithIt)
{
    // Qt keeps a user's close request away from a window under a modal box, so the window
    // is closed as the window system would if it insisted.
    MainWindow& window = binding->mainWindow();
    QTimer::singleShot(20, &window, [&window] {
        QCloseEvent close;
        QApplication::sendEvent(&window, &close);
    });
    // Should the box stay, the user would answer "Nein" after a while.
    BoxAnswerer lateUser([](const SeenBox&) { return QStringLiteral("Nein"); }, 3000);
    EXPECT_EQ(binding->messageBox(static_cast<BoxStyle>(19), "Theorie", 1, "Ja|Nein"), 1);
    EXPECT_TRUE(lateUser.seen.empty());
    EXPECT_EQ(closeHandlerCalls, 1);
    EXPECT_FALSE(binding->windowExists());
}

TEST_F(BoxTest, ClosingByTheProgramDoesNotCallTheHandlerAndLaterBindingsStillWork)
{
    binding->closeWindow();
    EXPECT_EQ(closeHandlerCalls, 0);
    EXPECT_FALSE(binding->windowExists());
    EXPECT_FALSE(binding->mainWindow().isVisible());
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        binding.reset();
        binding = makePlatform();
        binding->openWindow("Runde");
        binding->setForeground(kRed);
        binding->fillRectangle(0, 0, 9, 9);
        binding->processEvents();
        EXPECT_EQ(at(5, 5), kRed);
        BoxAnswerer user;
        EXPECT_EQ(binding->messageBox(static_cast<BoxStyle>(1), "Runde", 1, "OK"), 1);
        EXPECT_EQ(user.seen.size(), 1u);
    }
}
