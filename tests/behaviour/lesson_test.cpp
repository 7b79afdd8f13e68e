// The whole program from start to end: the start-up screens in order, menu choices made during
// the start-up waits, what every choice does first, the guard against a second experiment, and
// a shut-down that runs exactly once however and wherever the program is ended.

#include "fixture.h"

#include "platform/RandomSource.h"
#include "screens/MessageBoxes.h"

#include <climits>
#include <set>

namespace {

using namespace lesson;

const std::string kKeys[] = {"\r", " "};   // the title prompt, then the wait before the event loop

// Closing the window, or Quit, wherever the program is: from the user's choice on no box shows
// and no new screen starts, and the shut-down runs once with status 0. A Quit chosen in a wait or
// a pause runs when it ends. The last row, ended in the event loop, shows the start-up's screens
// in their order. The first demonstration pass takes event calls 1..41, the halt
// notice 42..49 (one after each wait), the second pass 50..150, the pause after it 151, the
// series 152 on.
template <int command, UserAction then> void afterCommand(FakePlatform& f)
{
    f.atWaitForEvents(1, [&f] { f.dispatchMenu(command); });
    then(f);
}

TEST_F(LessonTest, EveryWayToEndRunsOneShutDownAndStartsNothingNew)
{
    const struct { const char* where; int keys; UserAction script; } rows[] = {
        {"title prompt", 0, nullptr},
        {"Quit at the title prompt", 0, [](FakePlatform& f) { f.atWaitForInput(1, [&f] { f.chooseMenu(kQuit); }); }},
        {"start hint", 1, inBox<1, userCloses>},
        {"theory box", 1, inBox<2, userCloses>},
        {"wait before the event loop", 1, nullptr},
        {"Quit from the event loop", 2, [](FakePlatform& f) { f.atWaitForEvents(1, [&f] { f.chooseMenu(kQuit); }); }},
        {"a box from the menu", 2, afterCommand<kUsage, inBox<3, userCloses>>},
        {"Quit in the first pass of &2", 2, afterCommand<kOneSeries, atEvents<10, choose<kQuit>>>},
        {"closed in the first pass of &2", 2, afterCommand<kOneSeries, atEvents<10, userCloses>>},
        {"Quit while Halt flashes", 2, afterCommand<kTenSeries, inPause<549, chooseHeld<kQuit>>>},
        {"closed while Halt flashes", 2, afterCommand<kTenSeries, inPause<275, userCloses>>},
        {"halt box of &3", 2, afterCommand<kTenSeries, inBox<3, userCloses>>},
        {"Quit in the second pass of &3", 2, afterCommand<kTenSeries, atEvents<60, choose<kQuit>>>},
        {"Quit in the pause after the demonstration", 2, afterCommand<kOneSeries, inPause<5000, chooseHeld<kQuit>>>},
        {"closed in the pause after the demonstration", 2, afterCommand<kTenSeries, inPause<5000, userCloses>>},
        {"Quit in the series after the demonstration", 2, afterCommand<kOneSeries, atEvents<160, choose<kQuit>>>},
        {"closed in the series after the demonstration", 2, afterCommand<kOneSeries, atEvents<160, userCloses>>},
        {"event loop", 2, nullptr},   // last: the start-up undisturbed
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.where);
        startAfresh();
        fake.pendingKeys.assign(kKeys, kKeys + row.keys);
        if (row.script)
            row.script(fake);
        EXPECT_EQ(RunMainProgram(), 0);
        EXPECT_EQ((std::tuple{state.quitRequest, fake.count("closeWindow"), fake.calls.back().op}),
                  (std::tuple{std::string("*"), 1, std::string("closeWindow")}));
        // Every picture loaded goes back, once.
        std::multiset<double> loaded, released;
        for (const Call* call : fake.callsOf("loadPicture"))
            loaded.insert(call->args[0]);
        for (const Call* call : fake.callsOf("releasePicture"))
            released.insert(call->args[0]);
        EXPECT_EQ(released, loaded);
        // From the moment the user closed the window or chose Quit.
        int end = INT_MAX;
        for (const int at : {indexOf("userClosedWindow"), indexOf("menuChosen", kQuit), indexOf("menuEvent", kQuit)})
            end = at >= 0 ? std::min(end, at) : end;
        ASSERT_LT(end, INT_MAX);
        EXPECT_EQ(callsWhere("drawText", [&](const Call& c) { return positionOf(&c) > end && c.text == "Zeit"; }).size()
                      + boxesSaying("", end), 0u);
    }
    // The start-up's screens in order, then the wait for the menu.
    EXPECT_EQ(fake.opsAmong({"openWindow", "installMenu", "clearWindow", "loadPicture", "printLine", "keyTaken",
                             "messageBox", "pause", "waitForEvents", "releasePicture", "closeWindow"}),
              (Texts{"openWindow", "installMenu", "clearWindow", "loadPicture", "loadPicture", "printLine", "keyTaken",
                     "clearWindow", "messageBox", "loadPicture", "pause", "messageBox", "keyTaken", "waitForEvents",
                     "releasePicture", "releasePicture", "releasePicture", "closeWindow"}));
    EXPECT_EQ(fake.windowTitle, "Statistik von zufälligen Mikroteilchen" + std::string(26, ' '));
    EXPECT_EQ(nth("setWindowBackground", 0).args[0], 0xEEA833);   // (51, 168, 238), red in the low byte
    EXPECT_EQ((Texts{nth("messageBox", 0).text, nth("messageBox", 0).captions, nth("messageBox", 1).text}),
              (Texts{kStartHint, " OK ", TheoryText()}));
}

// Every choice first re-seeds from the timer, notes its index, counts itself and clears the
// stop request; Theorie and Bedienung leave a stop request behind.
// Here an experiment screen is up: the EXPERIMENT entries start nothing, the rest still runs.
TEST_F(LessonTest, EveryChoiceDoesTheSharedBookkeepingFirst)
{
    for (int index = 0; index <= 16; ++index) {
        SCOPED_TRACE(index);
        startAfresh();
        state.experimentEntered = 3;
        state.menuEventCount = 7;
        state.interruptRequest = kTrue;
        fake.timerValue = 4711.25 + index;
        double interruptInBox = 99;
        fake.atMessageBox(1, [&] { interruptInBox = state.interruptRequest; });
        Win_0_MenuEvent(index);
        RandomSource seeded;
        seeded.mixSeed(4711.25 + index);
        const bool stops = index == kTheory || index == kUsage;
        EXPECT_EQ((Args{fake.random(), double(state.lastMenuIndex), double(state.menuEventCount), state.interruptRequest,
                        double(state.quitRequest == "*")}),
                  (Args{seeded.nextDouble(), double(index), 8, double(stops ? kTrue : kFalse), double(index == kQuit)}));
        const std::string box = index == kInfo || index == kTheory ? TheoryText()
                                : index == kAuthor ? AuthorText() : index == kUsage ? UsageText() : "";
        EXPECT_EQ((std::tuple{fake.count("messageBox"), fake.count("loadPicture")}), (std::tuple{box.empty() ? 0 : 1, index == kInfo}));
        if (!box.empty()) {
            EXPECT_EQ((std::pair{nth("messageBox", 0).text, interruptInBox}), (std::pair{box, double(kFalse)}));
        }
    }
}

} // namespace
