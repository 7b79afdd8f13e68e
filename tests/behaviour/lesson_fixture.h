#pragma once

// A fresh program for every behaviour test: the fake binding with an 800 x 600 drawing area,
// the program's colours, its menu handler and its close handler. Pixel numbers in the tests
// are worked out by hand from the logical canvas: x * 2.5 and y * 3, truncated.

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "platform/fake/FakePlatform.h"
#include "shell/MainProgram.h"
#include "shell/Menu.h"

#include <gtest/gtest.h>
#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

namespace lesson {

using Args = std::vector<double>;
using Texts = std::vector<std::string>;
using Call = FakePlatform::Call;
// A user action scripted into the fake; plain function pointers keep the tables literal.
using UserAction = void (*)(FakePlatform&);

// The program's named colours as (red, green, blue).
constexpr Colour kBackground = makeColour(51, 168, 238), kWhite = makeColour(255, 255, 255),
                 kBlack = makeColour(0, 0, 0), kRed = makeColour(255, 0, 0),
                 kLightBlue = makeColour(153, 204, 255), kLightGreen = makeColour(149, 255, 204),
                 kBlue = makeColour(51, 102, 255), kOrange = makeColour(255, 102, 51);

// menuText indices of the commands.
constexpr int kQuit = 1, kInfo = 3, kAuthor = 4, kDemo = 7, kOneSeries = 8, kTenSeries = 9,
              kTheory = 12, kUsage = 13;

class LessonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state = ProgramState{};
        installPlatform(fake);
        InitCanvas();
        SetColours();
        fake.setMenuHandler(Win_0_MenuEvent);
        fake.setCloseHandler(WindowClosed);
    }

    // A new program and a new user, for the next row of a table.
    void startAfresh(int width = 800, int height = 600)
    {
        fake = FakePlatform{};
        fake.width = width;
        fake.height = height;
        SetUp();
    }

    // Past the poll limit the fake closes the window; a loop that still polls or waits then
    // would never end. Throwing from the fake ends such a test as a failure instead.
    void failIfStillWaitingAfterClose()
    {
        fake.pollLimit = 20000;
        fake.atPoll(21000, [] { throw std::runtime_error("still polling after the window closed"); });
        fake.atWaitForEvents(1000, [] { throw std::runtime_error("event loop did not end"); });
    }

    // What every series command after a demonstration sets.
    void prepareSeries(int16_t intervals)
    {
        state.experimentMode = 3;
        state.stepsPerInterval = 100;
        state.intervalsPerRun = state.intervalsTotal = intervals;
        state.rateParameter = state.delayFactor = 1.0;
        state.scaleDivisor = state.runPassLimit = state.demoDone = 1;
    }

    // What the demonstration sets for its first pass.
    void prepareFirstPass()
    {
        state.experimentMode = 2;
        state.stepsPerInterval = 40;
        state.intervalsPerRun = state.intervalsTotal = state.runPassLimit = 1;
        state.rateParameter = 4.0;
        state.scaleDivisor = 2;
        state.delayFactor = 1.0;
        state.redDotRadius = ScaleX(3);
    }

    void scriptRandoms(const std::vector<double>& values) { fake.scriptedRandoms.assign(values.begin(), values.end()); }

    const Call& nth(const std::string& op, size_t i) const { return *fake.callsOf(op).at(i); }
    static Args firstArgs(const Call& call, long n) { return Args(call.args.begin(), call.args.begin() + n); }
    int positionOf(const Call* call) const { return static_cast<int>(call - fake.calls.data()); }

    // Texts drawn with drawText at one pixel position, in order.
    Texts textsAt(double x, double y) const
    {
        Texts found;
        for (const auto* call : fake.callsOf("drawText"))
            if (call->args[0] == x && call->args[1] == y)
                found.push_back(call->text);
        return found;
    }

    // Recorded calls of op that pass the test, in order.
    template <typename Test> std::vector<const Call*> callsWhere(const std::string& op, Test test) const
    {
        std::vector<const Call*> found;
        for (const Call& call : fake.calls)
            if (call.op == op && test(call))
                found.push_back(&call);
        return found;
    }
    std::vector<const Call*> textCalls(const std::string& text) const
    {
        return callsWhere("drawText", [&](const Call& call) { return call.text == text; });
    }

    // Position of the first call of op (with first argument arg, if given); -1 if none.
    // processEvents call number n (from 1) carries n as its argument.
    int indexOf(const std::string& op, double arg = -1) const
    {
        for (size_t i = 0; i < fake.calls.size(); ++i)
            if (fake.calls[i].op == op && (arg < 0 || fake.calls[i].args.at(0) == arg))
                return static_cast<int>(i);
        return -1;
    }

    size_t boxesSaying(const std::string& words) const
    {
        return callsWhere("messageBox", [&](const Call& b) { return b.text.find(words) != std::string::npos; }).size();
    }

    int histogramEntries() const { return std::accumulate(state.histogram.begin(), state.histogram.end(), 0); }

    FakePlatform fake;
};

} // namespace lesson
