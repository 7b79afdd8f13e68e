// The rules every binding keeps, as sequences of what the user does and what the program
// then sees. The scripted binding runs the same rules as the Qt and browser bindings.

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

namespace {

std::string seen;   // what the program saw, in order

// What the user does: "L" "R" "B" hold the left, right or both buttons, "0" lets go, "k:x"
// types x, "m:N" chooses menu entry N, "close" closes the window, "quit" begins the
// shut-down. What the program does: "?b" polls the buttons, "?k" takes a key ("-": none),
// "save" asks for the table (Ctrl+S). "wait" waits for input without a limit (a choice, or the end), "pe" processes events, "box" asks a box with
// the buttons "Ja|Nein" and default 5. A delivered choice shows as ">N" (choice 1 is Quit),
// the close handler as "closed", a saved table as "saved".
std::string play(const std::string& sequence)
{
    FakePlatform fake;
    installPlatform(fake);
    seen.clear();
    fake.setMenuHandler([](int32_t index) {
        seen += ">" + std::to_string(index) + " ";
        if (index == 1)
            platform().beginShutDown();   // Quit
    });
    fake.setCloseHandler([] { seen += "closed "; });
    fake.setTableWriter([] { seen += "saved "; return std::string(); });
    fake.openWindow("Regeln");
    std::istringstream steps(sequence);
    for (std::string step; steps >> step;) {
        const auto said = [](const std::string& what) { seen += what + " "; };
        if (step.size() == 1)
            fake.holdButtons(static_cast<int>(std::string("0LRB").find(step[0])));
        else if (step.starts_with("k:"))
            fake.pendingKeys.push_back(step.substr(2));
        else if (step.starts_with("m:"))
            fake.chooseMenu(std::stoi(step.substr(2)));
        else if (step == "save")
            fake.askToSave();
        else if (step == "close" || step == "quit")
            step == "close" ? fake.closeWindowByUser() : fake.beginShutDown();
        else if (step == "?b")
            said(std::to_string(fake.mouseButtons()));
        else if (step == "?k")
            said(fake.takeKey().empty() ? "-" : fake.keysLeft().empty() ? "last" : "more");
        else if (step == "wait")
            said(fake.waitForInput(-1) == InputWait::MenuChoice ? "choice" : "ended");
        else if (step == "box")
            said(std::to_string(fake.messageBox(BoxStyle::Notice, "?", 5, "Ja|Nein")));
        else
            fake.processEvents();   // "pe"
    }
    return seen;
}

TEST(BindingRules, EventSequencesAsTheProgramSeesThem)
{
    const struct { const char* rule; const char* sequence; const char* seen; } rows[] = {
        {"a press between polls counts once", "L 0 ?b ?b", "1 0 "},
        {"a held button counts at every poll, and not after it is let go", "L ?b ?b 0 ?b", "1 1 0 "},
        {"a second button joins the first", "L ?b B ?b R ?b 0 ?b", "1 3 2 0 "},
        {"a button let go and pressed again between polls counts", "L ?b 0 L 0 ?b", "1 1 "},
        {"keys wait in order until taken", "k:a k:b ?k ?k ?k", "more last - "},
        {"a choice is held through polls and waits", "m:4 ?b ?k wait", "0 - choice "},
        {"held choices run at event processing, in order", "m:4 m:11 pe pe", ">4 >11 "},
        {"a box answers with its default, clamped to its buttons", "box", "2 "},
        {"a choice held at the end never runs", "m:4 quit pe wait", "ended "},
        {"nor one held behind the Quit that ended the program", "m:1 m:4 pe", ">1 "},
        {"a choice made after the end never runs", "close m:4 pe", "closed "},
        {"Ctrl+S is no key, and saves at event processing after the held choices", "save m:4 ?k ?b wait pe", "- 0 choice >4 saved "},
        {"nothing is saved once the program ends", "save close pe", "closed "},
        {"the close handler runs once; polls then see nothing", "k:a B close close ?b ?k box", "closed 0 - 2 "},
    };
    for (const auto& row : rows)
        EXPECT_EQ(play(row.sequence), row.seen) << row.rule;
}

// A paced step is due 1/60 s after the previous one. A step shown a little late keeps the
// cadence, so a run is neither slowed nor hurried by display frames; after a long gap the
// next step counts from when it was shown.
class PacedFake : public FakePlatform {
public:
    std::vector<double> dueAfterStart;
    double lateBy = 0;

protected:
    double waitForStep(double due) override
    {
        dueAfterStart.push_back(std::round((due - 1e6) * 100) / 100);
        timerValue = std::max(timerValue, (due + lateBy) / 1000);
        return nowMilliseconds();
    }
};

TEST(BindingRules, StepsArePacedAtSixtyASecondWhateverTheFrames)
{
    PacedFake fake;
    fake.timerValue = 1000;   // the clock stands at 1e6 ms
    installPlatform(fake);
    const auto step = [&](double late) {
        fake.lateBy = late;
        fake.drawLine(0, 0, 1, 1);
        fake.processEvents();
    };
    fake.processEvents();   // nothing drawn: no wait
    for (const double late : {0.0, 10.0, 0.0, 0.0})
        step(late);
    fake.pause(100);
    step(0);   // due long ago: shown at once
    step(0);
    EXPECT_EQ(fake.dueAfterStart, (std::vector<double>{16.67, 33.33, 50, 66.67, 83.33, 183.33}));
}

} // namespace
