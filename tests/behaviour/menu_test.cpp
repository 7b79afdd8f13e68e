// The menu bar and what every choice does: the bookkeeping a running experiment relies on,
// the guard against a second experiment, and the commands themselves.

#include "lesson_fixture.h"
#include "platform/RandomSource.h"
#include "screens/MessageBoxes.h"

#include <algorithm>

namespace {

using namespace lesson;

class MenuTest : public LessonTest {};

TEST_F(MenuTest, InitMenuFillsMenuTextAndInstallsTheFirstSeventeenItems)
{
    const Texts expected = {"DESK |", "&Quit", "----------", "&Info", "&Autor", "", "EXPERIMENT |",
                            "&1 Demo-Experiment", "&2 Neues Experiment / 1 x wiederholen",
                            "&3 Experiment 10 x wiederholen", "", "HILFE |", "&Theorie", "&Bedienung", "", "", ""};
    state.menuText[15] = "left over";
    InitMenu();
    for (size_t i = 0; i < state.menuText.size(); ++i)
        EXPECT_EQ(state.menuText[i], i < expected.size() ? expected[i] : "") << "menuText(" << i << ")";
    EXPECT_EQ(fake.count("installMenu"), 1);
    EXPECT_EQ(fake.menuItems, expected);
}

// Every choice first re-seeds from the timer, notes its index, raises runPass to runPassLimit,
// counts itself and clears the stop request; Theory and Usage leave a stop request behind.
// Here an experiment screen is up: the EXPERIMENT entries start nothing, the rest still runs.
TEST_F(MenuTest, EveryChoiceDoesTheSharedBookkeepingFirst)
{
    double interruptWhileBoxOpen = 99;
    for (int index = 0; index <= 16; ++index) {
        SCOPED_TRACE("index " + std::to_string(index));
        startAfresh();
        interruptWhileBoxOpen = 99;
        state.experimentEntered = 1;
        state.menuEventCount = 7;
        state.runPassLimit = 3;
        state.runPass = 2;
        state.interruptRequest = kTrue;
        fake.timerValue = 4711.25 + index;
        fake.atMessageBox(1, [&] { interruptWhileBoxOpen = state.interruptRequest; });
        Win_0_MenuEvent(index);
        RandomSource seeded;
        seeded.mixSeed(4711.25 + index);
        const double drawn = fake.random();
        EXPECT_EQ(drawn, seeded.nextDouble());
        EXPECT_NE(drawn, RandomSource{}.nextDouble());
        EXPECT_EQ((Args{double(state.lastMenuIndex), double(state.runPass), double(state.menuEventCount)}),
                  (Args{double(index), 3, 8}));
        EXPECT_EQ(state.interruptRequest, index == kTheory || index == kUsage ? kTrue : kFalse);
        EXPECT_EQ(state.quitRequest, index == kQuit ? "*" : "");
        const std::string box = index == kInfo || index == kTheory ? TheoryText()
                                : index == kAuthor ? AuthorText() : index == kUsage ? UsageText() : "";
        if (box.empty()) {
            EXPECT_TRUE(fake.calls.empty());
        } else {
            ASSERT_EQ(fake.count("messageBox"), 1);
            EXPECT_EQ(nth("messageBox", 0).text, box);
            EXPECT_EQ(interruptWhileBoxOpen, kFalse);
        }
    }
    // runPass is never lowered; Quit stays requested whatever follows.
    state.runPassLimit = 1;
    state.runPass = 5;
    Win_0_MenuEvent(kQuit);
    Win_0_MenuEvent(kTheory);
    EXPECT_EQ(state.runPass, 5);
    EXPECT_EQ(state.quitRequest, "*");
}

// The EXPERIMENT entries start their command before any experiment (both flags 0) and after
// one has ended, never while one is up. The choice counts in every state, except that a series
// carried out takes its count back.
TEST_F(MenuTest, ExperimentEntriesStartNothingWhileAnExperimentIsUp)
{
    const struct { const char* name; int32_t entered, idle; } screens[] = {
        {"before any experiment", 0, 0}, {"experiment up", 1, 0}, {"experiment ended", 1, 1}};
    const struct { int index; int16_t intervals; } entries[] = {{kDemo, 0}, {kOneSeries, 1}, {kTenSeries, 10}};
    for (const auto& screen : screens) {
        for (const auto& entry : entries) {
            SCOPED_TRACE(std::string(screen.name) + ", index " + std::to_string(entry.index));
            startAfresh();
            state.experimentEntered = screen.entered;
            state.experimentIdle = screen.idle;
            state.demoDone = 1;
            state.menuEventCount = 3;
            state.intervalsTotal = 4;
            state.delayFactor = 0.5;
            state.stepsPerInterval = 40;
            Win_0_MenuEvent(entry.index);
            const Args counted{double(state.menuEventCount), state.delayFactor, double(state.stepsPerInterval),
                               double(state.intervalsTotal)};
            if (screen.entered == 1 && screen.idle == 0) {
                EXPECT_TRUE(fake.calls.empty());
                EXPECT_EQ(counted, (Args{4, 0.5, 40, 4}));
                continue;
            }
            EXPECT_EQ(state.experimentIdle, 1);   // a screen ran to its end
            if (entry.index == kDemo) {
                EXPECT_EQ(boxesSaying("Laufende Mikroteilchen"), 1);
                EXPECT_EQ(state.menuEventCount, 4);
                continue;
            }
            EXPECT_EQ(counted, (Args{3, 1.0, 100, 4.0 + entry.intervals}));
            EXPECT_EQ(state.intervalsPerRun, entry.intervals);
            EXPECT_EQ(indexOf("pause", 5000), -1);   // the demonstration ran before: no wait
            const Texts texts = fake.texts();
            const std::string closing = "Zahl der Versuche n:" + std::to_string(4 + entry.intervals);
            EXPECT_EQ(std::count(texts.begin(), texts.end(), closing), 1);
        }
    }
}

TEST_F(MenuTest, IntervalsAnnouncedStopAtTheLargestSixteenBitValue)
{
    state.demoDone = 1;
    state.intervalsTotal = 32760;
    Win_0_MenuEvent(kTenSeries);
    EXPECT_EQ(state.intervalsTotal, 32767);
    Win_0_MenuEvent(kOneSeries);
    EXPECT_EQ(state.intervalsTotal, 32767);
}

TEST_F(MenuTest, InfoDrawsTheStartPictureFromTheProgramFolderThenExplains)
{
    startAfresh(1000, 630);
    fake.currentFolder = "/somewhere/else";
    fake.setForeground(kRed);

    Win_0_MenuEvent(kInfo);

    EXPECT_EQ(fake.opsAmong({"setCurrentFolder", "releasePicture", "loadPicture", "drawPicture",
                             "drawRectangle", "pause", "messageBox"}),
              (Texts{"setCurrentFolder", "loadPicture", "drawPicture", "drawRectangle", "pause",
                     "messageBox"}));
    EXPECT_EQ(fake.currentFolder, "/opt/mikroteilchen");
    const Call& load = nth("loadPicture", 0);
    EXPECT_EQ(load.text, "bild3c2.gif");
    EXPECT_EQ(state.backgroundPicture, load.args[0]);
    // 1000 x 630: x 4 -> 12 (12.5), 312 -> 975, 316 -> 987 (987.5); y 4 -> 12 (12.6),
    // 192 -> 604 (604.8); the bottom edge 12 + 604 = 616, not ScaleY(196) = 617.
    EXPECT_EQ(nth("drawPicture", 0).args, (Args{load.args[0], 12, 12, 975, 604}));
    EXPECT_EQ(nth("drawRectangle", 0).args, (Args{12, 12, 987, 616}));
    EXPECT_EQ(nth("drawRectangle", 0).foreground, kBlack);
    EXPECT_EQ(nth("pause", 0).args[0], 55);
}

} // namespace
