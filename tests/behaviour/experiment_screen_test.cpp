// The experiment screen: its picture, frame and labels, the new-series box, and the
// busy state the menu looks at while the run inside it is going.

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

    std::vector<const FakePlatform::Call*> demoLabels() const
    {
        std::vector<const FakePlatform::Call*> found;
        for (const auto* text : fake.callsOf("drawText"))
            if (text->text == "  DEMO !")
                found.push_back(text);
        return found;
    }

    int newSeriesBoxes() const
    {
        int found = 0;
        for (const auto* box : fake.callsOf("messageBox"))
            found += box->text == "Neue Versuchsreihe!" && box->captions == " OK ";
        return found;
    }
};

TEST_F(ExperimentScreenTest, DrawsPictureFrameAndTimeLabelThenRunsOnce)
{
    int32_t idleDuringRun = -5;
    int32_t enteredDuringRun = -5;
    fake.atProcessEvents(1, [&] {
        idleDuringRun = state.experimentIdle;
        enteredDuringRun = state.experimentEntered;
    });

    ExperimentScreen();

    EXPECT_EQ(fake.calls.front().op, "clearWindow");
    const auto loads = fake.callsOf("loadPicture");
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0]->text, "bild3c2.gif");
    const auto pictures = fake.callsOf("drawPicture");
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0]->args, (std::vector<double>{loads[0]->args[0], 10, 12, 780, 576}));
    const auto frame = fake.callsOf("drawRectangle").front();
    EXPECT_EQ(frame->args, (std::vector<double>{10, 12, 790, 588}));
    EXPECT_EQ(frame->foreground, kBlack);

    const auto zeit = textsAt(75, 285);
    ASSERT_EQ(zeit.size(), 1u);
    EXPECT_EQ(zeit[0], "Zeit");
    const auto* zeitCall = fake.callsOf("drawText").front();
    EXPECT_EQ(zeitCall->foreground, kBlack);
    EXPECT_EQ(zeitCall->background, kLightBlue);
    EXPECT_DOUBLE_EQ(zeitCall->fontSize, 30.0);
    EXPECT_EQ(zeitCall->fontName, "times");

    EXPECT_TRUE(demoLabels().empty());
    EXPECT_EQ(newSeriesBoxes(), 0);
    EXPECT_EQ(fake.processEventsCount, 1 + 3);
    EXPECT_EQ(idleDuringRun, 0);
    EXPECT_EQ(enteredDuringRun, 1);
    EXPECT_EQ(state.experimentIdle, 1);
    EXPECT_EQ(state.experimentEntered, 1);

    // What the halt notice and the next command find.
    EXPECT_EQ(fake.foreground, kRed);
    EXPECT_EQ(fake.background, kLightBlue);
    EXPECT_DOUBLE_EQ(fake.fontSize, 30.0);
    EXPECT_EQ(fake.fontName, "times");
    EXPECT_FALSE(fake.titleAttribute);
}

TEST_F(ExperimentScreenTest, FirstDemonstrationCarriesTheLabelAndBlocksItOutAfterwards)
{
    state.demoDone = 0;
    fake.setTitleAttribute(true);
    ExperimentScreen();
    const auto labels = demoLabels();
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0]->args, (std::vector<double>{25, 30}));
    EXPECT_EQ(labels[0]->foreground, kRed);
    EXPECT_EQ(labels[0]->background, kLightBlue);
    EXPECT_DOUBLE_EQ(labels[0]->fontSize, 12.0);
    // After the run, light blue on light blue in the run's larger font, drawn plainly.
    EXPECT_EQ(labels[1]->args, (std::vector<double>{25, 30}));
    EXPECT_EQ(labels[1]->foreground, kLightBlue);
    EXPECT_EQ(labels[1]->background, kLightBlue);
    EXPECT_DOUBLE_EQ(labels[1]->fontSize, 30.0);
    EXPECT_FALSE(labels[1]->titleAttribute);
    EXPECT_GT(labels[1] - &fake.calls[0], indexOfProcessEvents(4));
}

TEST_F(ExperimentScreenTest, AnnouncesANewSeriesOnceBeforeTheRun)
{
    state.seriesAnnounced = 0;
    ExperimentScreen();
    EXPECT_EQ(newSeriesBoxes(), 1);
    EXPECT_EQ(state.alertText, "Neue Versuchsreihe!");
    EXPECT_EQ(state.seriesAnnounced, 1);
    EXPECT_LT(indexOf("messageBox"), indexOfProcessEvents(1));
    // The box comes after "Zeit" is on the screen.
    EXPECT_GT(indexOf("messageBox"), indexOf("drawText"));

    ExperimentScreen();
    EXPECT_EQ(newSeriesBoxes(), 1);
}

TEST_F(ExperimentScreenTest, FontsFollowTheWidthAndTheFrameEdgeIsASumOfScaledValues)
{
    fake.width = 1000;
    fake.height = 590;
    state.demoDone = 0;
    ExperimentScreen();
    EXPECT_DOUBLE_EQ(demoLabels()[0]->fontSize, 15.0);
    EXPECT_DOUBLE_EQ(demoLabels()[1]->fontSize, 37.5);
    // ScaleY(4) + ScaleY(192) = 11 + 566 = 577, one pixel above ScaleY(196) = 578.
    EXPECT_EQ(fake.callsOf("drawRectangle").front()->args,
              (std::vector<double>{12, 11, 987, 577}));
}

TEST_F(ExperimentScreenTest, ReplacesThePictureOfThePreviousScreen)
{
    ExperimentScreen();
    const double first = fake.callsOf("loadPicture")[0]->args[0];
    ExperimentScreen();
    const auto releases = fake.callsOf("releasePicture");
    ASSERT_EQ(releases.size(), 1u);
    EXPECT_EQ(releases[0]->args[0], first);
    EXPECT_EQ(state.backgroundPicture, fake.callsOf("loadPicture")[1]->args[0]);
}

TEST_F(ExperimentScreenTest, AnExperimentEntryDuringTheRunStartsNothing)
{
    fake.atProcessEvents(2, [this] { fake.dispatchMenu(kOneSeries); });
    fake.atProcessEvents(3, [this] { fake.dispatchMenu(kDemo); });
    ExperimentScreen();
    EXPECT_EQ(fake.count("clearWindow"), 1);
    EXPECT_EQ(fake.count("loadPicture"), 1);
    EXPECT_EQ(fake.processEventsCount, 1 + 3);
    // Both choices still count as menu events.
    EXPECT_EQ(state.menuEventCount, 2);
    EXPECT_EQ(fake.maxHandlerDepth, 1);
}

} // namespace
