// The detector step: when it registers, what the count field shows, when it clicks; and the first
// demonstration pass, where a red dot flies in exactly the steps that register: its step number
// before the flight, its geometry, and the flight's own stop test. In that pass every step polls
// the mouse once before its events and once after each of its 20 flight sub-steps.

#include "detector/DetectorStep.h"
#include "lesson_fixture.h"
#include "measurement/MeasurementRun.h"

#include <cmath>

namespace {

using namespace lesson;

class DetectorTest : public LessonTest {
protected:
    // A series: probability 1.0 * 0.1 / 1 = 0.1.
    void SetUp() override { LessonTest::SetUp(); prepareSeries(1); }
    void stepWith(double random) { state.stepRandom = random; DetectorStep(); }
};

// A draw equal to the probability registers nothing; in the demonstration 4.0 * 0.1 / 2 is the
// double 0.2, the flying-dot test exactly. A registration is shown and clicked while no command
// has been chosen (0) or none since the demonstration began (equal to its snapshot); otherwise
// the count goes on silently. Either way the step leaves black set.
TEST_F(DetectorTest, RegistersWhenTheProbabilityIsStrictlyGreaterAndCountsSilentlyAfterACommand)
{
    const double justAbove = std::nextafter(0.1, 1.0), justBelow = std::nextafter(0.1, 0.0);
    const struct { double rate; int16_t divisor; double random; int16_t events, snapshot; int registered, shown; }
    rows[] = {
        {1, 1, 0.1, 0, 0, 0, 0}, {1, 1, justAbove, 0, 0, 0, 0}, {1, 1, justBelow, 0, 0, 1, 1}, {1, 1, 0, 0, 0, 1, 1},
        {1, 1, 0.5, 0, 0, 0, 0}, {1, 1, 0.999, 0, 0, 0, 0}, {4, 2, 0.2, 0, 0, 0, 0},
        {4, 2, std::nextafter(0.2, 0.0), 0, 0, 1, 1}, {1, 1, 0.01, 0, 5, 1, 1}, {1, 1, 0.01, 3, 3, 1, 1},
        {1, 1, 0.01, 2, 1, 1, 0}, {1, 1, 0.01, 1, 0, 1, 0}, {1, 1, 0.01, -1, 1, 1, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.random << ", events " << row.events << "/" << row.snapshot);
        state.rateParameter = row.rate;
        state.scaleDivisor = row.divisor;
        state.menuEventCount = row.events;
        state.demoSnapshot = row.snapshot;
        state.eventCount = 4;
        fake.calls.clear();
        fake.setForeground(kRed);
        stepWith(row.random);
        EXPECT_EQ(state.eventCount, 4 + row.registered);
        EXPECT_EQ(fake.count("playSound"), row.shown);
        EXPECT_EQ(fake.count("drawText"), 2 * row.shown);
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
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ((std::pair{texts[i]->foreground, texts[i]->background}), (std::pair{i % 2 ? kWhite : kBlue, kBlue}));
    ASSERT_EQ(fake.count("playSound"), 4);
    for (const auto* sound : fake.callsOf("playSound"))
        EXPECT_EQ((std::pair{sound->text, sound->args[0]}), (std::pair{std::string("knack2.wav"), 0.0}));
    EXPECT_LT(indexOf("playSound"), indexOf("drawText"));

    // 260 * 1000 / 320 = 812.5 and 70 * 700 / 200 = 245, truncated.
    startAfresh(1000, 700);
    stepWith(0.0);
    EXPECT_EQ(textsAt(812, 245).size(), 2u);
}

constexpr int kRedDotMark = 777, kFirstBackgroundMark = 555;   // pixel values of the test's images

class FirstPassTest : public LessonTest {
protected:
    void SetUp() override
    {
        LessonTest::SetUp();
        prepareFirstPass();
        state.redDotImage = {15, 15, std::vector<Colour>(15 * 15, kRedDotMark)};
        state.backgroundBox = {21, 21, std::vector<Colour>(21 * 21, kFirstBackgroundMark)};
    }

    // Recorded calls of op in one step: from its processEvents call to the next one.
    std::vector<const Call*> inStep(int step, const std::string& op) const
    {
        const int from = indexOf("processEvents", step + 1), next = indexOf("processEvents", step + 2);
        return callsWhere(op, [&](const Call& call) {
            return positionOf(&call) > from && (next < 0 || positionOf(&call) < next);
        });
    }
};

// Registration (probability 4.0 * 0.1 / 2 = 0.2, strictly greater than the draw) and the red
// dot (draw < 0.2) are one test, so a dot flies and clicks in exactly the registering steps;
// otherwise the last captured background patch flies.
TEST_F(FirstPassTest, TheDotFliesExactlyInTheStepsThatRegister)
{
    std::vector<double> randoms;
    const double pattern[] = {0.2, std::nextafter(0.2, 0.0), 0.0, 0.5, 0.19, 0.9999, 0.21, 0.05};
    for (int i = 0; i < 40; ++i)
        randoms.push_back(pattern[i % 8]);
    scriptRandoms(randoms);

    RunMeasurement();

    int emitting = 0;
    double lastBackground = kFirstBackgroundMark;
    for (int step = 1; step <= 40; ++step) {
        const bool emits = randoms[static_cast<size_t>(step - 1)] < 0.2;
        emitting += emits;
        const auto puts = inStep(step, "putImage");
        const auto captures = inStep(step, "capture");
        ASSERT_EQ(puts.size(), 40u) << step;
        ASSERT_EQ(captures.size(), 20u) << step;
        for (size_t j = 0; j < 20; ++j) {
            EXPECT_EQ(puts[2 * j]->args[4], emits ? kRedDotMark : lastBackground) << step;
            EXPECT_EQ(puts[2 * j + 1]->args[4], captures[j]->args[4]) << step;
        }
        lastBackground = captures.back()->args[4];
        EXPECT_EQ(inStep(step, "playSound").size(), emits ? 1u : 0u) << step;
    }
    EXPECT_EQ(state.eventCount, emitting);
    EXPECT_EQ(state.histogram[static_cast<size_t>(emitting)], 1);
    EXPECT_EQ(fake.processEventsCount, 41);
}

// From x0 = ScaleX(80) in 20 sub-steps of d = (ScaleX(164) - x0) / 10, computed in single
// precision, at yF = ScaleY(135); the patch is 2r + 1 wide, r the red dot radius rounded.
TEST_F(FirstPassTest, FlightGeometryStepNumberAndPausesFollowTheWindow)
{
    const struct { int width, height; double x0, x1; float d; double yF, r, stepX, stepY, seriesX; } rows[] = {
        {800, 600, 200, 410, 21.0f, 405, 7, 87, 375, 75},      // r 7.5 -> 7; number at (35, 125)
        {1000, 750, 250, 512, 26.2f, 506, 9, 109, 468, 93},    // x1 512.5 -> 512; r 9.375 -> 9
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.width);
        startAfresh(row.width, row.height);
        scriptRandoms(std::vector<double>(40, 0.5));
        RunMeasurement();

        const auto captures = inStep(1, "capture");
        ASSERT_EQ(captures.size(), 20u);
        for (int j = 1; j <= 20; ++j) {
            const double x = row.x0 + j * static_cast<double>(row.d);
            EXPECT_EQ(firstArgs(*captures[j - 1], 4),
                      (Args{x - row.r, row.yF - row.r, x + row.r, row.yF + row.r})) << j;
        }
        // The dot ends at the mirror of x0 about x1 (logical 248).
        EXPECT_NEAR(captures.back()->args[0] + row.r, 2 * row.x1 - row.x0, 1e-3);
        // 20 pauses of delayFactor / 100 seconds a step.
        EXPECT_EQ(fake.count("pause"), 40 * 20);
        for (const auto* pause : inStep(1, "pause"))
            EXPECT_EQ(pause->args[0], 10);
        // The step number is drawn before the flight, right of the series' place.
        const Texts numbers = textsAt(row.stepX, row.stepY);
        ASSERT_EQ(numbers.size(), 80u);
        EXPECT_EQ((Texts{numbers[0], numbers[1], numbers[79]}), (Texts{"0 ", "1  ", "40  "}));
        EXPECT_LT(positionOf(inStep(1, "drawText").at(1)), positionOf(captures[0]));
        EXPECT_TRUE(textsAt(row.seriesX, row.stepY).empty());
    }
}

// Both buttons seen in the flight of step 5 (sub-step 3, poll 21 * 4 + 1 + 3) end only the
// flight: the detector still counts step 5, and step 6 ends the interval before its events.
// A counted command ends the interval before the flight, without a step number.
TEST_F(FirstPassTest, InterruptionsInAndBeforeTheFlight)
{
    const struct { const char* name; UserAction script; int events, captures, processEvents; } rows[] = {
        {"buttons in the flight of step 5",
         [](FakePlatform& f) { f.atPoll(21 * 4 + 1 + 3, [&f] { f.mouseState = 3; }); }, 5,
         4 * 20 + 3, 1 + 5},
        {"Autor in step 7",
         [](FakePlatform& f) { f.atProcessEvents(1 + 7, [&f] { f.dispatchMenu(kAuthor); }); }, 6,
         6 * 20, 1 + 7},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        startAfresh();
        scriptRandoms(std::vector<double>(40, 0.1));   // every step emits and registers
        row.script(fake);
        RunMeasurement();
        EXPECT_EQ(state.eventCount, row.events);
        EXPECT_EQ(state.histogram[static_cast<size_t>(row.events)], 1);
        EXPECT_EQ(fake.count("capture"), row.captures);
        EXPECT_EQ(fake.processEventsCount, row.processEvents);
        EXPECT_EQ(textsAt(87, 375).size(), 2u * row.events);
    }
}

} // namespace
