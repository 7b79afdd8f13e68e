#pragma once

// A fresh program on an 800 x 600 drawing area with the fake binding, the program's
// colours and the real menu handler, for the behaviour tests of the lesson itself.

#include "platform/fake/FakePlatform.h"
#include "shell/Canvas.h"
#include "shell/MainProgram.h"
#include "shell/Menu.h"
#include "shell/ProgramState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lesson {

// The program's named colours as (red, green, blue).
constexpr Colour kBackground = makeColour(51, 168, 238);
constexpr Colour kWhite = makeColour(255, 255, 255);
constexpr Colour kBlack = makeColour(0, 0, 0);
constexpr Colour kRed = makeColour(255, 0, 0);
constexpr Colour kLightBlue = makeColour(153, 204, 255);
constexpr Colour kLightGreen = makeColour(149, 255, 204);
constexpr Colour kBlue = makeColour(51, 102, 255);
constexpr Colour kOrange = makeColour(255, 102, 51);

// Menu indices of the commands.
constexpr int kQuit = 1;
constexpr int kAuthor = 4;
constexpr int kDemo = 7;
constexpr int kOneSeries = 8;
constexpr int kTenSeries = 9;
constexpr int kTheory = 12;

class LessonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state = ProgramState{};
        installPlatform(fake);
        fake.width = 800;
        fake.height = 600;
        InitCanvas();
        state.colorBackground = kBackground;
        state.colorWhite = kWhite;
        state.colorBlack = kBlack;
        state.colorRed = kRed;
        state.colorLightBlue = kLightBlue;
        state.colorLightGreen = kLightGreen;
        state.colorBlue = kBlue;
        state.colorOrange = kOrange;
        fake.setMenuHandler(Win_0_MenuEvent);
        fake.setCloseHandler(WindowClosed);
    }

    // For table-driven tests: a new program and a new user for the next row.
    void startAfresh()
    {
        fake = FakePlatform{};
        SetUp();
    }

    // What every series command after a demonstration sets.
    void prepareSeries(int16_t intervals)
    {
        state.experimentMode = 3;
        state.stepsPerInterval = 100;
        state.intervalsPerRun = intervals;
        state.intervalsTotal = intervals;
        state.rateParameter = 1.0;
        state.scaleDivisor = 1;
        state.runPassLimit = 1;
        state.delayFactor = 1.0;
        state.demoDone = 1;
    }

    // What the demonstration sets for its first pass.
    void prepareFirstPass()
    {
        state.experimentMode = 2;
        state.stepsPerInterval = 40;
        state.intervalsPerRun = 1;
        state.intervalsTotal = 1;
        state.rateParameter = 4.0;
        state.scaleDivisor = 2;
        state.runPassLimit = 1;
        state.delayFactor = 1.0;
        state.redDotRadius = ScaleX(3);
    }

    void scriptRandoms(const std::vector<double>& values)
    {
        fake.scriptedRandoms.assign(values.begin(), values.end());
    }

    // Texts drawn with drawText at one pixel position, in order.
    std::vector<std::string> textsAt(double x, double y) const
    {
        std::vector<std::string> found;
        for (const auto* call : fake.callsOf("drawText"))
            if (call->args[0] == x && call->args[1] == y)
                found.push_back(call->text);
        return found;
    }

    // Position of the first recorded call of op at or after index from; -1 if none.
    int indexOf(const std::string& op, size_t from = 0) const
    {
        for (size_t i = from; i < fake.calls.size(); ++i)
            if (fake.calls[i].op == op)
                return static_cast<int>(i);
        return -1;
    }

    // Position of processEvents call number n (counted from 1).
    int indexOfProcessEvents(int n) const
    {
        for (size_t i = 0; i < fake.calls.size(); ++i)
            if (fake.calls[i].op == "processEvents" && fake.calls[i].args[0] == n)
                return static_cast<int>(i);
        return -1;
    }

    int histogramEntries() const
    {
        int total = 0;
        for (int32_t entry : state.histogram)
            total += entry;
        return total;
    }

    FakePlatform fake;
};

} // namespace lesson
