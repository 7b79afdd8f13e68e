// The measurement run and what surrounds it: steps, the detector and its count field, the first
// demonstration pass with its flying dot, every stop signal at the exact event-processing call
// where it matters, the demonstration and its halt notice. The interval start makes one
// processEvents call and every step one more: step i of the first interval is call i + 1.

#include "fixture.h"

#include "detector/DetectorStep.h"
#include "measurement/MeasurementRun.h"
#include "measurement/SeriesTable.h"
#include "screens/HaltNotice.h"
#include "screens/MessageBoxes.h"
#include "shell/Demo.h"

#include <cmath>
#include <deque>
#include <sstream>

namespace {

using namespace lesson;
using RunTest = LessonTest;

// Every step registers (its draw is below both probabilities), so an interval's entry is the
// number of steps it reached, and every registration must click.
TEST_F(RunTest, EachStopSignalEndsTheIntervalAtItsCall)
{
    struct Row {
        const char* name; bool firstPass; int16_t intervals; int call; UserAction action;
        std::vector<std::pair<size_t, int>> entries; int processEvents; size_t stepNumbers; int32_t steps = 0;
    };
    const Row rows[] = {
        {"undisturbed", false, 10, 0, nullptr, {{100, 10}}, 1010, 2000},
        // A command at an interval's start skips it: a frame, but no steps and no entry.
        {"Autor at the start of interval 1", false, 3, 1, choose<kAuthor>, {{100, 2}}, 203, 400},
        {"Theorie at the start of interval 2", false, 3, 102, choose<kTheory>, {{100, 2}}, 203, 400},
        {"Quit at the start of interval 3", false, 3, 203, choose<kQuit>, {{100, 2}}, 203, 400},
        {"ignored series entry at an interval start", false, 3, 102, choose<kTenSeries>, {{100, 2}}, 203, 400},
        // Step 30 still shows its number; the stop request ends the interval before the detector.
        {"Theorie in step 30", false, 2, 31, choose<kTheory>, {{29, 1}, {100, 1}}, 132, 260},
        {"Autor in step 30 stops nothing", false, 1, 31, choose<kAuthor>, {{100, 1}}, 101, 200},
        // Step 5 goes on to its detector; step 6 sees the buttons before its events. Held on,
        // they end no later interval.
        {"both buttons in step 5, held", false, 3, 6, [](FakePlatform& f) { f.mouseState = 3; }, {{5, 1}, {100, 2}}, 208, 410},
        {"Quit in step 20 of ten", false, 10, 21, choose<kQuit>, {{20, 1}, {0, 9}}, 30, 40},
        {"window closed in step 20 of ten", false, 10, 21, userCloses, {{20, 1}, {0, 9}}, 30, 40},
        {"Theorie and a closed window in step 20", false, 2, 21,
         [](FakePlatform& f) { f.dispatchMenu(kTheory); f.closeWindowByUser(); }, {{19, 1}, {0, 1}}, 22, 38},
        {"interval without steps", false, 1, 0, nullptr, {{0, 1}}, 1, 0, -1},
        // In the first pass any counted command ends the interval before the step's number.
        {"first pass undisturbed", true, 1, 0, nullptr, {{40, 1}}, 41, 80},
        {"first pass: Autor in step 7", true, 1, 8, choose<kAuthor>, {{6, 1}}, 8, 12},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        startAfresh();
        row.firstPass ? ConfigureFirstPass() : prepareSeries(row.intervals);
        if (row.steps < 0)
            state.stepsPerInterval = 0;
        state.experimentEntered = 1;   // a screen is up: series entries are ignored
        scriptRandoms(std::vector<double>(1000, 0.05));
        if (row.action)
            fake.atProcessEvents(row.call, [this, &row] { row.action(fake); });
        RunMeasurement();
        int entered = 0, registered = 0;
        for (const auto& [slot, intervals] : row.entries) {
            EXPECT_EQ(state.histogram[slot], intervals) << "slot " << slot;
            entered += intervals;
            registered += static_cast<int>(slot) * intervals;
        }
        const auto evaluations = callsWhere("printLine", [](const Call& c) { return c.text == "Mittelwert:"; }).size();
        EXPECT_EQ((Args{double(histogramEntries()), double(evaluations), double(fake.count("fillRectangle")),
                        double(fake.processEventsCount), double(fake.count("playSound")),
                        double(textsAt(75, 375).size() + textsAt(87, 375).size())}),
                  (Args{double(entered), double(entered), 2.0 * row.intervals, double(row.processEvents),
                        double(registered), double(row.stepNumbers)}));
        EXPECT_EQ(fake.callsOf("printLine").back()->text, "Zahl der Versuche n:" + std::to_string(entered));
    }
}

// Steps 3, 50 and 100 register. Under "Zeit" the old number is painted over in orange, the new
// one written in white; the count field at (260, 70) likewise in blue and white, one digit
// right-aligned under two. The key pressed during the interval is taken after its evaluation.
TEST_F(RunTest, AnIntervalShowsEveryStepAndEveryCountAndClosesWithN)
{
    prepareSeries(1);
    std::vector<double> randoms(100, 0.5);
    randoms[2] = randoms[49] = 0.05;
    randoms[99] = std::nextafter(0.1, 0.0);   // the probability 0.1 itself registers nothing
    scriptRandoms(randoms);
    fake.pendingKeys = {"a", "b"};
    RunMeasurement();
    Texts numbers;
    for (int i = 1; i <= 100; ++i)
        numbers.insert(numbers.end(), {std::to_string(i - 1) + " ", std::to_string(i) + "  "});
    EXPECT_EQ(textsAt(75, 375), numbers);
    EXPECT_EQ((std::pair{textsAt(650, 210), fake.keysLeft()}),
              (std::pair{Texts{"0 ", " 1 ", "1 ", " 2 ", "2 ", " 3 "}, std::deque<std::string>{"b"}}));
    for (const Call* text : callsWhere("drawText", [](const Call& c) { return c.args[0] == 650 || c.args[0] == 75; })) {
        const bool stepNumber = text->args[0] == 75, isNew = stepNumber ? text->text.ends_with("  ") : text->text[0] == ' ';
        const Colour field = stepNumber ? kOrange : kBlue;
        EXPECT_EQ((std::pair{text->foreground, text->background}), (std::pair{isNew ? kWhite : field, field}));
    }
    EXPECT_GT(indexOf("keyTaken"), indexOf("drawCircle"));
    const Call& closing = *fake.callsOf("printLine").back();
    EXPECT_EQ((std::tuple{closing.text, closing.args, closing.fontSize, closing.foreground, closing.background}),
              (std::tuple{std::string("Zahl der Versuche n:1"), Args{5, 4}, 10.0, kBlack, kLightBlue}));
    fake.calls.clear();
    for (int32_t before : {8, 9, 99}) {   // nine to ten, ninety-nine to a hundred
        state.eventCount = before;
        state.stepRandom = 0.0;
        DetectorStep();
    }
    EXPECT_EQ(textsAt(650, 210), (Texts{"8 ", " 9 ", "9 ", "10 ", "99 ", "100 "}));
    EXPECT_EQ((std::tuple{nth("playSound", 0).text, nth("playSound", 0).args[0], indexOf("playSound") < indexOf("drawText")}),
              (std::tuple{std::string("knack2.wav"), 0.0, true}));
}

// Ctrl+S during the third interval saves only the intervals entered: the second, ended by both
// buttons in its step 5, with its 5 steps. Every other draw registers, so counts are not steps.
TEST_F(RunTest, TheSavedTableHoldsEachEnteredIntervalThenTheHistogramAsTheGraphShowsIt)
{
    state.intervalRecords.push_back({7, 7, true});   // from an earlier series: gone with its histogram
    prepareSeries(3);
    std::vector<double> randoms(400, 0.5);
    for (size_t i = 0; i < randoms.size(); i += 2)
        randoms[i] = 0.05;
    scriptRandoms(randoms);
    fake.setTableWriter(SeriesTable);
    fake.atProcessEvents(107, [this] { fake.mouseState = 3; });
    fake.atProcessEvents(108, [this] { fake.mouseState = 0; });
    fake.atProcessEvents(150, [this] { fake.askToSave(); });
    RunMeasurement();
    fake.askToSave();
    fake.processEvents();
    const Texts during = linesOf(nth("saveTable", 0).text, "\r\n"), after = linesOf(nth("saveTable", 1).text, "\r\n");
    EXPECT_EQ(std::vector(during.begin(), during.begin() + 4),
              (Texts{"\xEF\xBB\xBFIntervall;Anzahl k;Quelle;Schritte", "1;50;simuliert;100", "2;3;simuliert;5", ""}));
    EXPECT_EQ(std::vector(after.begin() + 3, after.begin() + 7), (Texts{"3;50;simuliert;100", "", "Anzahl k;Häufigkeit", "0;0"}));
    EXPECT_EQ((Texts{after[9], after[56], after[57], after[58], after[59]}),
              (Texts{"3;1", "50;2", "", "Zahl der Versuche n;3", "Mittelwert;34,3"}));
    EXPECT_EQ(after.size(), 61u);   // the last line, too, ends in "\r\n"
}

// With a counter at the audio input every step registers exactly the clicks heard in its time,
// several at once too, and the program adds no click of its own. Clicks heard before an
// interval's first step (before the run, at the interval start after the evaluation before it)
// count for nobody, nor do those heard while a box chosen in step 48 is open. Every draw would
// have registered by chance.
TEST_F(RunTest, ARealCounterRegistersExactlyTheClicksOfEachStep)
{
    prepareSeries(2);
    scriptRandoms(std::vector<double>(200, 0.05));
    fake.setCounterOn(true, 8000);
    fake.counterClicked(7);
    // processEvents 1 and 102 start the intervals; 2, 4 and 101 are steps 1, 3 and 100; 150 is step 48.
    for (auto [call, clicks] : {std::pair{1, 5}, {2, 1}, {4, 3}, {101, 2}, {102, 4}, {150, 1}})
        fake.atProcessEvents(call, [this, clicks] { fake.counterClicked(clicks); });
    fake.atProcessEvents(150, [this] { fake.dispatchMenu(kAuthor); });
    fake.atMessageBox(1, [this] { fake.counterClicked(9); });
    RunMeasurement();
    EXPECT_EQ(textsAt(650, 210), (Texts{"0 ", " 1 ", "1 ", " 4 ", "4 ", " 6 ", "0 ", " 1 "}));
    EXPECT_EQ((Args{double(fake.count("playSound")), double(state.histogram[6]), double(state.histogram[1])}), (Args{0, 1, 1}));
    EXPECT_NE(SeriesTable().find("\n1;6;Zählrohr;100\r\n2;1;Zählrohr;100\r\n"), std::string::npos);
}

// The first pass registers with the probability 4.0 * 0.1 / 2 = 0.2 and flies the red dot when
// the draw is below 0.2: the same test, so a dot flies and clicks in exactly the registering
// steps; otherwise the last captured background patch flies. The dot flies from logical 88.4 to
// 248 at height 135 (pixels 221 to 620 at y 405) in 20 sub-steps of 10 ms. At each one the image
// flown (the first patch, left larger by the dot images, cut to size) and then the box captured
// there are put exactly where that box was taken, so a flight leaves no mark. Both buttons seen
// in a flight end only the flight; the next step ends the interval.
TEST_F(RunTest, FirstPassFliesTheDotExactlyInTheStepsThatRegister)
{
    constexpr int kRedDot = 777, kFirstPatch = 555;   // pixel values of the test's images
    ConfigureFirstPass();
    state.redDotImage = {15, 15, std::vector<Colour>(15 * 15, kRedDot)};
    state.backgroundBox = {21, 21, std::vector<Colour>(21 * 21, kFirstPatch)};
    const double pattern[] = {0.2, std::nextafter(0.2, 0.0), 0.0, 0.5, 0.19, 0.9999, 0.21, 0.05};
    std::vector<double> randoms;
    for (int i = 0; i < 40; ++i)
        randoms.push_back(pattern[i % 8]);
    scriptRandoms(randoms);
    fake.setCounterOn(true);   // the first pass stays simulated
    fake.atProcessEvents(3, [this] { fake.counterClicked(5); });
    RunMeasurement();
    const auto captures = fake.callsOf("capture"), puts = fake.callsOf("putImage");
    ASSERT_EQ((std::pair{captures.size(), puts.size()}), (std::pair{size_t{800}, size_t{1600}}));
    EXPECT_EQ((Args{captures[0]->args[0] + 7, captures[0]->args[1] + 7, captures[799]->args[0] + 7}), (Args{221, 405, 620}));
    double lastPatch = kFirstPatch;
    for (size_t sub = 0; sub < 800; ++sub) {
        const Args& box = captures[sub]->args;   // its corners, then its serial number
        EXPECT_EQ(puts[2 * sub]->args, (Args{box[0], box[1], 15, 15, randoms[sub / 20] < 0.2 ? kRedDot : lastPatch})) << sub;
        EXPECT_EQ(puts[2 * sub + 1]->args, (Args{box[0], box[1], 15, 15, box[4]})) << sub;
        if (sub % 20 == 19)
            lastPatch = box[4];
    }
    EXPECT_EQ((Args{double(state.eventCount), double(fake.count("playSound")), double(fake.count("pause")),
                    nth("pause", 0).args[0], double(textsAt(87, 375).size())}),
              (Args{20, 20, 800, 10, 80}));
    startAfresh();
    ConfigureFirstPass();
    scriptRandoms(std::vector<double>(40, 0.1));
    fake.atPoll(21 * 4 + 1 + 3, [this] { fake.mouseState = 3; });   // in the flight of step 5
    RunMeasurement();
    EXPECT_EQ((std::tuple{state.eventCount, fake.count("capture"), fake.processEventsCount}), (std::tuple{5, 83, 6}));
}

// Undisturbed, both passes run around the halt notice (event calls 42..49, its box after 49),
// each closing with the one interval announced; the first carries its red label, blocked out
// light blue after the run, and the notice's words flash red on that light blue. Theorie in
// the first pass ends the demonstration. Either way it ends in the settings of every later
// series.
TEST_F(RunTest, TheDemonstrationRunsBothPassesAroundTheHaltNoticeUnlessCutShort)
{
    for (const bool cutShort : {false, true}) {
        SCOPED_TRACE(cutShort);
        startAfresh();
        state.histogram[4] = state.intervalsDone = 3;
        Args secondPass;
        fake.atProcessEvents(51, [&] { secondPass = {state.rateParameter, double(state.scaleDivisor), double(histogramEntries())}; });
        if (cutShort)
            fake.atProcessEvents(6, [this] { fake.dispatchMenu(kTheory); });
        RunDemo();
        EXPECT_EQ((Args{double(fake.processEventsCount), double(boxesSaying("Laufende Mikroteilchen"))}),
                  cutShort ? (Args{6, 0}) : (Args{150, 1}));
        const auto closing = callsWhere("printLine", [](const Call& c) { return c.text.starts_with("Zahl der Versuche"); });
        EXPECT_EQ(closing.size(), cutShort ? 1u : 2u);
        for (const Call* line : closing)
            EXPECT_EQ(line->text, "Zahl der Versuche n:1");
        const auto labels = callsWhere("drawText", [](const Call& c) { return c.text == "  DEMO !"; });
        ASSERT_GE(labels.size(), 2u);
        EXPECT_EQ((std::tuple{labels[0]->foreground, labels[1]->foreground, labels[1]->background, labels[1]->fontSize}),
                  (std::tuple{kRed, kLightBlue, kLightBlue, 30.0}));
        const auto halt = callsWhere("drawText", [](const Call& c) { return c.text == "  Halt !"; });
        EXPECT_TRUE(cutShort || (halt.at(0)->foreground == kRed && halt.at(0)->background == kLightBlue));
        EXPECT_EQ((Args{double(state.experimentMode), double(state.stepsPerInterval), state.rateParameter,
                        double(state.scaleDivisor), double(state.intervalsTotal), double(state.seriesAnnounced),
                        double(state.demoDone), double(histogramEntries())}),
                  (Args{3, 100, 1, 1, 0, 0, 1, 0}));
        EXPECT_EQ(secondPass, cutShort ? Args() : Args({4, 2, 1}));   // the old table cleared: the first pass's entry
        EXPECT_TRUE(cutShort || (indexOf("messageBox") > indexOf("processEvents", 49) && indexOf("messageBox") < indexOf("processEvents", 50)));
    }
}

// "&2" as the very first command: the demonstration, five seconds' rest, then the series,
// announced once. Theorie chosen in the rest shows its box when the rest ends, and the series
// still measures its interval; an EXPERIMENT entry chosen during the series starts nothing but
// counts, so menuEventCount ends at 2. A later "&1" carries no label.
TEST_F(RunTest, OneSeriesAsTheFirstCommandRunsTheDemonstrationFirst)
{
    fake.atPause(5000, [this] { fake.chooseMenu(kTheory); });
    fake.atProcessEvents(160, [this] { fake.dispatchMenu(kTenSeries); });
    fake.dispatchMenu(kOneSeries);
    const int rest = indexOf("pause", 5000);
    EXPECT_EQ((Args{double(state.menuEventCount), double(fake.processEventsCount), double(textCount("Zeit")),
                    double(boxesSaying("Neue Versuchsreihe!")), double(boxesSaying("Neue Versuchsreihe!", rest)),
                    double(histogramEntries())}),
              (Args{2, 150 + 1 + 101, 3, 1, 1, 1}));
    const int theoryBox = positionOf(callsWhere("messageBox", [](const Call& c) { return c.text == TheoryText(); }).at(0));
    EXPECT_TRUE(rest < theoryBox && theoryBox < indexOf("processEvents", 152) && rest > indexOf("processEvents", 150));
    fake.calls.clear();
    fake.dispatchMenu(kDemo);
    EXPECT_EQ(textCount("  DEMO !"), 0u);
}

// A cycle paints blanks over both places, waits 275 ms, shows the words, waits 549 ms, then looks
// for a stop. The words stay while the box is open.
TEST_F(RunTest, TheHaltNoticeFlashesFourCyclesOrUntilAStopThenExplains)
{
    const struct { UserAction script; double interrupt; int cycles, boxes = 1; } rows[] = {
        {[](FakePlatform& f) { f.mouseState = 1; }, kFalse, 4}, {nullptr, kTrue, 1},
        {[](FakePlatform& f) { f.atPoll(2, [&f] { f.mouseState = 3; }); }, kFalse, 2},
        // Theorie chosen in a wait shows its box when the wait ends; the flashing stops after that cycle.
        {inPause<275, chooseHeld<kTheory>>, kFalse, 1, 2}};
    for (const auto& row : rows) {
        startAfresh();
        state.interruptRequest = row.interrupt;
        if (row.script)
            row.script(fake);
        ShowHaltNotice();
        Texts expected;
        for (int i = 0; i < row.cycles; ++i)
            expected.insert(expected.end(), {"            ", "       ", "  Halt !", " ? ? "});
        EXPECT_EQ(fake.texts(), expected);
        EXPECT_EQ((Args{double(textsAt(675, 30).size()), double(fake.count("pause")), nth("pause", 1).args[0]}),
                  (Args{2.0 * row.cycles, 2.0 * row.cycles, 549}));
        EXPECT_EQ((std::pair{fake.calls.back().op, fake.count("messageBox")}), (std::pair{std::string("messageBox"), row.boxes}));
    }
}

} // namespace
