// The first demonstration pass: step number before the flight, the red dot flying in exactly
// the steps that register, and the flight's own stop test. In this pass every step polls the
// mouse once before its events and once after each of its 20 flight sub-steps.

#include "measurement/MeasurementRun.h"

#include "lesson_fixture.h"

#include <cmath>

namespace {

using namespace lesson;

constexpr int kRedDotMark = 777;      // pixel value of the test's red dot image
constexpr int kFirstBackgroundMark = 555;

class FirstPassTest : public LessonTest {
protected:
    void SetUp() override
    {
        LessonTest::SetUp();
        prepareFirstPass();
        state.redDotImage = markedImage(15, kRedDotMark);
        state.backgroundBox = markedImage(21, kFirstBackgroundMark);
    }

    static ImageString markedImage(int size, Colour mark)
    {
        ImageString image;
        image.width = size;
        image.height = size;
        image.pixels.assign(static_cast<size_t>(size) * size, mark);
        return image;
    }

    // Recorded calls of one step: from its processEvents call to the next one.
    std::vector<const FakePlatform::Call*> callsOfStep(int step, const std::string& op) const
    {
        const int from = indexOfProcessEvents(step + 1);
        int to = indexOfProcessEvents(step + 2);
        if (to < 0)
            to = static_cast<int>(fake.calls.size());
        std::vector<const FakePlatform::Call*> found;
        for (int i = from; i >= 0 && i < to; ++i)
            if (fake.calls[static_cast<size_t>(i)].op == op)
                found.push_back(&fake.calls[static_cast<size_t>(i)]);
        return found;
    }
};

TEST_F(FirstPassTest, TheDotFliesExactlyInTheStepsThatRegister)
{
    std::vector<double> randoms;
    const double pattern[] = {0.2, std::nextafter(0.2, 0.0), 0.0, 0.5, 0.19, 0.9999, 0.21, 0.05};
    for (int i = 0; i < 40; ++i)
        randoms.push_back(pattern[i % 8]);
    scriptRandoms(randoms);

    RunMeasurement();

    int emitting = 0;
    double lastBackgroundSerial = kFirstBackgroundMark;
    for (int step = 1; step <= 40; ++step) {
        const bool emits = randoms[static_cast<size_t>(step - 1)] < 0.2;
        emitting += emits;
        const auto puts = callsOfStep(step, "putImage");
        const auto captures = callsOfStep(step, "capture");
        ASSERT_EQ(puts.size(), 40u) << step;
        ASSERT_EQ(captures.size(), 20u) << step;
        for (size_t j = 0; j < 20; ++j) {
            // Moved image first (the dot, or the patch captured last), then the background.
            EXPECT_EQ(puts[2 * j]->args[4], emits ? kRedDotMark : lastBackgroundSerial) << step;
            EXPECT_EQ(puts[2 * j + 1]->args[4], captures[j]->args[4]) << step;
        }
        lastBackgroundSerial = captures.back()->args[4];
        // A click exactly in the steps with a flying dot.
        EXPECT_EQ(callsOfStep(step, "playSound").size(), emits ? 1u : 0u) << step;
    }
    EXPECT_EQ(state.eventCount, emitting);
    EXPECT_EQ(state.histogram[static_cast<size_t>(emitting)], 1);
    EXPECT_EQ(fake.processEventsCount, 41);
}

TEST_F(FirstPassTest, FlightGeometryStepNumberAndPauses)
{
    scriptRandoms(std::vector<double>(40, 0.5));
    RunMeasurement();

    // 800 x 600: x0 = 80 * 2.5 = 200, x1 = 164 * 2.5 = 410, d = 21, yF = 135 * 3 = 405,
    // r = 7 (7.5 truncated). The dot runs from x0 + d to 2·x1 - x0 = 620 (logical 248).
    const auto captures = callsOfStep(1, "capture");
    ASSERT_EQ(captures.size(), 20u);
    for (int j = 1; j <= 20; ++j) {
        const double x = 200 + 21 * j;
        EXPECT_EQ(std::vector<double>(captures[j - 1]->args.begin(), captures[j - 1]->args.begin() + 4),
                  (std::vector<double>{x - 7, 398, x + 7, 412})) << j;
    }
    EXPECT_EQ(captures.back()->args[0] + 7, ScaleX(248));

    const auto pauses = callsOfStep(1, "pause");
    ASSERT_EQ(pauses.size(), 20u);
    for (const auto* pause : pauses)
        EXPECT_EQ(pause->args[0], 10);
    EXPECT_EQ(fake.count("pause"), 40 * 20);

    // The step number stands at (35, 125) and is drawn before the flight starts.
    const auto numbers = textsAt(87, 375);
    ASSERT_EQ(numbers.size(), 80u);
    EXPECT_EQ(numbers[0], "0 ");
    EXPECT_EQ(numbers[1], "1  ");
    EXPECT_EQ(numbers[79], "40  ");
    const auto stepTexts = callsOfStep(1, "drawText");
    ASSERT_FALSE(stepTexts.empty());
    EXPECT_LT(stepTexts[1] - &fake.calls[0], captures[0] - &fake.calls[0]);
    EXPECT_EQ(textsAt(75, 375).size(), 0u);
}

TEST_F(FirstPassTest, FlightFollowsAWiderWindowWithItsSinglePrecisionIncrement)
{
    fake.width = 1000;
    fake.height = 750;
    state.redDotRadius = ScaleX(3);   // 9.375 -> 9
    scriptRandoms(std::vector<double>(40, 0.5));
    RunMeasurement();
    // x0 = 250, x1 = 512 (512.5 truncated), d = 26.2 in single precision, yF = 506.
    const double d = static_cast<double>(26.2f);
    const auto captures = callsOfStep(1, "capture");
    ASSERT_EQ(captures.size(), 20u);
    for (int j = 1; j <= 20; ++j) {
        EXPECT_DOUBLE_EQ(captures[j - 1]->args[0], 250 + j * d - 9) << j;
        EXPECT_DOUBLE_EQ(captures[j - 1]->args[1], 506 - 9) << j;
    }
    EXPECT_NEAR(captures.back()->args[0] + 9, 2 * 512 - 250, 1e-3);
}

TEST_F(FirstPassTest, AnInterruptionSeenInTheFlightEndsOnlyTheFlight)
{
    scriptRandoms(std::vector<double>(40, 0.1));   // every step emits and registers
    // Step 5, sub-step 3: poll 21 * 4 + 1 + 3.
    fake.atPoll(21 * 4 + 1 + 3, [this] { fake.mouseState = 3; });

    RunMeasurement();

    EXPECT_EQ(callsOfStep(5, "capture").size(), 3u);
    EXPECT_EQ(fake.count("capture"), 4 * 20 + 3);
    // The detector still runs for step 5; step 6 ends the interval before its events.
    EXPECT_EQ(state.eventCount, 5);
    EXPECT_EQ(fake.processEventsCount, 1 + 5);
    EXPECT_EQ(state.histogram[5], 1);
}

TEST_F(FirstPassTest, AnyCountedCommandEndsTheIntervalBeforeTheFlight)
{
    scriptRandoms(std::vector<double>(40, 0.1));
    fake.atProcessEvents(1 + 7, [this] { fake.dispatchMenu(kAuthor); });

    RunMeasurement();

    // Step 7 shows no number and flies nothing: 6 events.
    EXPECT_EQ(state.eventCount, 6);
    EXPECT_EQ(state.histogram[6], 1);
    EXPECT_EQ(fake.count("capture"), 6 * 20);
    EXPECT_EQ(textsAt(87, 375).size(), 12u);
    EXPECT_EQ(fake.processEventsCount, 1 + 7);
}

} // namespace
