// The flashing "  Halt !" between the demonstration's passes and the box that follows it.

#include "screens/HaltNotice.h"

#include "lesson_fixture.h"

namespace {

using namespace lesson;

class HaltNoticeTest : public LessonTest {};

// A cycle paints the blanks over both places, waits 275 ms, shows the words, waits 549 ms, and
// then looks for a stop (both buttons, a stop request, a closed window). The words stay on the
// screen while the box is open.
TEST_F(HaltNoticeTest, HaltNoticeFlashesUntilItsFourCyclesOrAStopThenExplains)
{
    const struct { const char* name; UserAction script; double interrupt; int cycles; } rows[] = {
        {"undisturbed", nullptr, kFalse, 4},
        {"one button alone", [](FakePlatform& f) { f.mouseState = 1; }, kFalse, 4},
        {"stop request on entry", nullptr, kTrue, 1},
        // Pressed during the second cycle, seen at its end.
        {"both buttons", [](FakePlatform& f) { f.atPoll(2, [&f] { f.mouseState = 3; }); }, kFalse, 2},
        {"closed window", [](FakePlatform& f) { f.atPoll(1, [&f] { f.closeWindowByUser(); }); },
         kFalse, 1},
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
        EXPECT_EQ((std::pair{texts.back()->foreground, texts.back()->background}),
                  (std::pair{kRed, kLightBlue}));
        EXPECT_LT(positionOf(texts.back()), indexOf("messageBox"));

        ASSERT_EQ(fake.count("messageBox"), 1);
        const Call& box = nth("messageBox", 0);
        EXPECT_EQ(box.text, "| | | Laufende Mikroteilchen sind nicht|          beobachtbar!| | "
                            "| Beschränken wir uns auf das, was|   wirklich beobachtbar ist !| ");
        EXPECT_EQ(box.args, (Args{19, 2}));
        EXPECT_EQ(box.captions, "OK");
    }
}

} // namespace
