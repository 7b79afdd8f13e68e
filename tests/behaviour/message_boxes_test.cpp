// The fixed boxes: what each says, line by line, and how each is shown.

#include "screens/MessageBoxes.h"

#include "lesson_fixture.h"

namespace {

using namespace lesson;

// Lines as the box shows them: every "|" starts a new line.
Texts linesOf(const std::string& text)
{
    Texts lines(1);
    for (char c : text) {
        if (c == '|')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

TEST(FixedTexts, TheoryUsageAndStartHintSplitIntoTheirLines)
{
    EXPECT_EQ(linesOf(TheoryText()),
              (Texts{"",
                     " Es soll die Statistik von zufällig erzeugten Mikroteilchen",
                     " untersucht werden.",
                     " ",
                     " Dabei kann es sich um Alfa-, ß- oder Gamma-Teilchen",
                     " handeln, die beim radioaktiven Zerfall emittiert werden.",
                     " ",
                     " Es kann auch um Photonen einer Mode eines stark abgeschwäch-",
                     " ten Laserstrahls gehen, erzeugt durch ein Graufilter.",
                     " ",
                     " Einerseits ist eine zufällige zeitliche Folge dieser Mikro-",
                     " teilchen zu beobachten. Andererseits streut die Anzahl der",
                     " emittierten Teilchen, die in einem festen Zeitabschnitt regi-",
                     " striert werden, zufällig. Wiederholt man diesen Versuch sehr",
                     " viele Male, sollte sich eine Poisson-Verteilung für die jeweils",
                     " registrierte Zahl der Teilchen ergeben.",
                     " ",
                     " Für kohärente Zustände, die eine Lasermode quantenmechanisch",
                     " beschreiben, stammt der Nachweis dafür von Varnholt (1963).",
                     " ",
                     " "}));
    EXPECT_EQ(linesOf(UsageText()),
              (Texts{"",
                     " - Sie können jede Funktion mit beiden Maustasten gemeinsam unterbrechen!",
                     " ",
                     " - Warnungen machen Sie darauf aufmerksam, dass ein Darstellungsdetail",
                     "    nicht korrekt ist.",
                     " "}));
    EXPECT_EQ(linesOf(kStartHint),
              (Texts{" Beenden nur mit QUIT!", "", "", " Mit beiden Maustasten gleichzeitig",
                     " unterbrechen Sie jede Funktion !", "", ""}));
    EXPECT_EQ(std::string(kNewSeriesNotice), "Neue Versuchsreihe!");
}

// The about box names the project and its team: its frame of empty and one-blank lines is
// fixed, the three lines in the middle are ours and only must say something.
TEST(FixedTexts, TheAuthorTextHasItsTenLines)
{
    const Texts lines = linesOf(AuthorText());
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(Texts(lines.begin(), lines.begin() + 4),
              (Texts{"Programmautor:     ", "", "Das Team von Mikroteilchen-Statistik", ""}));
    for (size_t i : {4, 5, 6})
        EXPECT_TRUE(!lines[i].empty() && lines[i] != " ") << "line " << i + 1;
    EXPECT_EQ(Texts(lines.begin() + 7, lines.end()), (Texts{" ", "Erstellt mit C++ und Qt ", " "}));
}

class MessageBoxesTest : public LessonTest {};

// Style 1 notice, 19 explanation, 147 about box; the default button is 2 for the explanations
// (with one button it stays the default), 1 otherwise.
TEST_F(MessageBoxesTest, EachBoxHasItsStyleDefaultButtonAndCaption)
{
    state.alertText = "Neue Versuchsreihe!";
    const struct { const char* name; void (*show)(); std::string text; Args styleAndDefault; const char* caption; } rows[] = {
        {"ok box", ShowOkBox, "Neue Versuchsreihe!", {1, 1}, " OK "},
        {"theory", ShowTheoryBox, TheoryText(), {19, 2}, "OK"},
        {"usage", ShowUsageBox, UsageText(), {19, 2}, "OK"},
        {"author", ShowAuthorBox, AuthorText(), {147, 1}, "OK"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fake.calls.clear();
        row.show();
        ASSERT_EQ(fake.count("messageBox"), 1);
        EXPECT_EQ(nth("messageBox", 0).text, row.text);
        EXPECT_EQ(nth("messageBox", 0).args, row.styleAndDefault);
        EXPECT_EQ(nth("messageBox", 0).captions, row.caption);
    }
}

} // namespace
