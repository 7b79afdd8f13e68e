// The detector step: when it registers, what the count field shows, when it clicks.

#include "detector/DetectorStep.h"

#include "lesson_fixture.h"

#include <cmath>

namespace {

using namespace lesson;

class DetectorTest : public LessonTest {
protected:
    // The count field of the experiment picture at (260, 70) on 800 x 600.
    static constexpr double kFieldX = 650;
    static constexpr double kFieldY = 210;

    void stepWith(double random)
    {
        state.stepRandom = random;
        DetectorStep();
    }
};

TEST_F(DetectorTest, RegistersOnlyWhenTheProbabilityIsStrictlyGreater)
{
    state.rateParameter = 1.0;   // a series: 1.0 * 0.1 / 1 = 0.1
    state.scaleDivisor = 1;
    const struct { double random; int registered; } rows[] = {
        {0.1, 0}, {std::nextafter(0.1, 1.0), 0}, {std::nextafter(0.1, 0.0), 1},
        {0.0, 1}, {0.5, 0}, {0.999, 0},
    };
    for (const auto& row : rows) {
        state.eventCount = 0;
        fake.calls.clear();
        fake.setForeground(kRed);
        stepWith(row.random);
        EXPECT_EQ(state.eventCount, row.registered) << row.random;
        EXPECT_EQ(fake.count("playSound"), row.registered) << row.random;
        EXPECT_EQ(fake.count("drawText"), 2 * row.registered) << row.random;
        // With or without a registration, the step leaves black behind.
        EXPECT_EQ(fake.foreground, kBlack) << row.random;
    }

    // In the demonstration 4.0 * 0.1 / 2 is the double 0.2: the flying-dot test exactly.
    state.rateParameter = 4.0;
    state.scaleDivisor = 2;
    state.eventCount = 0;
    stepWith(0.2);
    EXPECT_EQ(state.eventCount, 0);
    stepWith(std::nextafter(0.2, 0.0));
    EXPECT_EQ(state.eventCount, 1);
}

TEST_F(DetectorTest, CountFieldPaintsOverTheOldValueAndRightAlignsOneDigit)
{
    state.rateParameter = 1.0;
    state.scaleDivisor = 1;
    state.eventCount = 8;
    stepWith(0.0);   // 8 -> 9
    stepWith(0.0);   // 9 -> 10
    state.eventCount = 99;
    stepWith(0.0);   // 99 -> 100
    EXPECT_EQ(textsAt(kFieldX, kFieldY),
              (std::vector<std::string>{"8 ", " 9 ", "9 ", "10 ", "99 ", "100 "}));

    const auto texts = fake.callsOf("drawText");
    ASSERT_EQ(texts.size(), 6u);
    for (size_t i = 0; i < texts.size(); i += 2) {
        // The old value vanishes blue on blue; the new one is white on the blue field.
        EXPECT_EQ(texts[i]->foreground, kBlue);
        EXPECT_EQ(texts[i]->background, kBlue);
        EXPECT_EQ(texts[i + 1]->foreground, kWhite);
        EXPECT_EQ(texts[i + 1]->background, kBlue);
    }
    const auto sounds = fake.callsOf("playSound");
    ASSERT_EQ(sounds.size(), 3u);
    for (const auto* sound : sounds) {
        EXPECT_EQ(sound->text, "knack2.wav");
        EXPECT_EQ(sound->args[0], 0);
    }
    // The click comes before the count is redrawn.
    EXPECT_LT(indexOf("playSound"), indexOf("drawText"));
}

TEST_F(DetectorTest, FirstShownRegistrationOfAnIntervalShowsOne)
{
    state.rateParameter = 1.0;
    state.scaleDivisor = 1;
    stepWith(0.05);
    EXPECT_EQ(textsAt(kFieldX, kFieldY), (std::vector<std::string>{"0 ", " 1 "}));
}

TEST_F(DetectorTest, CountsSilentlyOnceSomebodyHasChosenAnotherCommand)
{
    state.rateParameter = 1.0;
    state.scaleDivisor = 1;
    const struct { int16_t events; int16_t snapshot; bool shown; } rows[] = {
        {0, 0, true}, {0, 5, true}, {3, 3, true}, {2, 1, false}, {1, 0, false}, {-1, 1, false},
    };
    for (const auto& row : rows) {
        state.menuEventCount = row.events;
        state.demoSnapshot = row.snapshot;
        state.eventCount = 4;
        fake.calls.clear();
        stepWith(0.01);
        EXPECT_EQ(state.eventCount, 5) << row.events << "/" << row.snapshot;
        EXPECT_EQ(fake.count("playSound"), row.shown ? 1 : 0) << row.events << "/" << row.snapshot;
        EXPECT_EQ(fake.count("drawText"), row.shown ? 2 : 0) << row.events << "/" << row.snapshot;
        EXPECT_EQ(fake.foreground, kBlack);
    }
}

TEST_F(DetectorTest, CountFieldFollowsTheWindowSize)
{
    fake.width = 1000;
    fake.height = 700;
    state.rateParameter = 1.0;
    state.scaleDivisor = 1;
    stepWith(0.0);
    // 260 * 1000 / 320 = 812.5 and 70 * 700 / 200 = 245, truncated.
    EXPECT_EQ(textsAt(812, 245).size(), 2u);
}

} // namespace
