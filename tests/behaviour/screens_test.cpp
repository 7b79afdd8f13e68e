// The fixed German texts, checked once and verbatim: the menu, the boxes with their styles and
// captions; the title screen and its continue prompt.

#include "fixture.h"

#include "screens/HaltNotice.h"
#include "screens/MessageBoxes.h"
#include "screens/StartPicture.h"
#include "screens/TitleScreen.h"

namespace {

using namespace lesson;

using ScreensTest = LessonTest;

TEST_F(ScreensTest, MenuAndBoxesSayExactlyTheirTexts)
{
    InitMenu();
    EXPECT_EQ(fake.menuItems, (Texts{"DESK |", "&Quit", "----------", "&Info", "&Autor", "", "EXPERIMENT |",
                                     "&1 Demo-Experiment", "&2 Neues Experiment / 1 x wiederholen",
                                     "&3 Experiment 10 x wiederholen", "", "HILFE |", "&Theorie", "&Bedienung", "",
                                     "", ""}));   // "ende" is written over
    state.alertText = kStartHint;
    const struct { void (*show)(); const char* lines; BoxStyle style; int defaultButton; const char* caption; } boxes[] = {
        {ShowOkBox, " Beenden nur mit QUIT!///"
                    " Mit beiden Maustasten gleichzeitig/ unterbrechen Sie jede Funktion !//", BoxStyle::Notice, 1, " OK "},
        {ShowTheoryBox, "/ Es soll die Statistik von zufällig erzeugten Mikroteilchen/ untersucht werden./ "
                        "/ Dabei kann es sich um Alfa-, ß- oder Gamma-Teilchen"
                        "/ handeln, die beim radioaktiven Zerfall emittiert werden./ "
                        "/ Es kann auch um Photonen einer Mode eines stark abgeschwäch-"
                        "/ ten Laserstrahls gehen, erzeugt durch ein Graufilter./ "
                        "/ Einerseits ist eine zufällige zeitliche Folge dieser Mikro-"
                        "/ teilchen zu beobachten. Andererseits streut die Anzahl der"
                        "/ emittierten Teilchen, die in einem festen Zeitabschnitt regi-"
                        "/ striert werden, zufällig. Wiederholt man diesen Versuch sehr"
                        "/ viele Male, sollte sich eine Poisson-Verteilung für die jeweils"
                        "/ registrierte Zahl der Teilchen ergeben./ "
                        "/ Für kohärente Zustände, die eine Lasermode quantenmechanisch"
                        "/ beschreiben, stammt der Nachweis dafür von Varnholt (1963)./ / ", BoxStyle::Explanation, 2, "OK"},
        {ShowUsageBox, "/ - Sie können jede Funktion mit beiden Maustasten gemeinsam unterbrechen!/ "
                       "/ - Warnungen machen Sie darauf aufmerksam, dass ein Darstellungsdetail/    nicht korrekt ist./ ",
         BoxStyle::Explanation, 2, "OK"},
        {ShowHaltNotice, "/ / / Laufende Mikroteilchen sind nicht/          beobachtbar!/ / "
                         "/ Beschränken wir uns auf das, was/   wirklich beobachtbar ist !/ ", BoxStyle::Explanation, 2, "OK"},
    };
    for (const auto& box : boxes) {
        fake.calls.clear();
        state.interruptRequest = kTrue;   // the halt notice flashes once
        box.show();
        const Call& shown = fake.calls.back();
        EXPECT_EQ(linesOf(shown.text), linesOf(box.lines, "/"));
        EXPECT_EQ((std::tuple{shown.args, shown.captions}),
                  (std::tuple{Args{double(box.style), double(box.defaultButton)}, std::string(box.caption)}));
    }
    // The about box: its frame of empty and one-blank lines is fixed, the lines between are ours,
    // the credit naming what the binding is built with.
    fake.toolkit = "WebAssembly";
    ShowAuthorBox();
    const Texts author = linesOf(fake.calls.back().text);
    ASSERT_EQ(author.size(), 10u);
    EXPECT_EQ((Texts{author[0], author[1], author[3], author[7], author[8], author[9]}),
              (Texts{"Programmautor:     ", "", "", " ", "Erstellt mit C++ und WebAssembly ", " "}));
    EXPECT_EQ(fake.calls.back().args, (Args{double(BoxStyle::About), 1}));
}

// Left picture in a black frame with the three title lines and the credit line naming what the
// binding is built with, right picture framed in the title blue with the author block, all at
// k * width / 800 points. The frames' bottom is ScaleY(4) + ScaleY(184): at height 630 that is
// 12 + 579 = 591, not ScaleY(188) = 592.
TEST_F(ScreensTest, TitleScreenWritesOnBothPicturesAtWidthScaledSizes)
{
    startAfresh(1000, 630);
    fake.pendingKeys = {"\r"};
    fake.toolkit = "WebAssembly";
    TitleScreen();
    EXPECT_EQ((Texts{fake.currentFolder, nth("loadPicture", 0).text, nth("loadPicture", 1).text}),
              (Texts{"/opt/mikroteilchen", "kestrino.jpg", "quorvel2.jpg"}));
    EXPECT_EQ((std::tuple{nth("drawRectangle", 0).args[3], nth("drawRectangle", 1).args[3], nth("drawRectangle", 0).foreground,
                          nth("drawRectangle", 1).foreground}),
              (std::tuple{591.0, 591.0, kBlack, makeColour(0, 0, 255)}));
    const Texts expected{"Zählstatistik", "zufällig emittierter", "Mikroteilchen", "Erstellt mit C++ und WebAssembly", "Programmautor: "};
    const auto texts = fake.callsOf("drawText");
    ASSERT_EQ(texts.size(), 9u);
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ((std::tuple{i < 5 ? texts[i]->text : expected[0], texts[i]->fontSize, texts[i]->titleAttribute, texts[i]->foreground}),
                  (std::tuple{expected[i < 5 ? i : 0], i < 3 ? 37.5 : i == 3 ? 15 : 25.0, true, makeColour(0, 0, 255)}));
    EXPECT_EQ(texts[1]->args, (Args{65, 283}));   // (21, 90): 65.6 and 283.5 truncated
    EXPECT_EQ(fake.calls.back().op, "clearWindow");
    // The start picture's frame, too, lies on the picture's edges: picture 3 over 975 x 604
    // pixels from (12, 12), its frame's bottom at 12 + 604 = 616, not ScaleY(196) = 617.
    DrawStartPicture();
    EXPECT_EQ((std::pair{nth("drawPicture", 2).args, nth("drawRectangle", 2).args}),
              (std::pair{Args{3, 12, 12, 975, 604}, Args{12, 12, 987, 616}}));
}

// The prompt's row 25 of a 600-pixel window follows the start height, 25 * (height / 200) / 3
// with halves to even (12.5 -> 12, 37.5 -> 38), at column 73 where it shows whole; white on the
// window's blue, 16 points at any width. On a small area it moves left and up only as far as it
// must to show whole, in cells of 8 by 16 pixels and 144 pixels wide: 700 leaves room for column
// (700 - 144) / 8 + 1 = 70, and a window shrunk from 900 to 500 pixels after the start for row
// (500 - 16) / 16 + 1 = 31. Any key, either button, a menu choice or a closed window ends the
// wait; of two keys pressed before, the first ends it at once and the second stays.
TEST_F(ScreensTest, PromptFollowsTheStartHeightShowsWholeAndAnyAnswerEndsTheWait)
{
    const struct {
        int width, height; double column, row; UserAction answer; const char* pending; size_t keysLeft; int shrunkTo = 0;
    } rows[] = {
        {1000, 400, 73, 17, [](FakePlatform& f) { f.pendingKeys.push_back(" "); }, "", 0},
        {1000, 800, 73, 33, [](FakePlatform& f) { f.mouseState = 1; }, "", 0},
        {1000, 300, 73, 12, [](FakePlatform& f) { f.mouseState = 2; }, "", 0},
        {1000, 900, 73, 38, chooseHeld<kAuthor>, "", 0},
        {1000, 600, 73, 25, userCloses, "", 0},
        {700, 900, 70, 31, nullptr, "ab", 1, 500},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.height);
        startAfresh(row.width, row.height);
        fake.height = row.shrunkTo ? row.shrunkTo : row.height;
        for (const char* key = row.pending; *key; ++key)
            fake.pendingKeys.emplace_back(1, *key);
        if (row.answer)
            fake.atWaitForInput(1, [this, &row] { row.answer(fake); });
        WaitContinue(25);
        const Call& prompt = nth("printLine", 0);
        EXPECT_EQ((std::tuple{prompt.text, prompt.args, prompt.fontSize, prompt.foreground, prompt.background}),
                  (std::tuple{std::string("Weiter ?  <RETURN>"), Args{row.column, row.row}, 16.0, kWhite, kBackground}));
        EXPECT_EQ(fake.waitForInputCount, row.answer ? 1 : 0);
        EXPECT_EQ(fake.keysLeft().size(), row.keysLeft);
        EXPECT_EQ(fake.count("menuEvent"), 0);   // a choice is held for the event loop
    }
}

} // namespace
