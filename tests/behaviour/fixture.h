#pragma once

// A fresh program and a scripted user for every behaviour test: the fake binding with an
// 800 x 600 drawing area, the program's colours, its menu and close handlers. Pixel numbers
// in the tests are worked out by hand from the logical canvas: x * 2.5 and y * 3, truncated.

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "measurement/RunSetup.h"
#include "platform/fake/FakePlatform.h"
#include "shell/MainProgram.h"
#include "shell/Menu.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace lesson {

using Args = std::vector<double>;
using Texts = std::vector<std::string>;
using Call = FakePlatform::Call;
using UserAction = void (*)(FakePlatform&);   // plain function pointers keep the tables literal

// What a user does, for the tables: a choice run at once (as inside event processing) or held
// (made in a wait or a pause), a closed window; and the moment it is done at.
template <int index> void choose(FakePlatform& f) { f.dispatchMenu(index); }
template <int index> void chooseHeld(FakePlatform& f) { f.chooseMenu(index); }
inline void userCloses(FakePlatform& f) { f.closeWindowByUser(); }
template <int n, UserAction act> void atEvents(FakePlatform& f) { f.atProcessEvents(n, [&f] { act(f); }); }
template <int n, UserAction act> void inBox(FakePlatform& f) { f.atMessageBox(n, [&f] { act(f); }); }
template <int ms, UserAction act> void inPause(FakePlatform& f) { f.atPause(ms, [&f] { act(f); }); }

constexpr Colour kBackground = makeColour(51, 168, 238), kWhite = makeColour(255, 255, 255), kBlack = 0,
                 kRed = makeColour(255, 0, 0), kLightBlue = makeColour(153, 204, 255), kBlue = makeColour(51, 102, 255),
                 kOrange = makeColour(255, 102, 51);
constexpr int kQuit = 1, kInfo = 3, kAuthor = 4, kDemo = 7, kOneSeries = 8, kTenSeries = 9, kTheory = 12, kUsage = 13;

// Lines as a box shows them, every "|" starting a new one (the tests write "/" for "|"), or as a
// saved table holds them, each ending in "\r\n".
inline Texts linesOf(std::string text, const std::string& separator = "|")
{
    Texts lines;
    for (size_t end; (end = text.find(separator)) != std::string::npos; text.erase(0, end + separator.size()))
        lines.push_back(text.substr(0, end));
    lines.push_back(text);
    return lines;
}

class LessonTest : public ::testing::Test {
protected:
    void SetUp() override { startAfresh(); }
    // A new program and a new user, for the next row of a table.
    void startAfresh(int width = 800, int height = 600)
    {
        fake = FakePlatform{};
        fake.width = width;
        fake.height = height;
        state = ProgramState{};
        installPlatform(fake);
        InitCanvas();
        SetColours();
        fake.setMenuHandler(Win_0_MenuEvent);
        fake.setCloseHandler(WindowClosed);
    }
    // The first series, set up as the program sets it up after its demonstration.
    void prepareSeries(int16_t intervals)
    {
        ConfigureFirstPass();
        ConfigureSecondPass();
        ConfigureAfterDemonstration();
        ConfigureSeries(intervals);
    }
    void scriptRandoms(const std::vector<double>& values) { fake.scriptedRandoms.assign(values.begin(), values.end()); }
    const Call& nth(const std::string& op, size_t i) const { return *fake.callsOf(op).at(i); }
    int positionOf(const Call* call) const { return static_cast<int>(call - fake.calls.data()); }
    template <typename Test> std::vector<const Call*> callsWhere(const std::string& op, Test test) const
    {
        std::vector<const Call*> found;
        for (const Call& call : fake.calls)
            if (call.op == op && test(call))
                found.push_back(&call);
        return found;
    }
    size_t textCount(const std::string& text) const { return callsWhere("drawText", [&](const Call& c) { return c.text == text; }).size(); }
    Texts textsAt(double x, double y) const
    {
        Texts found;
        for (const Call* call : callsWhere("drawText", [&](const Call& c) { return c.args[0] == x && c.args[1] == y; }))
            found.push_back(call->text);
        return found;
    }
    // Position of the first call of op (with first argument arg, if given); -1 if none.
    // processEvents call number n (from 1) carries n as its argument.
    int indexOf(const std::string& op, double arg = -1) const
    {
        const auto found = callsWhere(op, [&](const Call& c) { return arg < 0 || c.args.at(0) == arg; });
        return found.empty() ? -1 : positionOf(found[0]);
    }
    size_t boxesSaying(const std::string& words, int from = 0) const
    {
        return callsWhere("messageBox", [&](const Call& c) { return positionOf(&c) >= from && c.text.find(words) != std::string::npos; }).size();
    }
    int histogramEntries() const { return std::accumulate(state.histogram.begin(), state.histogram.end(), 0); }

    FakePlatform fake;
};

} // namespace lesson
