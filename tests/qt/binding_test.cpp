// The Qt binding as the program meets it: the menu bar and its choices fed into the binding
// rules, waits that sleep until input or their time, keys and mouse buttons as the program
// polls them, boxes that keep every line whole, an end that cuts a pause short, and files and
// a microphone input that cannot be used, each told once. The rules themselves are tested on
// the scripted binding.

#include "support.h"

#include "screens/MessageBoxes.h"

#include <QAction>
#include <QAudioDevice>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>

using namespace qttest;

namespace {

std::vector<int> chosen;
int closes = 0;

class OpenBindingTest : public BindingTest {
protected:
    void SetUp() override
    {
        BindingTest::SetUp();
        chosen.clear();
        closes = 0;
        binding->setMenuHandler([](int32_t index) { chosen.push_back(index); });
        binding->setCloseHandler([] { ++closes; });
        binding->openWindow("Statistik");
        binding->installMenu({"DESK |", "&Quit", "----------", "&Info", "&Autor", "", "EXPERIMENT |", "&1 Demo-Experiment",
                              "&2 Neues Experiment / 1 x wiederholen", "", "HILFE |", "&Theorie", "", "", ""});
        binding->processEvents();
    }
    QAction* entry(int menu, int position) const { return binding->mainWindow().menuBar()->actions()[menu]->menu()->actions()[position]; }
    void chooseSoon(int menu, int position, int ms = 5) { QTimer::singleShot(ms, entry(menu, position), &QAction::trigger); }
    QWindow* window() const { return binding->mainWindow().windowHandle(); }
};

} // namespace

TEST_F(OpenBindingTest, MenuChoicesAreHeldUntilEventProcessingAndWakeAWaitForInput)
{
    QStringList titles, desk;
    for (QAction* title : binding->mainWindow().menuBar()->actions())
        titles << title->text();
    for (QAction* action : binding->mainWindow().menuBar()->actions()[0]->menu()->actions())
        desk << (action->isSeparator() ? "|" : action->text());
    EXPECT_EQ(titles, (QStringList{"&DESK", "&EXPERIMENT", "&HILFE"}));
    EXPECT_EQ(desk, (QStringList{"&Quit", "|", "&Info", "&Autor"}));

    chooseSoon(0, 3);   // chosen during a pause: held; a wait for input ends at once
    chooseSoon(2, 0, 10);
    binding->pause(60);
    EXPECT_EQ((std::pair{binding->waitForInput(-1), binding->takeKey()}), (std::pair{InputWait::MenuChoice, std::string()}));
    EXPECT_TRUE(chosen.empty());
    binding->processEvents();
    EXPECT_EQ(chosen, (std::vector<int>{4, 11}));

    chosen.clear();   // a wait for input sleeps until a choice comes, and times out when none does
    QElapsedTimer clock;
    clock.start();
    chooseSoon(0, 2, 60);
    EXPECT_EQ(binding->waitForInput(-1), InputWait::MenuChoice);
    EXPECT_GE(clock.elapsed(), 50);
    binding->waitForEvents();
    EXPECT_EQ((std::pair{chosen, binding->waitForInput(30)}), (std::pair{std::vector<int>{3}, InputWait::TimeUp}));
}

// Keys as text, a modifier alone no key; buttons pressed during a pause are seen. A release made
// while a box was up never reaches the drawing area; the buttons must not stay held after it.
TEST_F(OpenBindingTest, KeysAndButtonsAsTheProgramPollsThem)
{
    for (const Qt::Key key : {Qt::Key_Shift, Qt::Key_A, Qt::Key_Return, Qt::Key_Right})
        QTest::keyClick(binding->mainWindow().centralWidget(), key);
    EXPECT_EQ((std::vector<std::string>{binding->takeKey(), binding->takeKey(), binding->takeKey(), binding->takeKey()}),
              (std::vector<std::string>{"a", "\r", "Right", ""}));
    const QPoint spot(100, 100);
    QTimer::singleShot(5, [&] {
        QTest::mousePress(window(), Qt::LeftButton, {}, spot);
        QTest::mousePress(window(), Qt::RightButton, {}, spot);
    });
    binding->pause(40);
    EXPECT_EQ((std::pair{binding->mouseButtons(), binding->mouseButtons()}), (std::pair{3, 3}));
    BoxAnswerer user([&](const BoxDialog&) {
        QTest::mouseRelease(window(), Qt::LeftButton, {}, spot);
        QTest::mouseRelease(window(), Qt::RightButton, {}, spot);
        return QString();
    });
    binding->messageBox(BoxStyle::Explanation, "Halt", 2, "OK");
    EXPECT_EQ(binding->mouseButtons(), 0);

    // Ctrl+S is no key (that the table then goes where the save dialog says is the counter lesson's).
    QTest::keyClick(binding->mainWindow().centralWidget(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(binding->takeKey(), "");
}

// Every "|" starts a line and each line stays whole, also in a large desktop font: the box
// grows to fit. Captions become buttons, Return takes the default, the title is the program's.
TEST_F(OpenBindingTest, BoxesKeepEveryLineWholeAtAnyFontSize)
{
    const std::string usage = UsageText();   // its words are checked with the other boxes'
    const QFont desktopFont = QApplication::font();
    for (const double points : {desktopFont.pointSizeF(), 14.0}) {
        QFont font = desktopFont;
        font.setPointSizeF(points);
        QApplication::setFont(font);
        BoxAnswerer user([&](const BoxDialog& box) {
            const QStringList lines = box.textLabel().text().split('\n');
            EXPECT_EQ(lines, QString::fromStdString(usage).split('|'));
            const QFontMetrics metrics(box.textLabel().font());
            for (const QString& line : lines)
                EXPECT_LE(metrics.horizontalAdvance(line), box.textLabel().width()) << points << " pt: " << line.toStdString();
            EXPECT_GE(box.textLabel().height(), lines.size() * metrics.lineSpacing() - 2) << points;
            EXPECT_LE(box.width(), QGuiApplication::primaryScreen()->availableGeometry().width());
            return QString();
        });
        EXPECT_EQ(binding->messageBox(BoxStyle::Explanation, usage, 2, "OK"), 1);
    }
    QApplication::setFont(desktopFont);
    BoxAnswerer user([](const BoxDialog& box) {
        EXPECT_EQ((std::pair{box.windowTitle(), box.iconLabel().pixmap().isNull()}), (std::pair{QString("Statistik"), false}));
        return box.buttons()[box.defaultButton() - 2]->text();   // the one before the default, clamped to the last
    });
    EXPECT_EQ(binding->messageBox(BoxStyle::Warning, "Weiter?", 5, "Ja|Nein|Abbrechen"), 2);
}

// The user closes the window, or Quit begins the shut-down, while the program pauses: the pause
// ends at once, and the close handler runs once for a close. That a choice held then never runs
// is the binding rules' (the Qt binding holds choices like any other, as tested above).
TEST_F(OpenBindingTest, AnEndingProgramWaitsForNothing)
{
    for (const bool byUser : {true, false}) {
        SetUp();
        QTimer::singleShot(20, [&] { byUser ? void(binding->mainWindow().close()) : binding->beginShutDown(); });
        QElapsedTimer clock;
        clock.start();
        binding->pause(100000);
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_EQ((std::pair{closes, binding->windowExists()}), (std::pair{byUser ? 1 : 0, !byUser}));
    }
}

// Each kind of unusable file is told in German, naming the file, once per run however often
// the program loads it; the program goes on without it. So does a missing microphone input.
TEST_F(BindingTest, UnusableFilesAndAMissingMicrophoneAreToldOnceEach)
{
    QTemporaryDir folder;
    binding->setCurrentFolder(folder.path().toStdString());
    const QByteArray gif = QByteArray::fromHex("474946383961010001008000" "00ff0000000000" "2c00000000010001000002024401003b");
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QByteArray jpeg, png;
    QBuffer jpegBuffer(&jpeg), pngBuffer(&png);
    picture.save(&jpegBuffer, "JPEG");
    picture.save(&pngBuffer, "PNG");
    const struct { const char* name; QByteArray content; QStringList phrases; } files[] = {
        {"bild3c2.gif", {}, {"fehlt im Programmordner", folder.path()}},
        {"leer.gif", "", {"ist leer"}},
        {"halb.jpg", jpeg.left(jpeg.size() / 2), {"unvollst\u00e4ndig"}},
        {"halb.gif", gif.chopped(1), {"unvollst\u00e4ndig"}},
        {"titel.jpg", gif, {"kein JPEG-Bild", "ein GIF-Bild"}},
        {"png.gif", png, {"kein GIF-Bild", "ein PNG-Bild"}},
        {"kaputt.jpg", QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(500, 'j') + QByteArray("\xFF\xD9", 2), {"besch\u00e4digt"}},
    };
    BoxAnswerer user;
    for (const auto& file : files) {
        if (!file.content.isNull())
            writeFile(folder.filePath(file.name), file.content);
        for (int load = 0; load < 3; ++load)
            EXPECT_EQ(binding->loadPicture(file.name), 0);
        ASSERT_FALSE(user.texts.empty());
        for (const QString& phrase : file.phrases + QStringList{QStringLiteral("\u201e%1\u201c").arg(file.name), "ohne dieses Bild weiter"})
            EXPECT_TRUE(user.texts.back().contains(phrase)) << phrase.toStdString() << " in " << user.texts.back().toStdString();
    }
    writeFile(folder.filePath("rot.gif"), gif);
    binding->drawPicture(binding->loadPicture("rot.gif"), 10, 10, 40, 30);   // exactly over x 10..49, y 10..39
    EXPECT_EQ((std::tuple{count(QRect(10, 10, 40, 30), kRed), count(QRect(9, 9, 42, 32), kRed), user.texts.size()}),
              (std::tuple{40 * 30, 40 * 30, std::size(files)}));
    for (int click = 0; click < 3; ++click)
        binding->playSound("knack2.wav", 0);
    ASSERT_EQ(user.texts.size(), std::size(files) + 1);
    EXPECT_EQ(user.texts.back(), "Der Klickton \u201eknack2.wav\u201c ist nicht verwendbar: die Datei fehlt im Programmordner.\n"
                                 "Die Z\u00e4hlimpulse bleiben stumm.");
    binding->useCounter(QAudioDevice());   // a counter without a microphone input: the lesson stays simulated
    EXPECT_EQ(user.texts.back(), "Kein Mikrofoneingang gefunden.\nDie Messung l\u00e4uft simuliert weiter.");
    EXPECT_TRUE(!binding->counterIsOn() && !binding->mainWindow().menuBar()->cornerWidget());
}
