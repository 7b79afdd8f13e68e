// The detector step: when it registers, what the count field shows, when it clicks.

#include "detector/DetectorStep.h"

#include "lesson_fixture.h"

#include <cmath>

namespace {

using namespace lesson;

class DetectorTest : public LessonTest {
protected:
    void SetUp() override
    {
        LessonTest::SetUp();
        state.rateParameter = 1.0;   // a series: 1.0 * 0.1 / 1 = 0.1
        state.scaleDivisor = 1;
    }

    void stepWith(double random)
    {
        state.stepRandom = random;
        DetectorStep();
    }
};

// A draw equal to the probability registers nothing. In the demonstration 4.0 * 0.1 / 2 is the
// double 0.2, the flying-dot test exactly. With or without a registration black is left set.
TEST_F(DetectorTest, RegistersOnlyWhenTheProbabilityIsStrictlyGreater)
{
    const struct { double rate; int16_t divisor; double random; int registered; } rows[] = {
        {1, 1, 0.1, 0}, {1, 1, std::nextafter(0.1, 1.0), 0}, {1, 1, std::nextafter(0.1, 0.0), 1},
        {1, 1, 0.0, 1}, {1, 1, 0.5, 0}, {1, 1, 0.999, 0},
        {4, 2, 0.2, 0}, {4, 2, std::nextafter(0.2, 0.0), 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.random);
        state.rateParameter = row.rate;
        state.scaleDivisor = row.divisor;
        state.eventCount = 0;
        fake.calls.clear();
        fake.setForeground(kRed);
        stepWith(row.random);
        EXPECT_EQ(state.eventCount, row.registered);
        EXPECT_EQ(fake.count("playSound"), row.registered);
        EXPECT_EQ(fake.count("drawText"), 2 * row.registered);
        EXPECT_EQ(fake.foreground, kBlack);
    }
}

// At (260, 70): the old value painted over blue on blue, then the new one white on blue, one
// digit right-aligned under two; the click comes first.
TEST_F(DetectorTest, CountFieldPaintsOverTheOldValueAndRightAlignsOneDigit)
{
    stepWith(0.0);   // 0 -> 1
    state.eventCount = 8;
    stepWith(0.0);   // 8 -> 9
    stepWith(0.0);   // 9 -> 10
    state.eventCount = 99;
    stepWith(0.0);   // 99 -> 100
    EXPECT_EQ(textsAt(650, 210), (Texts{"0 ", " 1 ", "8 ", " 9 ", "9 ", "10 ", "99 ", "100 "}));
    const auto texts = fake.callsOf("drawText");
    ASSERT_EQ(texts.size(), 8u);
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i]->foreground, i % 2 == 0 ? kBlue : kWhite) << i;
        EXPECT_EQ(texts[i]->background, kBlue) << i;
    }
    ASSERT_EQ(fake.count("playSound"), 4);
    for (const auto* sound : fake.callsOf("playSound"))
        EXPECT_EQ((std::pair{sound->text, sound->args[0]}), (std::pair{std::string("knack2.wav"), 0.0}));
    EXPECT_LT(indexOf("playSound"), indexOf("drawText"));

    // 260 * 1000 / 320 = 812.5 and 70 * 700 / 200 = 245, truncated.
    startAfresh(1000, 700);
    stepWith(0.0);
    EXPECT_EQ(textsAt(812, 245).size(), 2u);
}

// Shown while no command has been chosen (0) or none since the demonstration began (equal to
// its snapshot); otherwise the count goes on silently.
TEST_F(DetectorTest, CountsSilentlyOnceSomebodyHasChosenAnotherCommand)
{
    const struct { int16_t events, snapshot; bool shown; } rows[] = {
        {0, 0, true}, {0, 5, true}, {3, 3, true}, {2, 1, false}, {1, 0, false}, {-1, 1, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.events) + "/" + std::to_string(row.snapshot));
        state.menuEventCount = row.events;
        state.demoSnapshot = row.snapshot;
        state.eventCount = 4;
        fake.calls.clear();
        stepWith(0.01);
        EXPECT_EQ(state.eventCount, 5);
        EXPECT_EQ(fake.count("playSound"), row.shown ? 1 : 0);
        EXPECT_EQ(fake.count("drawText"), row.shown ? 2 : 0);
        EXPECT_EQ(fake.foreground, kBlack);
    }
}

} // namespace
