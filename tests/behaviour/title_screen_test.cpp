// The title screen and its continue prompt: where things are drawn, how large, with
// which attribute, and what ends the wait.

#include "platform/fake/FakePlatform.h"
#include "screens/TitleScreen.h"
#include "shell/Canvas.h"
#include "shell/MainProgram.h"
#include "shell/ProgramState.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr Colour kBlue = 0xFF0000;      // (0, 0, 255)
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0x000000;
constexpr Colour kSkyBlue = 0xEEA833;   // (51, 168, 238), the window background

const std::string kPrompt = "Weiter ?  <RETURN>";

// Past the fake's poll limit the user has closed the window; a prompt that still polls
// then would never end. Throwing from the fake ends such a test as a failure.
void guardAgainstHanging(FakePlatform& machine)
{
    machine.atPoll(machine.pollLimit + 1000,
                   [] { throw std::runtime_error("still polling after the window closed"); });
}

class TitleScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state = ProgramState{};
        installPlatform(fake);
        fake.setCloseHandler(WindowClosed);
        fake.pollLimit = 5000;
        guardAgainstHanging(fake);
    }
    void startWithArea(int width, int height)
    {
        fake.width = width;
        fake.height = height;
        InitCanvas();
    }
    const FakePlatform::Call& promptCall() const
    {
        const auto prints = fake.callsOf("printLine");
        EXPECT_EQ(prints.size(), 1u);
        return *prints.at(0);
    }
    FakePlatform fake;
};

TEST_F(TitleScreenTest, PromptRowFollowsTheStartHeightWithHalvesToEven)
{
    struct Row {
        int height;
        int expectedRow;
    };
    // 25 * (height / 200) / 3: 16.67, 25, 33.33, and the halves 12.5 and 37.5.
    for (Row row : {Row{400, 17}, Row{600, 25}, Row{800, 33}, Row{300, 12}, Row{900, 38}}) {
        FakePlatform machine;
        installPlatform(machine);
        machine.width = 800;
        machine.height = row.height;
        InitCanvas();
        machine.pendingKeys = {"\r"};

        WaitContinue(25);

        SCOPED_TRACE("height " + std::to_string(row.height));
        const auto prints = machine.callsOf("printLine");
        ASSERT_EQ(prints.size(), 1u);
        EXPECT_EQ(prints[0]->text, kPrompt);
        EXPECT_EQ(prints[0]->args, (std::vector<double>{73, static_cast<double>(row.expectedRow)}));
    }
}

// The prompt keeps the font name it finds and a fixed size, whatever the width.
TEST_F(TitleScreenTest, PromptIsWhiteOnTheWindowBackgroundAtSixteenPoints)
{
    for (int width : {800, 1000}) {
        FakePlatform machine;
        installPlatform(machine);
        machine.width = width;
        machine.height = 600;
        InitCanvas();
        machine.setFontName("times");
        machine.pendingKeys = {"q"};

        WaitContinue(25);

        const auto prints = machine.callsOf("printLine");
        ASSERT_EQ(prints.size(), 1u);
        EXPECT_EQ(prints[0]->foreground, kWhite);
        EXPECT_EQ(prints[0]->background, kSkyBlue);
        EXPECT_EQ(prints[0]->fontSize, 16.0) << "width " << width;
        EXPECT_EQ(prints[0]->fontName, "times");
    }
}

TEST_F(TitleScreenTest, AnyKeyOrEitherMouseButtonEndsTheWait)
{
    struct Answer {
        const char* name;
        std::string key;
        int buttons;
    };
    for (const Answer& answer : {Answer{"space", " ", 0}, Answer{"letter", "x", 0},
                                 Answer{"left", "", 1}, Answer{"right", "", 2},
                                 Answer{"both", "", 3}}) {
        FakePlatform machine;
        installPlatform(machine);
        machine.setCloseHandler(WindowClosed);
        machine.pollLimit = 5000;
        guardAgainstHanging(machine);
        state = ProgramState{};
        InitCanvas();
        // The user reacts only after a while of waiting.
        machine.atPoll(40, [&] {
            if (!answer.key.empty())
                machine.pendingKeys.push_back(answer.key);
            machine.mouseState = answer.buttons;
        });

        WaitContinue(25);

        SCOPED_TRACE(answer.name);
        EXPECT_GE(machine.pollCount, 40);
        EXPECT_LE(machine.pollCount, 42);
        EXPECT_FALSE(machine.pollLimitReached);
        EXPECT_EQ(state.quitRequest, "");
        EXPECT_TRUE(machine.pendingKeys.empty());
    }
}

TEST_F(TitleScreenTest, AKeyPendingBeforeThePromptEndsItAtOnceAndIsConsumed)
{
    startWithArea(800, 600);
    fake.pendingKeys = {"a", "b"};
    WaitContinue(25);
    EXPECT_EQ(fake.pollCount, 1);
    EXPECT_EQ(fake.opsAmong({"printLine", "keyTaken"}),
              (std::vector<std::string>{"printLine", "keyTaken"}));
    EXPECT_EQ(fake.callsOf("keyTaken").at(0)->text, "a");
    EXPECT_EQ(fake.pendingKeys, (std::deque<std::string>{"b"}));
}

TEST_F(TitleScreenTest, ClosingTheWindowEndsTheWait)
{
    startWithArea(800, 600);
    fake.atPoll(30, [&] { fake.closeWindowByUser(); });
    WaitContinue(25);
    EXPECT_FALSE(fake.pollLimitReached);
    EXPECT_LE(fake.pollCount, 32);
    EXPECT_EQ(state.quitRequest, "*");
}

TEST_F(TitleScreenTest, PicturesComeFromTheProgramFolderAndSitInTheirFrames)
{
    startWithArea(800, 600);
    fake.pendingKeys = {"\r"};
    TitleScreen();

    EXPECT_EQ(fake.opsAmong({"clearWindow", "setCurrentFolder", "loadPicture", "printLine"}),
              (std::vector<std::string>{"clearWindow", "setCurrentFolder", "loadPicture",
                                        "loadPicture", "printLine", "clearWindow"}));
    EXPECT_EQ(fake.callsOf("setCurrentFolder").at(0)->text, "/opt/mikroteilchen");
    const auto loads = fake.callsOf("loadPicture");
    EXPECT_EQ(loads[0]->text, "kestrino.jpg");
    EXPECT_EQ(loads[1]->text, "quorvel2.jpg");
    EXPECT_EQ(state.titlePictureLeft, loads[0]->args[0]);
    EXPECT_EQ(state.titlePictureRight, loads[1]->args[0]);
    EXPECT_NE(state.titlePictureLeft, state.titlePictureRight);

    // 800 x 600: x * 2.5, y * 3; 154 -> 385, 184 -> 552, 158 -> 395, 164 -> 410, 318 -> 795.
    const auto pictures = fake.callsOf("drawPicture");
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0]->args, (std::vector<double>{loads[0]->args[0], 10, 12, 385, 552}));
    EXPECT_EQ(pictures[1]->args, (std::vector<double>{loads[1]->args[0], 410, 12, 385, 552}));
    const auto frames = fake.callsOf("drawRectangle");
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0]->args, (std::vector<double>{10, 12, 395, 564}));
    EXPECT_EQ(frames[0]->foreground, kBlack);
    EXPECT_EQ(frames[1]->args, (std::vector<double>{410, 12, 795, 564}));
    EXPECT_EQ(frames[1]->foreground, kBlue);
}

TEST_F(TitleScreenTest, FrameBottomIsTheSumOfTwoScaledHeights)
{
    // Height 630: ScaleY(4) = 12 (12.6), ScaleY(184) = 579 (579.6): 591, where ScaleY(188) is 592.
    startWithArea(800, 630);
    fake.pendingKeys = {"\r"};
    TitleScreen();
    const auto frames = fake.callsOf("drawRectangle");
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0]->args[3], 591);
    EXPECT_EQ(frames[1]->args[3], 591);
}

TEST_F(TitleScreenTest, TextsAreBlueWithTheTitleAttributeAtWidthScaledSizes)
{
    struct Size {
        int width;
        double title;
        double credit;
        double author;
    };
    for (Size size : {Size{800, 30, 12, 20}, Size{1000, 37.5, 15, 25}}) {
        FakePlatform machine;
        installPlatform(machine);
        machine.width = size.width;
        machine.height = 600;
        state = ProgramState{};
        InitCanvas();
        machine.pendingKeys = {"\r"};

        TitleScreen();

        SCOPED_TRACE("width " + std::to_string(size.width));
        const auto texts = machine.callsOf("drawText");
        ASSERT_EQ(texts.size(), 9u);
        EXPECT_EQ(texts[0]->text, "Zählstatistik");
        EXPECT_EQ(texts[1]->text, "zufällig emittierter");
        EXPECT_EQ(texts[2]->text, "Mikroteilchen");
        EXPECT_EQ(texts[4]->text, "Programmautor: ");
        const double xScale = size.width / 320.0;
        EXPECT_EQ(texts[0]->args, (std::vector<double>{static_cast<double>(int(42 * xScale)), 120}));
        EXPECT_EQ(texts[2]->args, (std::vector<double>{static_cast<double>(int(39 * xScale)), 420}));
        EXPECT_EQ(texts[3]->args, (std::vector<double>{static_cast<double>(int(75 * xScale)), 510}));
        EXPECT_EQ(texts[4]->args, (std::vector<double>{static_cast<double>(int(210 * xScale)), 120}));
        EXPECT_EQ(texts[6]->args, (std::vector<double>{static_cast<double>(int(175 * xScale)), 270}));
        EXPECT_EQ(texts[8]->args, (std::vector<double>{static_cast<double>(int(207 * xScale)), 390}));
        for (size_t i = 0; i < texts.size(); ++i) {
            const double expected = i < 3 ? size.title : i == 3 ? size.credit : size.author;
            EXPECT_EQ(texts[i]->fontSize, expected) << texts[i]->text;
            EXPECT_EQ(texts[i]->fontName, "times") << texts[i]->text;
            EXPECT_TRUE(texts[i]->titleAttribute) << texts[i]->text;
            EXPECT_EQ(texts[i]->foreground, kBlue) << texts[i]->text;
            EXPECT_EQ(texts[i]->background, kWhite) << texts[i]->text;
        }
        const auto prints = machine.callsOf("printLine");
        ASSERT_EQ(prints.size(), 1u);
        EXPECT_EQ(prints[0]->fontSize, 16.0);
        EXPECT_FALSE(prints[0]->titleAttribute);
        EXPECT_FALSE(machine.titleAttribute);
    }
}

} // namespace
