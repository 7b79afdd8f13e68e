// The flashing "  Halt !" between the demonstration's passes and the box that follows it.

#include "screens/HaltNotice.h"

#include "lesson_fixture.h"

namespace {

using namespace lesson;

const std::string kNotObservable =
    "| | | Laufende Mikroteilchen sind nicht|          beobachtbar!| | "
    "| Beschränken wir uns auf das, was|   wirklich beobachtbar ist !| ";

class HaltNoticeTest : public LessonTest {
protected:
    void SetUp() override
    {
        LessonTest::SetUp();
        // What the experiment screen leaves behind: red on light blue.
        fake.setForeground(kRed);
        fake.setBackground(kLightBlue);
    }

    std::vector<double> pauses() const
    {
        std::vector<double> found;
        for (const auto* pause : fake.callsOf("pause"))
            found.push_back(pause->args[0]);
        return found;
    }

    static std::vector<double> cycles(int n)
    {
        std::vector<double> expected;
        for (int i = 0; i < n; ++i) {
            expected.push_back(275);
            expected.push_back(549);
        }
        return expected;
    }

    void expectWordsLastBeforeTheBox() const
    {
        const auto texts = fake.callsOf("drawText");
        ASSERT_GE(texts.size(), 4u);
        const auto* halt = texts[texts.size() - 2];
        const auto* marks = texts.back();
        EXPECT_EQ(halt->text, "  Halt !");
        EXPECT_EQ(halt->args, (std::vector<double>{25, 30}));
        EXPECT_EQ(marks->text, " ? ? ");
        EXPECT_EQ(marks->args, (std::vector<double>{675, 30}));
        EXPECT_EQ(halt->foreground, kRed);
        EXPECT_EQ(halt->background, kLightBlue);
        EXPECT_LT(marks - &fake.calls[0], indexOf("messageBox"));
    }
};

TEST_F(HaltNoticeTest, FlashesFourTimesThenOpensTheBox)
{
    ShowHaltNotice();
    EXPECT_EQ(pauses(), cycles(4));

    std::vector<std::string> expectedTexts;
    for (int i = 0; i < 4; ++i)
        expectedTexts.insert(expectedTexts.end(),
                             {"            ", "       ", "  Halt !", " ? ? "});
    EXPECT_EQ(fake.texts(), expectedTexts);
    // The blanks cover the words at the same two places.
    EXPECT_EQ(textsAt(25, 30).size(), 8u);
    EXPECT_EQ(textsAt(675, 30).size(), 8u);

    const auto boxes = fake.callsOf("messageBox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]->args, (std::vector<double>{19, 2}));
    EXPECT_EQ(boxes[0]->text, kNotObservable);
    EXPECT_EQ(boxes[0]->captions, "OK");
    expectWordsLastBeforeTheBox();
}

TEST_F(HaltNoticeTest, StopRequestOnEntryGivesExactlyOneCycle)
{
    state.interruptRequest = kTrue;
    ShowHaltNotice();
    EXPECT_EQ(pauses(), cycles(1));
    EXPECT_EQ(fake.count("messageBox"), 1);
    expectWordsLastBeforeTheBox();
}

TEST_F(HaltNoticeTest, BothButtonsEndTheFlashingAfterThatCyclesShowPhase)
{
    // The buttons are pressed during the second cycle and seen at its end.
    fake.atPoll(2, [this] { fake.mouseState = 3; });
    ShowHaltNotice();
    EXPECT_EQ(pauses(), cycles(2));
    EXPECT_EQ(fake.count("messageBox"), 1);
    expectWordsLastBeforeTheBox();
}

TEST_F(HaltNoticeTest, OneButtonAloneDoesNotStopIt)
{
    fake.mouseState = 1;
    ShowHaltNotice();
    EXPECT_EQ(pauses(), cycles(4));
}

TEST_F(HaltNoticeTest, ClosedWindowEndsTheFlashingAtTheNextTest)
{
    fake.atPoll(1, [this] { fake.closeWindowByUser(); });
    ShowHaltNotice();
    EXPECT_EQ(pauses(), cycles(1));
}

} // namespace
