// The title screen and its continue prompt: pictures from the program's folder, texts at their
// places and sizes, the prompt's row, and what ends the wait.

#include "screens/TitleScreen.h"

#include "lesson_fixture.h"

namespace {

using namespace lesson;

constexpr Colour kTitleBlue = makeColour(0, 0, 255);

class TitleScreenTest : public LessonTest {
protected:
    void SetUp() override { LessonTest::SetUp(); failIfStillWaitingAfterClose(); }
};

// Row 25 of a 600-pixel window follows the start height: 25 * (height / 200) / 3 with halves
// to even (12.5 -> 12, 37.5 -> 38). White on the window's blue, 16 points at any width, in
// the font it finds.
TEST_F(TitleScreenTest, PromptRowFollowsTheStartHeightAndKeepsItsSize)
{
    const struct { int width, height, row; } rows[] = {
        {800, 400, 17}, {800, 600, 25}, {800, 800, 33}, {800, 300, 12}, {800, 900, 38}, {1000, 600, 25}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + " x " + std::to_string(row.height));
        startAfresh(row.width, row.height);
        fake.setFontName("times");
        fake.pendingKeys = {"\r"};
        WaitContinue(25);
        ASSERT_EQ(fake.count("printLine"), 1);
        const Call& prompt = nth("printLine", 0);
        EXPECT_EQ(prompt.text, "Weiter ?  <RETURN>");
        EXPECT_EQ(prompt.args, (Args{73, double(row.row)}));
        EXPECT_EQ((std::tuple{prompt.fontSize, prompt.fontName, prompt.foreground, prompt.background}),
                  (std::tuple{16.0, std::string("times"), kWhite, kBackground}));
    }
}

// The user answers at poll 40, or had pressed keys before the prompt: the answering key is
// taken, a later one stays for later.
TEST_F(TitleScreenTest, AnyKeyEitherMouseButtonOrAClosedWindowEndsTheWait)
{
    const struct { const char* answer; Texts pending; std::string key; int buttons; bool close; int minPolls, maxPolls;
                   Texts left; } rows[] = {
        {"space", {}, " ", 0, false, 40, 42, {}},
        {"letter", {}, "x", 0, false, 40, 42, {}},
        {"left button", {}, "", 1, false, 40, 42, {}},
        {"right button", {}, "", 2, false, 40, 42, {}},
        {"both buttons", {}, "", 3, false, 40, 42, {}},
        {"closed window", {}, "", 0, true, 40, 42, {}},
        {"keys pending before the prompt", {"a", "b"}, "", 0, false, 1, 1, {"b"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.answer);
        startAfresh();
        fake.pendingKeys.assign(row.pending.begin(), row.pending.end());
        fake.atPoll(40, [this, &row] {
            if (!row.key.empty())
                fake.pendingKeys.push_back(row.key);
            fake.mouseState = row.buttons;
            if (row.close)
                fake.closeWindowByUser();
        });
        WaitContinue(25);
        EXPECT_GE(fake.pollCount, row.minPolls);
        EXPECT_LE(fake.pollCount, row.maxPolls);
        EXPECT_EQ(Texts(fake.pendingKeys.begin(), fake.pendingKeys.end()), row.left);
        EXPECT_EQ(state.quitRequest, row.close ? "*" : "");
        if (!row.key.empty() || !row.pending.empty()) {
            EXPECT_EQ(fake.opsAmong({"printLine", "keyTaken"}), (Texts{"printLine", "keyTaken"}));
        }
    }
}

// Left picture in a black frame with the three title lines and the credit line; right picture
// framed in the title blue with the author block. Font sizes are k * width / 800 points.
TEST_F(TitleScreenTest, PicturesFromTheProgramFolderAndBlueTextsAtWidthScaledSizes)
{
    // The frames' bottom is ScaleY(4) + ScaleY(184): at height 630 that is 12 + 579 = 591,
    // where ScaleY(188) would be 592.
    const struct { int width, height; double title, credit, author, frameBottom; } rows[] = {
        {800, 600, 30, 12, 20, 564}, {1000, 600, 37.5, 15, 25, 564}, {800, 630, 30, 12, 20, 591}};
    // Positions of the texts in logical units, by drawing order; text nullptr: not checked.
    const struct { size_t index; const char* text; int x, y; } placed[] = {
        {0, "Zählstatistik", 42, 40}, {1, "zufällig emittierter", 21, 90}, {2, "Mikroteilchen", 39, 140},
        {3, nullptr, 75, 170}, {4, "Programmautor: ", 210, 40}, {6, nullptr, 175, 90}, {8, nullptr, 207, 130}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + " x " + std::to_string(row.height));
        startAfresh(row.width, row.height);
        fake.currentFolder = "/somewhere/else";
        fake.pendingKeys = {"\r"};
        TitleScreen();
        const auto sx = [&](int v) { return double(v * row.width / 320); };
        const auto sy = [&](int v) { return double(v * row.height / 200); };
        EXPECT_EQ(fake.opsAmong({"clearWindow", "setCurrentFolder", "loadPicture", "printLine"}),
                  (Texts{"clearWindow", "setCurrentFolder", "loadPicture", "loadPicture", "printLine", "clearWindow"}));
        EXPECT_EQ(fake.currentFolder, "/opt/mikroteilchen");
        const Call& left = nth("loadPicture", 0);
        const Call& right = nth("loadPicture", 1);
        EXPECT_EQ((Texts{left.text, right.text}), (Texts{"kestrino.jpg", "quorvel2.jpg"}));
        EXPECT_EQ((Args{double(state.titlePictureLeft), double(state.titlePictureRight)}), (Args{left.args[0], right.args[0]}));
        EXPECT_NE(left.args[0], right.args[0]);
        EXPECT_EQ(nth("drawPicture", 0).args, (Args{left.args[0], sx(4), sy(4), sx(154), sy(184)}));
        EXPECT_EQ(nth("drawPicture", 1).args, (Args{right.args[0], sx(164), sy(4), sx(154), sy(184)}));
        EXPECT_EQ(nth("drawRectangle", 0).args, (Args{sx(4), sy(4), sx(158), row.frameBottom}));
        EXPECT_EQ(nth("drawRectangle", 1).args, (Args{sx(164), sy(4), sx(318), row.frameBottom}));
        EXPECT_EQ((std::pair{nth("drawRectangle", 0).foreground, nth("drawRectangle", 1).foreground}),
                  (std::pair{kBlack, kTitleBlue}));
        const auto texts = fake.callsOf("drawText");
        ASSERT_EQ(texts.size(), 9u);
        for (const auto& p : placed) {
            if (p.text) {
                EXPECT_EQ(texts[p.index]->text, p.text);
            }
            EXPECT_EQ(texts[p.index]->args, (Args{sx(p.x), sy(p.y)})) << p.index;
        }
        for (size_t i = 0; i < texts.size(); ++i) {
            SCOPED_TRACE(texts[i]->text);
            EXPECT_EQ((std::tuple{texts[i]->fontSize, texts[i]->fontName, texts[i]->titleAttribute,
                                  texts[i]->foreground, texts[i]->background}),
                      (std::tuple{i < 3 ? row.title : i == 3 ? row.credit : row.author, std::string("times"), true,
                                  kTitleBlue, kWhite}));
        }
        // The prompt after them is plain text at its own size, and plain text stays set.
        EXPECT_EQ((std::tuple{nth("printLine", 0).fontSize, nth("printLine", 0).titleAttribute, fake.titleAttribute}),
                  (std::tuple{16.0, false, false}));
    }
}

} // namespace
