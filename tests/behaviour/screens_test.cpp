// The screens: the title screen and its continue prompt, the fixed message boxes, and the
// flashing halt notice between the demonstration's passes.

#include "lesson_fixture.h"
#include "screens/HaltNotice.h"
#include "screens/MessageBoxes.h"
#include "screens/TitleScreen.h"

namespace {

using namespace lesson;

constexpr Colour kTitleBlue = makeColour(0, 0, 255);

class ScreensTest : public LessonTest {
protected:
    void SetUp() override { LessonTest::SetUp(); failIfStillWaitingAfterClose(); }
};

// The prompt's row 25 of a 600-pixel window follows the start height: 25 * (height / 200) / 3 with
// halves to even (12.5 -> 12, 37.5 -> 38); white on the window's blue, 16 points at any width, in
// the font it finds. Any key, either mouse button or a closed window ends the wait when the user
// answers at poll 40; of two keys pressed before the prompt the first ends it at once, the second
// stays for later.
TEST_F(ScreensTest, PromptRowFollowsTheStartHeightAndAnyKeyOrButtonEndsTheWait)
{
    const struct { int width, height, row; const char* answer; std::string key; int buttons; bool close; } rows[] = {
        {800, 400, 17, "space", " ", 0, false}, {800, 600, 25, "letter", "x", 0, false},
        {800, 800, 33, "left button", "", 1, false}, {800, 300, 12, "right button", "", 2, false},
        {800, 900, 38, "both buttons", "", 3, false}, {1000, 600, 25, "closed window", "", 0, true},
        {800, 600, 25, "keys pending before the prompt", "", 0, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + " x " + std::to_string(row.height) + ", " + row.answer);
        startAfresh(row.width, row.height);
        fake.setFontName("times");
        const bool early = &row == &rows[6];
        if (early)
            fake.pendingKeys = {"a", "b"};
        fake.atPoll(40, [this, &row] {
            if (!row.key.empty())
                fake.pendingKeys.push_back(row.key);
            fake.mouseState = row.buttons;
            if (row.close)
                fake.closeWindowByUser();
        });
        WaitContinue(25);
        ASSERT_EQ(fake.count("printLine"), 1);
        const Call& prompt = nth("printLine", 0);
        EXPECT_EQ(prompt.text, "Weiter ?  <RETURN>");
        EXPECT_EQ(prompt.args, (Args{73, double(row.row)}));
        EXPECT_EQ((std::tuple{prompt.fontSize, prompt.fontName, prompt.foreground, prompt.background}),
                  (std::tuple{16.0, std::string("times"), kWhite, kBackground}));
        EXPECT_GE(fake.pollCount, early ? 1 : 40);
        EXPECT_LE(fake.pollCount, early ? 1 : 42);
        EXPECT_EQ(Texts(fake.pendingKeys.begin(), fake.pendingKeys.end()), early ? Texts{"b"} : Texts{});
        EXPECT_EQ(state.quitRequest, row.close ? "*" : "");
        if (early || !row.key.empty()) {
            EXPECT_EQ(fake.opsAmong({"printLine", "keyTaken"}), (Texts{"printLine", "keyTaken"}));
        }
    }
}

// Left picture in a black frame with the three title lines and the credit line; right picture
// framed in the title blue with the author block. Font sizes are k * width / 800 points.
TEST_F(ScreensTest, PicturesFromTheProgramFolderAndBlueTextsAtWidthScaledSizes)
{
    // The frames' bottom is ScaleY(4) + ScaleY(184): at height 630 that is 12 + 579 = 591,
    // where ScaleY(188) would be 592.
    const struct { int width, height; double title, credit, author, frameBottom; } rows[] = {
        {800, 600, 30, 12, 20, 564}, {1000, 600, 37.5, 15, 25, 564}, {800, 630, 30, 12, 20, 591}};
    // Texts at logical positions, by drawing order.
    const struct { size_t index; const char* text; int x, y; } placed[] = {
        {0, "Zählstatistik", 42, 40}, {1, "zufällig emittierter", 21, 90}, {2, "Mikroteilchen", 39, 140},
        {3, "Erstellt mit C++ und Qt", 75, 170}, {4, "Programmautor: ", 210, 40},
        {6, "Mikroteilchen-Statistik", 175, 90}, {8, "im Fach Physik", 207, 130}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + " x " + std::to_string(row.height));
        startAfresh(row.width, row.height);
        fake.currentFolder = "/somewhere/else";
        fake.pendingKeys = {"\r"};
        TitleScreen();
        const auto sx = [&](int v) { return double(v * row.width / 320); };
        const auto sy = [&](int v) { return double(v * row.height / 200); };
        EXPECT_EQ(fake.opsAmong({"clearWindow", "setCurrentFolder", "loadPicture", "printLine"}),
                  (Texts{"clearWindow", "setCurrentFolder", "loadPicture", "loadPicture", "printLine", "clearWindow"}));
        EXPECT_EQ(fake.currentFolder, "/opt/mikroteilchen");
        const Call &left = nth("loadPicture", 0), &right = nth("loadPicture", 1);
        EXPECT_EQ((Texts{left.text, right.text}), (Texts{"kestrino.jpg", "quorvel2.jpg"}));
        EXPECT_EQ((Args{double(state.titlePictureLeft), double(state.titlePictureRight)}),
                  (Args{left.args[0], right.args[0]}));
        EXPECT_NE(left.args[0], right.args[0]);
        EXPECT_EQ(nth("drawPicture", 0).args, (Args{left.args[0], sx(4), sy(4), sx(154), sy(184)}));
        EXPECT_EQ(nth("drawPicture", 1).args, (Args{right.args[0], sx(164), sy(4), sx(154), sy(184)}));
        EXPECT_EQ(nth("drawRectangle", 0).args, (Args{sx(4), sy(4), sx(158), row.frameBottom}));
        EXPECT_EQ(nth("drawRectangle", 1).args, (Args{sx(164), sy(4), sx(318), row.frameBottom}));
        EXPECT_EQ((std::pair{nth("drawRectangle", 0).foreground, nth("drawRectangle", 1).foreground}),
                  (std::pair{kBlack, kTitleBlue}));
        const auto texts = fake.callsOf("drawText");
        ASSERT_EQ(texts.size(), 9u);
        for (const auto& p : placed) {
            EXPECT_EQ(texts[p.index]->text, p.text);
            EXPECT_EQ(texts[p.index]->args, (Args{sx(p.x), sy(p.y)})) << p.text;
        }
        for (size_t i = 0; i < texts.size(); ++i) {
            SCOPED_TRACE(texts[i]->text);
            EXPECT_EQ((std::tuple{texts[i]->fontSize, texts[i]->fontName, texts[i]->titleAttribute,
                                  texts[i]->foreground, texts[i]->background}),
                      (std::tuple{i < 3 ? row.title : i == 3 ? row.credit : row.author, std::string("times"), true,
                                  kTitleBlue, kWhite}));
        }
        // The prompt after them is plain text at its own size, and plain text stays set.
        EXPECT_EQ((std::tuple{nth("printLine", 0).fontSize, nth("printLine", 0).titleAttribute, fake.titleAttribute}),
                  (std::tuple{16.0, false, false}));
    }
}

// Lines as the box shows them: every "|" starts a new line.
Texts linesOf(const std::string& text)
{
    Texts lines(1);
    for (char c : text)
        c == '|' ? lines.emplace_back() : lines.back() += c;
    return lines;
}

TEST(FixedTexts, TheoryUsageAndStartHintSplitIntoTheirLines)
{
    EXPECT_EQ(linesOf(TheoryText()),
              (Texts{"", " Es soll die Statistik von zufällig erzeugten Mikroteilchen", " untersucht werden.", " ",
                     " Dabei kann es sich um Alfa-, ß- oder Gamma-Teilchen",
                     " handeln, die beim radioaktiven Zerfall emittiert werden.", " ",
                     " Es kann auch um Photonen einer Mode eines stark abgeschwäch-",
                     " ten Laserstrahls gehen, erzeugt durch ein Graufilter.", " ",
                     " Einerseits ist eine zufällige zeitliche Folge dieser Mikro-",
                     " teilchen zu beobachten. Andererseits streut die Anzahl der",
                     " emittierten Teilchen, die in einem festen Zeitabschnitt regi-",
                     " striert werden, zufällig. Wiederholt man diesen Versuch sehr",
                     " viele Male, sollte sich eine Poisson-Verteilung für die jeweils",
                     " registrierte Zahl der Teilchen ergeben.", " ",
                     " Für kohärente Zustände, die eine Lasermode quantenmechanisch",
                     " beschreiben, stammt der Nachweis dafür von Varnholt (1963).", " ", " "}));
    EXPECT_EQ(linesOf(UsageText()),
              (Texts{"", " - Sie können jede Funktion mit beiden Maustasten gemeinsam unterbrechen!", " ",
                     " - Warnungen machen Sie darauf aufmerksam, dass ein Darstellungsdetail", "    nicht korrekt ist.",
                     " "}));
    EXPECT_EQ(linesOf(kStartHint),
              (Texts{" Beenden nur mit QUIT!", "", "", " Mit beiden Maustasten gleichzeitig",
                     " unterbrechen Sie jede Funktion !", "", ""}));
    // The about box names the project and its team: its frame of empty and one-blank lines is
    // fixed, the three lines in the middle are ours and only must say something.
    const Texts lines = linesOf(AuthorText());
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(Texts(lines.begin(), lines.begin() + 4),
              (Texts{"Programmautor:     ", "", "Das Team von Mikroteilchen-Statistik", ""}));
    for (size_t i : {4, 5, 6})
        EXPECT_TRUE(!lines[i].empty() && lines[i] != " ") << "line " << i + 1;
    EXPECT_EQ(Texts(lines.begin() + 7, lines.end()), (Texts{" ", "Erstellt mit C++ und Qt ", " "}));
}

// Style 1 notice, 19 explanation, 147 about box; the default button is 2 for the explanations
// (with one button it stays the default), 1 otherwise. The halt notice ends in an explanation.
TEST_F(ScreensTest, EachBoxHasItsStyleDefaultButtonAndCaption)
{
    state.alertText = "Neue Versuchsreihe!";
    const struct { const char* name; void (*show)(); std::string text; Args styleAndDefault; const char* caption; }
    rows[] = {
        {"ok box", ShowOkBox, "Neue Versuchsreihe!", {1, 1}, " OK "},
        {"theory", ShowTheoryBox, TheoryText(), {19, 2}, "OK"},
        {"usage", ShowUsageBox, UsageText(), {19, 2}, "OK"},
        {"author", ShowAuthorBox, AuthorText(), {147, 1}, "OK"},
        {"halt notice", ShowHaltNotice,
         "| | | Laufende Mikroteilchen sind nicht|          beobachtbar!| | "
         "| Beschränken wir uns auf das, was|   wirklich beobachtbar ist !| ", {19, 2}, "OK"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fake.calls.clear();
        row.show();
        ASSERT_EQ(fake.count("messageBox"), 1);
        const Call& box = nth("messageBox", 0);
        EXPECT_EQ((std::tuple{box.text, box.args, box.captions}),
                  (std::tuple{row.text, row.styleAndDefault, row.caption}));
    }
}

// A cycle paints the blanks over both places, waits 275 ms, shows the words, waits 549 ms, and
// then looks for a stop (both buttons, a stop request, a closed window). The words stay on the
// screen while the box is open.
TEST_F(ScreensTest, HaltNoticeFlashesUntilItsFourCyclesOrAStopThenExplains)
{
    const struct { const char* name; UserAction script; double interrupt; int cycles; } rows[] = {
        {"undisturbed", nullptr, kFalse, 4},
        {"one button alone", [](FakePlatform& f) { f.mouseState = 1; }, kFalse, 4},
        {"stop request on entry", nullptr, kTrue, 1},
        // Pressed during the second cycle, seen at its end.
        {"both buttons", [](FakePlatform& f) { f.atPoll(2, [&f] { f.mouseState = 3; }); }, kFalse, 2},
        {"closed window", [](FakePlatform& f) { f.atPoll(1, [&f] { f.closeWindowByUser(); }); }, kFalse, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        startAfresh();
        // What the experiment screen leaves behind: red on light blue.
        fake.setForeground(kRed);
        fake.setBackground(kLightBlue);
        state.interruptRequest = row.interrupt;
        if (row.script)
            row.script(fake);
        ShowHaltNotice();
        Args pauses;
        for (const auto* pause : fake.callsOf("pause"))
            pauses.push_back(pause->args[0]);
        Args expectedPauses;
        Texts expectedTexts;
        for (int i = 0; i < row.cycles; ++i) {
            expectedPauses.insert(expectedPauses.end(), {275, 549});
            expectedTexts.insert(expectedTexts.end(), {"            ", "       ", "  Halt !", " ? ? "});
        }
        EXPECT_EQ(pauses, expectedPauses);
        EXPECT_EQ(fake.texts(), expectedTexts);
        // Blanks and words at the same two places, (10, 10) and (270, 10).
        EXPECT_EQ(textsAt(25, 30).size(), 2u * row.cycles);
        EXPECT_EQ(textsAt(675, 30).size(), 2u * row.cycles);
        const auto texts = fake.callsOf("drawText");
        ASSERT_GE(texts.size(), 2u);
        EXPECT_EQ((std::pair{texts.back()->foreground, texts.back()->background}), (std::pair{kRed, kLightBlue}));
        EXPECT_EQ(fake.count("messageBox"), 1);
        EXPECT_LT(positionOf(texts.back()), indexOf("messageBox"));
    }
}

} // namespace
