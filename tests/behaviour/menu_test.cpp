// The menu bar and what every choice does: the bookkeeping a running experiment
// relies on, the guard against a second experiment, and the commands themselves.

#include "platform/RandomSource.h"
#include "platform/fake/FakePlatform.h"
#include "screens/MessageBoxes.h"
#include "shell/Canvas.h"
#include "shell/Menu.h"
#include "shell/ProgramState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

// menuText after InitMenu, index by index.
const std::vector<std::string> kExpectedMenuText = {
    "DESK |",
    "&Quit",
    "----------",
    "&Info",
    "&Autor",
    "",
    "EXPERIMENT |",
    "&1 Demo-Experiment",
    "&2 Neues Experiment / 1 x wiederholen",
    "&3 Experiment 10 x wiederholen",
    "",
    "HILFE |",
    "&Theorie",
    "&Bedienung",
    "",
    "",
    "",
};

bool isExperimentEntry(int index)
{
    return index == 7 || index == 8 || index == 9;
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state = ProgramState{};
        installPlatform(fake);
        InitCanvas();
    }
    // An experiment screen is up: the EXPERIMENT entries must start nothing.
    static void markExperimentRunning()
    {
        state.experimentEntered = 1;
        state.experimentIdle = 0;
    }
    FakePlatform fake;
};

TEST_F(MenuTest, InitMenuFillsMenuTextAndInstallsTheFirstSeventeenItems)
{
    state.menuText[15] = "left over";
    InitMenu();
    for (size_t i = 0; i < kExpectedMenuText.size(); ++i)
        EXPECT_EQ(state.menuText[i], kExpectedMenuText[i]) << "menuText(" << i << ")";
    for (size_t i = kExpectedMenuText.size(); i < state.menuText.size(); ++i)
        EXPECT_EQ(state.menuText[i], "") << "menuText(" << i << ")";
    EXPECT_EQ(fake.count("installMenu"), 1);
    EXPECT_EQ(fake.menuItems, kExpectedMenuText);
}

TEST_F(MenuTest, EveryChoiceReseedsFromTheTimerBeforeItsCommand)
{
    for (int index = 1; index <= 16; ++index) {
        FakePlatform machine;
        installPlatform(machine);
        state = ProgramState{};
        InitCanvas();
        if (isExperimentEntry(index))
            markExperimentRunning();   // keeps the lesson out of this test
        machine.timerValue = 4711.25 + index;
        const double timerAtChoice = machine.timerValue;

        Win_0_MenuEvent(index);

        RandomSource seeded;
        seeded.mixSeed(timerAtChoice);
        RandomSource unseeded;
        const double drawn = machine.random();
        EXPECT_EQ(drawn, seeded.nextDouble()) << "index " << index;
        EXPECT_NE(drawn, unseeded.nextDouble()) << "index " << index;
    }
}

TEST_F(MenuTest, EveryChoiceDoesTheSharedBookkeeping)
{
    for (int index = 1; index <= 16; ++index) {
        FakePlatform machine;
        installPlatform(machine);
        state = ProgramState{};
        InitCanvas();
        if (isExperimentEntry(index))
            markExperimentRunning();
        state.menuEventCount = 7;
        state.runPassLimit = 1;
        state.runPass = 0;
        state.interruptRequest = kTrue;
        state.lastMenuIndex = 0;
        double interruptWhileBoxOpen = 99;
        machine.atMessageBox(1, [&] { interruptWhileBoxOpen = state.interruptRequest; });

        Win_0_MenuEvent(index);

        SCOPED_TRACE("index " + std::to_string(index));
        EXPECT_EQ(state.lastMenuIndex, index);
        EXPECT_EQ(state.runPass, 1);
        EXPECT_EQ(state.menuEventCount, 8);
        const bool stopsTheRun = index == 12 || index == 13;
        EXPECT_EQ(state.interruptRequest, stopsTheRun ? kTrue : kFalse);
        if (machine.messageBoxCount > 0) {
            EXPECT_EQ(interruptWhileBoxOpen, kFalse);
        }
    }
}

TEST_F(MenuTest, RunPassIsRaisedToItsLimitButNeverLowered)
{
    state.runPassLimit = 1;
    state.runPass = 5;
    Win_0_MenuEvent(2);
    EXPECT_EQ(state.runPass, 5);
    state.runPassLimit = 3;
    state.runPass = 2;
    Win_0_MenuEvent(2);
    EXPECT_EQ(state.runPass, 3);
}

TEST_F(MenuTest, TitlesAndTheSeparatorDoNothingButTheBookkeeping)
{
    for (int index : {0, 2, 5, 6, 10, 11, 14, 15, 16})
        Win_0_MenuEvent(index);
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_EQ(state.menuEventCount, 9);
    EXPECT_EQ(state.quitRequest, "");
}

TEST_F(MenuTest, QuitRequestsTheEndAndStaysRequested)
{
    Win_0_MenuEvent(1);
    EXPECT_EQ(state.quitRequest, "*");
    EXPECT_TRUE(fake.calls.empty());
    Win_0_MenuEvent(12);
    EXPECT_EQ(state.quitRequest, "*");
}

TEST_F(MenuTest, InfoSetsTheFolderDrawsTheStartPicturePausesAndExplains)
{
    fake.width = 1000;
    fake.height = 630;
    fake.currentFolder = "/somewhere/else";
    fake.setForeground(makeColour(255, 0, 0));

    Win_0_MenuEvent(3);

    EXPECT_EQ(fake.opsAmong({"setCurrentFolder", "releasePicture", "loadPicture", "drawPicture",
                             "drawRectangle", "pause", "messageBox"}),
              (std::vector<std::string>{"setCurrentFolder", "loadPicture", "drawPicture",
                                        "drawRectangle", "pause", "messageBox"}));
    EXPECT_EQ(fake.currentFolder, fake.programFolder());
    const auto load = fake.callsOf("loadPicture").at(0);
    EXPECT_EQ(load->text, "bild3c2.gif");
    EXPECT_EQ(state.backgroundPicture, static_cast<PictureId>(load->args[0]));
    // 1000 x 630: x 4 -> 12 (12.5), 312 -> 975, 316 -> 987 (987.5);
    // y 4 -> 12 (12.6), 192 -> 604 (604.8); the bottom edge 12 + 604 = 616, not 617.
    const auto picture = fake.callsOf("drawPicture").at(0);
    EXPECT_EQ(picture->args, (std::vector<double>{load->args[0], 12, 12, 975, 604}));
    const auto outline = fake.callsOf("drawRectangle").at(0);
    EXPECT_EQ(outline->args, (std::vector<double>{12, 12, 987, 616}));
    EXPECT_EQ(outline->foreground, makeColour(0, 0, 0));
    EXPECT_EQ(fake.callsOf("pause").at(0)->args[0], 55);
    const auto box = fake.callsOf("messageBox").at(0);
    EXPECT_EQ(box->text, TheoryText());
    EXPECT_EQ(box->args[0], 19);
    EXPECT_EQ(state.interruptRequest, kFalse);
}

TEST_F(MenuTest, RepeatedInfoReleasesTheEarlierStartPicture)
{
    Win_0_MenuEvent(3);
    const PictureId first = state.backgroundPicture;
    Win_0_MenuEvent(3);
    const auto releases = fake.callsOf("releasePicture");
    ASSERT_EQ(releases.size(), 1u);
    EXPECT_EQ(releases[0]->args[0], first);
    EXPECT_NE(state.backgroundPicture, first);
}

TEST_F(MenuTest, AuthorShowsTheAboutBoxAndLeavesNoStopRequest)
{
    Win_0_MenuEvent(4);
    const auto boxes = fake.callsOf("messageBox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]->args[0], 147);
    EXPECT_EQ(boxes[0]->text.rfind("Programmautor:", 0), 0u);
    EXPECT_EQ(state.interruptRequest, kFalse);
}

TEST_F(MenuTest, TheoryAndUsageLeaveAStopRequestUntilTheNextChoice)
{
    Win_0_MenuEvent(12);
    EXPECT_EQ(state.interruptRequest, kTrue);
    Win_0_MenuEvent(4);
    EXPECT_EQ(state.interruptRequest, kFalse);
    Win_0_MenuEvent(13);
    EXPECT_EQ(state.interruptRequest, kTrue);
    const auto boxes = fake.callsOf("messageBox");
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0]->text, TheoryText());
    EXPECT_EQ(boxes[2]->text, UsageText());
}

// A series after a demonstration: the settings of every later series, and the event
// does not count as the user interfering.
TEST_F(MenuTest, SeriesCommandsSetTheirParametersAndLeaveTheEventCountAlone)
{
    struct Row {
        int index;
        int intervals;
    };
    for (Row row : {Row{8, 1}, Row{9, 10}}) {
        FakePlatform machine;
        installPlatform(machine);
        state = ProgramState{};
        InitCanvas();
        state.demoDone = 1;
        state.experimentEntered = 1;
        state.experimentIdle = 1;
        state.menuEventCount = 3;
        state.intervalsTotal = 4;
        state.delayFactor = 0.5;
        state.stepsPerInterval = 40;

        Win_0_MenuEvent(row.index);

        SCOPED_TRACE("index " + std::to_string(row.index));
        EXPECT_EQ(state.menuEventCount, 3);
        EXPECT_EQ(state.demoDone, 1);
        EXPECT_EQ(state.delayFactor, 1.0);
        EXPECT_EQ(state.stepsPerInterval, 100);
        EXPECT_EQ(state.intervalsPerRun, row.intervals);
        EXPECT_EQ(state.intervalsTotal, 4 + row.intervals);
        // The demonstration has run before: no waiting.
        for (const auto* pause : machine.callsOf("pause"))
            EXPECT_NE(pause->args[0], 5000);
        // The experiment screen ran once, with the count of intervals already raised.
        EXPECT_EQ(state.experimentEntered, 1);
        EXPECT_EQ(state.experimentIdle, 1);
        const auto texts = machine.texts();
        EXPECT_EQ(std::count(texts.begin(), texts.end(),
                             "Zahl der Versuche n:" + std::to_string(4 + row.intervals)),
                  1);
    }
}

TEST_F(MenuTest, FirstSeriesWithoutDemonstrationRunsItWaitsFiveSecondsThenStarts)
{
    state.intervalsTotal = 0;
    Win_0_MenuEvent(9);
    // The demonstration (its label), the wait, then the series' own screen with its
    // new-series box.
    std::vector<std::string> sequence;
    for (const auto& call : fake.calls) {
        if (call.op == "drawText" && call.text == "  DEMO !" && sequence.empty())
            sequence.push_back("demonstration");
        else if (call.op == "pause" && call.args[0] == 5000)
            sequence.push_back("wait");
        else if (call.op == "messageBox" && call.text == "Neue Versuchsreihe!")
            sequence.push_back("new series");
    }
    EXPECT_EQ(sequence, (std::vector<std::string>{"demonstration", "wait", "new series"}));
    EXPECT_EQ(state.demoDone, 1);
    EXPECT_EQ(state.menuEventCount, 0);
    EXPECT_EQ(state.intervalsTotal, 10);
    EXPECT_EQ(state.intervalsPerRun, 10);
}

TEST_F(MenuTest, IntervalsAnnouncedStopAtTheLargestSixteenBitValue)
{
    state.demoDone = 1;
    state.intervalsTotal = 32760;
    Win_0_MenuEvent(9);
    EXPECT_EQ(state.intervalsTotal, 32767);
    Win_0_MenuEvent(8);
    EXPECT_EQ(state.intervalsTotal, 32767);
}

TEST_F(MenuTest, ExperimentEntriesAreIgnoredExactlyWhileAnExperimentScreenIsUp)
{
    // Before any experiment both flags are 0: accepted.
    state.intervalsTotal = 0;
    Win_0_MenuEvent(8);
    EXPECT_EQ(state.demoDone, 1);
    EXPECT_EQ(state.stepsPerInterval, 100);
    EXPECT_EQ(state.menuEventCount, 0);

    // While a screen is up: nothing starts, the choice still counts.
    markExperimentRunning();
    state.demoDone = 0;
    state.stepsPerInterval = 40;
    state.intervalsTotal = 1;
    fake.calls.clear();
    for (int index : {7, 8, 9})
        Win_0_MenuEvent(index);
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_EQ(state.demoDone, 0);
    EXPECT_EQ(state.stepsPerInterval, 40);
    EXPECT_EQ(state.intervalsTotal, 1);
    EXPECT_EQ(state.menuEventCount, 3);
    EXPECT_EQ(state.lastMenuIndex, 9);

    // Other commands still run inside a running experiment.
    Win_0_MenuEvent(4);
    EXPECT_EQ(fake.count("messageBox"), 1);

    // Once the screen has ended: accepted again.
    state.experimentIdle = 1;
    state.demoDone = 1;
    Win_0_MenuEvent(9);
    EXPECT_EQ(state.stepsPerInterval, 100);
    EXPECT_EQ(state.intervalsTotal, 11);
    EXPECT_EQ(state.menuEventCount, 4);
}

} // namespace
