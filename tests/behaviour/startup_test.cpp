// The whole program from start to end: the order of the start-up screens, the event
// loop, and a shut-down that runs exactly once however the program is ended.

#include "platform/fake/FakePlatform.h"
#include "screens/MessageBoxes.h"
#include "shell/MainProgram.h"
#include "shell/ProgramState.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Characters, not bytes: "ä" is two bytes in UTF-8.
size_t characterCount(const std::string& text)
{
    size_t count = 0;
    for (unsigned char c : text)
        count += (c & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

// Past the fake's poll limit the user has closed the window; a loop that still polls or
// waits then would never end. Throwing from the fake ends such a test as a failure.
void guardAgainstHanging(FakePlatform& machine)
{
    machine.atPoll(machine.pollLimit + 1000,
                   [] { throw std::runtime_error("still polling after the window closed"); });
    machine.atWaitForEvents(1000,
                            [] { throw std::runtime_error("event loop did not end"); });
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state = ProgramState{};
        installPlatform(fake);
        fake.pollLimit = 20000;
        guardAgainstHanging(fake);
    }
    // One key answers the title prompt, the next ends the wait before the event loop.
    void userAnswersBothWaitsWithKeys() { fake.pendingKeys = {"\r", " "}; }

    std::vector<double> picturesLoadedFrom(const std::string& file) const
    {
        std::vector<double> ids;
        for (const auto* load : fake.callsOf("loadPicture"))
            if (load->text == file)
                ids.push_back(load->args[0]);
        return ids;
    }
    std::vector<double> releasedPictures() const
    {
        std::vector<double> ids;
        for (const auto* release : fake.callsOf("releasePicture"))
            ids.push_back(release->args[0]);
        return ids;
    }
    // What every ending has in common: the three pictures go in order, the window closes
    // once, as the very last thing, and nothing had to be cut short by the poll limit.
    void expectOneCleanShutDown(int status) const
    {
        EXPECT_EQ(status, 0);
        EXPECT_FALSE(fake.pollLimitReached);
        EXPECT_EQ(fake.count("closeWindow"), 1);
        ASSERT_FALSE(fake.calls.empty());
        EXPECT_EQ(fake.calls.back().op, "closeWindow");
        const auto left = picturesLoadedFrom("kestrino.jpg");
        const auto right = picturesLoadedFrom("quorvel2.jpg");
        const auto background = picturesLoadedFrom("bild3c2.gif");
        ASSERT_EQ(left.size(), 1u);
        ASSERT_EQ(right.size(), 1u);
        ASSERT_FALSE(background.empty());
        const std::vector<double> lastThree = {left[0], right[0], background.back()};
        const auto released = releasedPictures();
        ASSERT_GE(released.size(), 3u);
        EXPECT_EQ(std::vector<double>(released.end() - 3, released.end()), lastThree);
        EXPECT_EQ(state.quitRequest, "*");
    }
    FakePlatform fake;
};

TEST_F(StartupTest, StartsWithTheTitleThenHintPictureTheoryWaitLoopAndEndsInOrder)
{
    userAnswersBothWaitsWithKeys();
    state.menuEventCount = 5;

    const int status = RunMainProgram();

    const std::vector<std::string> expected = {
        "openWindow",     "installMenu",      "setWindowBackground",
        "clearWindow",    "setCurrentFolder", "loadPicture",    "loadPicture",
        "drawPicture",    "drawPicture",      "printLine",      "keyTaken",   "clearWindow",
        "messageBox",     "loadPicture",      "drawPicture",    "pause",
        "messageBox",     "keyTaken",         "waitForEvents",  "userClosedWindow",
        "releasePicture", "releasePicture",   "releasePicture", "closeWindow",
    };
    EXPECT_EQ(fake.opsAmong({"openWindow", "installMenu", "setWindowBackground", "clearWindow",
                             "setCurrentFolder", "loadPicture", "drawPicture", "printLine",
                             "keyTaken", "messageBox", "pause", "waitForEvents",
                             "userClosedWindow", "releasePicture", "closeWindow"}),
              expected);

    const auto boxes = fake.callsOf("messageBox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0]->text, kStartHint);
    EXPECT_EQ(boxes[0]->captions, " OK ");
    EXPECT_EQ(boxes[1]->text, TheoryText());
    EXPECT_EQ(fake.callsOf("pause").at(0)->args[0], 55);
    EXPECT_EQ(fake.callsOf("loadPicture").at(2)->text, "bild3c2.gif");
    EXPECT_EQ(state.menuEventCount, 0);
    EXPECT_EQ(fake.count("waitForEvents"), 1);
    expectOneCleanShutDown(status);
}

TEST_F(StartupTest, OpensTheWindowWithItsPaddedTitleColoursAndMenu)
{
    userAnswersBothWaitsWithKeys();
    RunMainProgram();

    const std::string title = fake.callsOf("openWindow").at(0)->text;
    EXPECT_EQ(characterCount(title), 64u);
    EXPECT_EQ(title, "Statistik von zufälligen Mikroteilchen" + std::string(26, ' '));
    EXPECT_EQ(fake.callsOf("setWindowBackground").at(0)->args[0], 0xEEA833);
    EXPECT_EQ(fake.menuItems.size(), 17u);
    EXPECT_EQ(fake.menuItems.at(1), "&Quit");
    // (red, green, blue) stored with red in the low byte.
    EXPECT_EQ(state.colorBackground, 0xEEA833);
    EXPECT_EQ(state.colorWhite, 0xFFFFFF);
    EXPECT_EQ(state.colorBlack, 0x000000);
    EXPECT_EQ(state.colorRed, 0x0000FF);
    EXPECT_EQ(state.colorLightBlue, double(0xFFCC99));
    EXPECT_EQ(state.colorLightGreen, double(0xCCFF95));
    EXPECT_EQ(state.colorBlue, double(0xFF6633));
    EXPECT_EQ(state.colorOrange, double(0x3366FF));
    EXPECT_DOUBLE_EQ(state.pixelsPerUnitY, 3.0);
    EXPECT_DOUBLE_EQ(state.rateParameter, 10.0);
}

TEST_F(StartupTest, TheWaitBeforeTheEventLoopEndsOnEitherMouseButton)
{
    for (int buttons : {1, 2}) {
        FakePlatform machine;
        installPlatform(machine);
        state = ProgramState{};
        guardAgainstHanging(machine);
        machine.pendingKeys = {"\r"};   // answers the title prompt at poll 1
        machine.atPoll(25, [&machine, buttons] { machine.mouseState = buttons; });

        const int status = RunMainProgram();

        SCOPED_TRACE("buttons " + std::to_string(buttons));
        EXPECT_EQ(status, 0);
        EXPECT_GE(machine.pollCount, 25);
        EXPECT_LE(machine.pollCount, 26);
        EXPECT_EQ(machine.opsAmong({"waitForEvents", "userClosedWindow"}),
                  (std::vector<std::string>{"waitForEvents", "userClosedWindow"}));
        EXPECT_EQ(machine.count("closeWindow"), 1);
    }
}

TEST_F(StartupTest, MenuChoicesReachTheHandlerFromTheEventLoop)
{
    userAnswersBothWaitsWithKeys();
    fake.atWaitForEvents(1, [&] { fake.chooseMenu(4); });
    fake.atWaitForEvents(2, [&] { fake.chooseMenu(3); });
    const int status = RunMainProgram();

    const auto boxes = fake.callsOf("messageBox");
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[2]->args[0], 147);
    EXPECT_EQ(boxes[3]->text, TheoryText());
    EXPECT_EQ(state.menuEventCount, 2);
    EXPECT_EQ(fake.count("waitForEvents"), 3);
    // Info loaded the start picture again and released the first copy on the way.
    const auto background = picturesLoadedFrom("bild3c2.gif");
    ASSERT_EQ(background.size(), 2u);
    EXPECT_EQ(releasedPictures(), (std::vector<double>{background[0], picturesLoadedFrom("kestrino.jpg")[0],
                                                       picturesLoadedFrom("quorvel2.jpg")[0],
                                                       background[1]}));
    expectOneCleanShutDown(status);
}

TEST_F(StartupTest, QuitChosenInsideANestedCommandEndsTheProgramOnce)
{
    userAnswersBothWaitsWithKeys();
    // Usage from the event loop; while its box is open the user picks Quit.
    fake.atWaitForEvents(1, [&] { fake.dispatchMenu(13); });
    fake.atMessageBox(3, [&] { fake.dispatchMenu(1); });

    const int status = RunMainProgram();

    EXPECT_EQ(fake.maxHandlerDepth, 2);
    EXPECT_EQ(fake.count("waitForEvents"), 1);
    EXPECT_EQ(fake.count("userClosedWindow"), 0);
    expectOneCleanShutDown(status);
}

// Closing the window acts as Quit wherever the program is: each phase below is left
// without waiting for anything more, and the shut-down runs once.
TEST_F(StartupTest, ClosingTheWindowDuringTheTitlePromptEndsTheProgram)
{
    fake.atPoll(10, [&] { fake.closeWindowByUser(); });
    const int status = RunMainProgram();
    EXPECT_EQ(fake.count("waitForEvents"), 0);
    EXPECT_LE(fake.pollCount, 11);
    expectOneCleanShutDown(status);
}

TEST_F(StartupTest, ClosingTheWindowDuringTheStartHintEndsTheProgram)
{
    fake.pendingKeys = {"\r"};
    fake.atMessageBox(1, [&] { fake.closeWindowByUser(); });
    const int status = RunMainProgram();
    EXPECT_EQ(fake.callsOf("messageBox").at(0)->text, kStartHint);
    EXPECT_EQ(fake.count("waitForEvents"), 0);
    EXPECT_LE(fake.pollCount, 2);
    expectOneCleanShutDown(status);
}

TEST_F(StartupTest, ClosingTheWindowDuringTheTheoryBoxEndsTheProgram)
{
    fake.pendingKeys = {"\r"};
    fake.atMessageBox(2, [&] { fake.closeWindowByUser(); });
    const int status = RunMainProgram();
    EXPECT_EQ(fake.callsOf("messageBox").at(1)->text, TheoryText());
    EXPECT_EQ(fake.count("waitForEvents"), 0);
    expectOneCleanShutDown(status);
}

TEST_F(StartupTest, ClosingTheWindowDuringTheWaitBeforeTheLoopEndsTheProgram)
{
    fake.pendingKeys = {"\r"};
    fake.atPoll(50, [&] { fake.closeWindowByUser(); });
    const int status = RunMainProgram();
    EXPECT_GE(fake.pollCount, 50);
    EXPECT_LE(fake.pollCount, 51);
    EXPECT_EQ(fake.count("waitForEvents"), 0);
    expectOneCleanShutDown(status);
}

TEST_F(StartupTest, ClosingTheWindowDuringTheEventLoopEndsTheProgram)
{
    userAnswersBothWaitsWithKeys();
    fake.atWaitForEvents(1, [&] { fake.chooseMenu(2); });
    fake.atWaitForEvents(2, [&] { fake.closeWindowByUser(); });
    const int status = RunMainProgram();
    EXPECT_EQ(fake.count("waitForEvents"), 2);
    expectOneCleanShutDown(status);
}

TEST_F(StartupTest, ClosingTheWindowDuringABoxFromTheMenuEndsTheProgram)
{
    userAnswersBothWaitsWithKeys();
    fake.atWaitForEvents(1, [&] { fake.dispatchMenu(12); });
    fake.atMessageBox(3, [&] { fake.closeWindowByUser(); });
    const int status = RunMainProgram();
    EXPECT_EQ(fake.callsOf("messageBox").at(2)->text, TheoryText());
    EXPECT_EQ(fake.count("waitForEvents"), 1);
    expectOneCleanShutDown(status);
}

} // namespace
