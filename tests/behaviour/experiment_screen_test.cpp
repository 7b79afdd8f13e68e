// The experiment screen: its picture, frame and labels, the new-series box, and the busy state
// the menu looks at while the run inside it is going.

#include "measurement/ExperimentScreen.h"

#include "lesson_fixture.h"

namespace {

using namespace lesson;

class ExperimentScreenTest : public LessonTest {
protected:
    void SetUp() override
    {
        LessonTest::SetUp();
        prepareSeries(1);
        state.stepsPerInterval = 3;
        state.seriesAnnounced = 1;
    }

    std::vector<const Call*> demoLabels() const
    {
        std::vector<const Call*> found;
        for (const auto* text : fake.callsOf("drawText"))
            if (text->text == "  DEMO !")
                found.push_back(text);
        return found;
    }
};

TEST_F(ExperimentScreenTest, DrawsPictureAndTimeLabelAnnouncesTheSeriesAndIsBusyDuringTheRun)
{
    state.seriesAnnounced = 0;
    Args flagsDuringRun;
    fake.atProcessEvents(1, [&] {
        flagsDuringRun = {double(state.experimentIdle), double(state.experimentEntered)};
    });
    // EXPERIMENT entries chosen during the run start nothing, but count.
    fake.atProcessEvents(2, [this] { fake.dispatchMenu(kOneSeries); });
    fake.atProcessEvents(3, [this] { fake.dispatchMenu(kDemo); });

    ExperimentScreen();

    EXPECT_EQ(fake.calls.front().op, "clearWindow");
    EXPECT_EQ(fake.count("clearWindow"), 1);
    ASSERT_EQ(fake.count("loadPicture"), 1);
    const Call& load = nth("loadPicture", 0);
    EXPECT_EQ(load.text, "bild3c2.gif");
    EXPECT_EQ(nth("drawPicture", 0).args, (Args{load.args[0], 10, 12, 780, 576}));
    EXPECT_EQ(nth("drawRectangle", 0).args, (Args{10, 12, 790, 588}));
    EXPECT_EQ(nth("drawRectangle", 0).foreground, kBlack);
    EXPECT_EQ(textsAt(75, 285), (Texts{"Zeit"}));
    const Call& zeit = nth("drawText", 0);
    EXPECT_EQ((std::pair{zeit.foreground, zeit.background}), (std::pair{kBlack, kLightBlue}));
    EXPECT_EQ((std::pair{zeit.fontSize, zeit.fontName}), (std::pair{30.0, std::string("times")}));
    EXPECT_TRUE(demoLabels().empty());

    // The new-series box once, after "Zeit" is on the screen and before the run.
    EXPECT_EQ(boxesSaying("Neue Versuchsreihe!"), 1);
    EXPECT_EQ(nth("messageBox", 0).captions, " OK ");
    EXPECT_EQ(state.alertText, "Neue Versuchsreihe!");
    EXPECT_GT(indexOf("messageBox"), positionOf(&zeit));
    EXPECT_LT(indexOf("messageBox"), indexOf("processEvents", 1));

    EXPECT_EQ(fake.processEventsCount, 1 + 3);
    EXPECT_EQ(flagsDuringRun, (Args{0, 1}));
    EXPECT_EQ((Args{double(state.experimentIdle), double(state.experimentEntered)}), (Args{1, 1}));
    EXPECT_EQ(state.menuEventCount, 2);
    EXPECT_EQ(fake.maxHandlerDepth, 1);
    // What the halt notice and the next command find.
    EXPECT_EQ((std::pair{fake.foreground, fake.background}), (std::pair{kRed, kLightBlue}));
    EXPECT_EQ((std::pair{fake.fontSize, fake.fontName}), (std::pair{30.0, std::string("times")}));
    EXPECT_FALSE(fake.titleAttribute);

    // The next screen gives the picture back, loads it afresh, and announces nothing.
    const double first = load.args[0];
    ExperimentScreen();
    ASSERT_EQ(fake.count("releasePicture"), 1);
    EXPECT_EQ(nth("releasePicture", 0).args[0], first);
    EXPECT_EQ(state.backgroundPicture, nth("loadPicture", 1).args[0]);
    EXPECT_EQ(boxesSaying("Neue Versuchsreihe!"), 1);
}

// The first demonstration's red label at (10, 10), blocked out after the run light blue on light
// blue in the run's larger font, drawn plainly. The frame's lower edge is ScaleY(4) + ScaleY(192):
// at height 590 that is 11 + 566 = 577, one pixel above ScaleY(196) = 578.
TEST_F(ExperimentScreenTest, FirstDemonstrationCarriesTheLabelAndBlocksItOutAfterwards)
{
    const struct { int width, height; double labelX, labelY, small, large; Args frame; } rows[] = {
        {800, 600, 25, 30, 12, 30, {10, 12, 790, 588}},
        {1000, 590, 31, 29, 15, 37.5, {12, 11, 987, 577}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.width);
        startAfresh(row.width, row.height);
        state.demoDone = 0;
        fake.setTitleAttribute(true);
        ExperimentScreen();
        const auto labels = demoLabels();
        ASSERT_EQ(labels.size(), 2u);
        EXPECT_EQ(labels[0]->args, (Args{row.labelX, row.labelY}));
        EXPECT_EQ((std::pair{labels[0]->foreground, labels[0]->background}), (std::pair{kRed, kLightBlue}));
        EXPECT_DOUBLE_EQ(labels[0]->fontSize, row.small);
        EXPECT_EQ(labels[1]->args, (Args{row.labelX, row.labelY}));
        EXPECT_EQ((std::pair{labels[1]->foreground, labels[1]->background}),
                  (std::pair{kLightBlue, kLightBlue}));
        EXPECT_DOUBLE_EQ(labels[1]->fontSize, row.large);
        EXPECT_FALSE(labels[1]->titleAttribute);
        EXPECT_GT(positionOf(labels[1]), indexOf("processEvents", 4));
        EXPECT_EQ(nth("drawRectangle", 0).args, row.frame);
    }
}

} // namespace
