// The whole program from start to end: the order of the start-up screens, the particle dots
// made on the way, the event loop, and a shut-down that runs exactly once however the program
// is ended.

#include "lesson_fixture.h"
#include "measurement/DotSprites.h"
#include "screens/MessageBoxes.h"

namespace {

using namespace lesson;

class StartupTest : public LessonTest {
protected:
    void SetUp() override { LessonTest::SetUp(); failIfStillWaitingAfterClose(); }

    // Picture ids loaded from a file, or (file "") given back, in order.
    Args pictures(const std::string& file) const
    {
        Args ids;
        for (const Call& call : fake.calls)
            if (file.empty() ? call.op == "releasePicture" : call.op == "loadPicture" && call.text == file)
                ids.push_back(call.args[0]);
        return ids;
    }

    // Every ending: the three pictures go back in order, the window closes once as the very
    // last thing, and nothing had to be cut short by the poll limit.
    void expectOneCleanShutDown(int status) const
    {
        EXPECT_EQ(status, 0);
        EXPECT_FALSE(fake.pollLimitReached);
        EXPECT_EQ(fake.count("closeWindow"), 1);
        EXPECT_EQ(fake.calls.back().op, "closeWindow");
        const Args background = pictures("bild3c2.gif"), released = pictures("");
        ASSERT_FALSE(background.empty());
        ASSERT_GE(released.size(), 3u);
        EXPECT_EQ(Args(released.end() - 3, released.end()),
                  (Args{pictures("kestrino.jpg").at(0), pictures("quorvel2.jpg").at(0), background.back()}));
        EXPECT_EQ(state.quitRequest, "*");
    }
};

const std::string kKeys[] = {"\r", " "};   // the title prompt, then the wait before the loop

TEST_F(StartupTest, StartsInOrderWithItsTitleAndColoursAndShutsDownOnce)
{
    fake.pendingKeys.assign(kKeys, kKeys + 2);
    state.menuEventCount = 5;
    const int status = RunMainProgram();
    EXPECT_EQ(fake.opsAmong({"openWindow", "installMenu", "setWindowBackground", "clearWindow", "setCurrentFolder",
                             "loadPicture", "drawPicture", "printLine", "keyTaken", "messageBox", "pause",
                             "waitForEvents", "userClosedWindow", "releasePicture", "closeWindow"}),
              (Texts{"openWindow", "installMenu", "setWindowBackground", "clearWindow", "setCurrentFolder",
                     "loadPicture", "loadPicture", "drawPicture", "drawPicture", "printLine", "keyTaken",
                     "clearWindow", "messageBox", "loadPicture", "drawPicture", "pause", "messageBox",
                     "keyTaken", "waitForEvents", "userClosedWindow", "releasePicture", "releasePicture",
                     "releasePicture", "closeWindow"}));
    // 64 characters: the name padded with blanks.
    EXPECT_EQ(nth("openWindow", 0).text, "Statistik von zufälligen Mikroteilchen" + std::string(26, ' '));
    EXPECT_EQ((std::tuple{nth("messageBox", 0).text, nth("messageBox", 0).captions, nth("messageBox", 1).text}),
              (std::tuple{std::string(kStartHint), " OK ", TheoryText()}));
    EXPECT_EQ(nth("pause", 0).args[0], 55);
    // (red, green, blue) stored with red in the low byte.
    EXPECT_EQ(nth("setWindowBackground", 0).args[0], 0xEEA833);
    EXPECT_EQ((Args{double(state.colorBackground), double(state.colorWhite), double(state.colorBlack),
                    double(state.colorRed), state.colorLightBlue, state.colorLightGreen, state.colorBlue,
                    state.colorOrange}),
              (Args{0xEEA833, 0xFFFFFF, 0x000000, 0x0000FF, 0xFFCC99, 0xCCFF95, 0xFF6633, 0x3366FF}));
    EXPECT_EQ((Args{state.pixelsPerUnitY, state.rateParameter, double(state.menuEventCount)}), (Args{3, 10, 0}));
    expectOneCleanShutDown(status);
}

// Author and Info from the event loop, then Usage with Quit chosen while its box is open.
TEST_F(StartupTest, MenuChoicesRunFromTheEventLoopAndANestedQuitEndsTheProgramOnce)
{
    fake.pendingKeys.assign(kKeys, kKeys + 2);
    fake.atWaitForEvents(1, [this] { fake.chooseMenu(kAuthor); });
    fake.atWaitForEvents(2, [this] { fake.chooseMenu(kInfo); });
    fake.atWaitForEvents(3, [this] { fake.dispatchMenu(kUsage); });
    fake.atMessageBox(5, [this] { fake.dispatchMenu(kQuit); });
    const int status = RunMainProgram();
    ASSERT_EQ(fake.count("messageBox"), 5);
    EXPECT_EQ((std::tuple{nth("messageBox", 2).args[0], nth("messageBox", 3).text, nth("messageBox", 4).text}),
              (std::tuple{147.0, TheoryText(), UsageText()}));
    EXPECT_EQ((Args{double(state.menuEventCount), double(fake.maxHandlerDepth), double(fake.count("waitForEvents")),
                    double(fake.count("userClosedWindow"))}),
              (Args{4, 2, 3, 0}));
    // Info loaded the start picture again and gave the first copy back on the way.
    ASSERT_EQ(pictures("bild3c2.gif").size(), 2u);
    EXPECT_EQ(pictures("").size(), 4u);
    EXPECT_EQ(pictures("").front(), pictures("bild3c2.gif")[0]);
    expectOneCleanShutDown(status);
}

// Closing the window acts as Quit wherever the program is, and the wait before the event loop
// also ends on either mouse button: every way ends in one shut-down with status 0.
template <int n> void closedAtPoll(FakePlatform& f) { f.atPoll(n, [&f] { f.closeWindowByUser(); }); }
template <int n> void closedInBox(FakePlatform& f) { f.atMessageBox(n, [&f] { f.closeWindowByUser(); }); }
template <int buttons> void pressedAtPoll25(FakePlatform& f) { f.atPoll(25, [&f] { f.mouseState = buttons; }); }

TEST_F(StartupTest, EveryWayThroughStartUpEndsInOneCleanShutDown)
{
    // keys: of kKeys, pending from the start; waits: event-loop waits made.
    const struct { const char* phase; int keys; UserAction script; int waits, minPolls, maxPolls; } rows[] = {
        {"closed at the title prompt", 0, closedAtPoll<10>, 0, 10, 11},
        {"closed in the start hint", 1, closedInBox<1>, 0, 1, 2},
        {"closed in the theory box", 1, closedInBox<2>, 0, 1, 2},
        {"closed in the wait", 1, closedAtPoll<50>, 0, 50, 51},
        {"left button ends the wait", 1, pressedAtPoll25<1>, 1, 25, 26},
        {"right button ends the wait", 1, pressedAtPoll25<2>, 1, 25, 26},
        {"closed in the event loop", 2, [](FakePlatform& f) {
             f.atWaitForEvents(1, [&f] { f.chooseMenu(2); });
             f.atWaitForEvents(2, [&f] { f.closeWindowByUser(); });
         }, 2, 2, 2},
        {"closed in a box from the menu", 2, [](FakePlatform& f) {
             f.atWaitForEvents(1, [&f] { f.dispatchMenu(kTheory); });
             closedInBox<3>(f);
         }, 1, 2, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.phase);
        startAfresh();
        fake.pendingKeys.assign(kKeys, kKeys + row.keys);
        row.script(fake);
        const int status = RunMainProgram();
        EXPECT_EQ(fake.count("waitForEvents"), row.waits);
        EXPECT_GE(fake.pollCount, row.minPolls);
        EXPECT_LE(fake.pollCount, row.maxPolls);
        expectOneCleanShutDown(status);
    }
}

// The blue and then the red dot: the square around (30, 30) captured, the dot drawn and captured,
// and what was there before put back. The boxes keep the backgrounds, the images the dots.
TEST_F(StartupTest, DotSpritesAreCapturedAndTheWindowRestored)
{
    PrepareDotSprites();
    EXPECT_FLOAT_EQ(state.blueDotRadius, 10.0f);
    EXPECT_DOUBLE_EQ(state.redDotRadius, 7.0);   // 7.5 truncated
    ASSERT_EQ(fake.opsAmong({"capture", "drawCircle", "putImage"}),
              (Texts{"capture", "drawCircle", "capture", "putImage", "capture", "drawCircle", "capture",
                     "putImage"}));
    const auto captures = fake.callsOf("capture");
    const Args serials{captures[0]->args[4], captures[1]->args[4], captures[2]->args[4], captures[3]->args[4]};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(firstArgs(*captures[i], 4), i < 2 ? (Args{20, 20, 40, 40}) : (Args{23, 23, 37, 37})) << i;
    EXPECT_EQ((std::pair{nth("drawCircle", 0).args, nth("drawCircle", 0).foreground}),
              (std::pair{Args{30, 30, 10}, makeColour(0, 0, 255)}));
    EXPECT_EQ((std::pair{nth("drawCircle", 1).args, nth("drawCircle", 1).foreground}),
              (std::pair{Args{30, 30, 7}, makeColour(255, 0, 0)}));
    EXPECT_EQ(nth("putImage", 0).args, (Args{20, 20, 21, 21, serials[0]}));
    EXPECT_EQ(nth("putImage", 1).args, (Args{23, 23, 15, 15, serials[2]}));
    EXPECT_EQ((Args{double(state.backgroundBox.pixels.front()), double(state.blueDotImage.pixels.front()),
                    double(state.redDotBackground.pixels.front()), double(state.redDotImage.pixels.front())}),
              serials);

    // Width 1000: 4 * 1000 / 320 = 12.5 and 3 * 1000 / 320 = 9.375, truncated.
    startAfresh(1000, 600);
    PrepareDotSprites();
    EXPECT_FLOAT_EQ(state.blueDotRadius, 12.0f);
    EXPECT_EQ(state.redDotImage.width, 19);
}

} // namespace
