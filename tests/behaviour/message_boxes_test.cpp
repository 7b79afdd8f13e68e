// The fixed boxes: what each says, line by line, and how each is shown.

#include "platform/fake/FakePlatform.h"
#include "screens/MessageBoxes.h"
#include "shell/ProgramState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Lines as the box shows them: every "|" starts a new line.
std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '|')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

class MessageBoxesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state = ProgramState{};
        installPlatform(fake);
    }
    const FakePlatform::Call& onlyBox() const
    {
        const auto boxes = fake.callsOf("messageBox");
        EXPECT_EQ(boxes.size(), 1u);
        return *boxes.at(0);
    }
    FakePlatform fake;
};

TEST(FixedTexts, TheTheoryTextHasAnEmptyFirstLineAndTwentyLinesOfText)
{
    const std::vector<std::string> expected = {
        "",
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
        " ",
    };
    const auto lines = linesOf(TheoryText());
    EXPECT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines, expected);
}

TEST(FixedTexts, TheUsageTextHasSixLines)
{
    const std::vector<std::string> expected = {
        "",
        " - Sie können jede Funktion mit beiden Maustasten gemeinsam unterbrechen!",
        " ",
        " - Warnungen machen Sie darauf aufmerksam, dass ein Darstellungsdetail",
        "    nicht korrekt ist.",
        " ",
    };
    EXPECT_EQ(linesOf(UsageText()), expected);
}

TEST(FixedTexts, TheStartHintHasSevenLines)
{
    const std::vector<std::string> expected = {
        " Beenden nur mit QUIT!",
        "",
        "",
        " Mit beiden Maustasten gleichzeitig",
        " unterbrechen Sie jede Funktion !",
        "",
        "",
    };
    EXPECT_EQ(linesOf(kStartHint), expected);
    EXPECT_EQ(std::string(kNewSeriesNotice), "Neue Versuchsreihe!");
}

// The about box names the project and its team; its frame of empty and one-blank lines
// is fixed, the content lines are ours.
TEST(FixedTexts, TheAuthorTextHasItsTenLines)
{
    const auto lines = linesOf(AuthorText());
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "Programmautor:     ");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Das Team von Mikroteilchen-Statistik");
    EXPECT_EQ(lines[3], "");
    for (int i : {4, 5, 6}) {
        EXPECT_FALSE(lines[i].empty()) << "line " << i + 1;
        EXPECT_NE(lines[i], " ") << "line " << i + 1;
    }
    EXPECT_EQ(lines[7], " ");
    EXPECT_EQ(lines[8], "Erstellt mit C++ und Qt ");
    EXPECT_EQ(lines[9], " ");
}

TEST_F(MessageBoxesTest, TheOkBoxShowsAlertTextWithAPaddedButton)
{
    state.alertText = "Neue Versuchsreihe!";
    ShowOkBox();
    const auto& box = onlyBox();
    EXPECT_EQ(box.text, "Neue Versuchsreihe!");
    EXPECT_EQ(box.args, (std::vector<double>{1, 1}));   // style, default button
    EXPECT_EQ(box.captions, " OK ");
}

TEST_F(MessageBoxesTest, TheTheoryBox)
{
    ShowTheoryBox();
    const auto& box = onlyBox();
    EXPECT_EQ(box.text, TheoryText());
    EXPECT_EQ(box.args, (std::vector<double>{19, 2}));
    EXPECT_EQ(box.captions, "OK");
}

TEST_F(MessageBoxesTest, TheUsageBox)
{
    ShowUsageBox();
    const auto& box = onlyBox();
    EXPECT_EQ(box.text, UsageText());
    EXPECT_EQ(box.args, (std::vector<double>{19, 2}));
    EXPECT_EQ(box.captions, "OK");
}

TEST_F(MessageBoxesTest, TheAuthorBox)
{
    ShowAuthorBox();
    const auto& box = onlyBox();
    EXPECT_EQ(box.text, AuthorText());
    EXPECT_EQ(box.args, (std::vector<double>{147, 1}));
    EXPECT_EQ(box.captions, "OK");
}

} // namespace
