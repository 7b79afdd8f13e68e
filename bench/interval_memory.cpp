// Resident memory of the program over many counting intervals, faster than the lesson
// runs them: "&3 Experiment 10 x wiederholen" is chosen again and again through the
// program's own menu handler, and VmRSS is printed after every command.
//
//   interval_memory fake [commands]   the program logic on the scripted binding
//   interval_memory qt [commands]     the same on the real Qt binding (any QPA platform,
//                                     offscreen too), drawing into the real canvas and
//                                     playing real clicks, but without the frame pacing
//
// The paced binding would take one display frame per step, 28 minutes for 1,000
// intervals; pacing only decides when a step may return, so leaving it out changes the
// time the run takes, not the work or the memory of a step. Everything else is the
// program's own path: menu bookkeeping, experiment screen (a fresh picture load per
// command), graph frame, steps, detector, evaluation, closing line.
//
// Output, one line per command: "<intervals asked for> <intervalsDone> <VmRSS kB>".

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "measurement/DotSprites.h"
#include "measurement/RunSetup.h"
#include "platform/fake/FakePlatform.h"
#include "platform/qt/CanvasWidget.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtPlatform.h"
#include "screens/StartPicture.h"
#include "shell/MainProgram.h"
#include "shell/Menu.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// The real binding with one change: "process pending events" does its work at once
// instead of waiting for the next display frame.
class UnpacedQtPlatform : public QtPlatform {
public:
    using QtPlatform::QtPlatform;

    void processEvents() override
    {
        if (!shown_) {
            QtPlatform::processEvents();   // shows the window, as the first paced call does
            shown_ = true;
            return;
        }
        mainWindow().canvasWidget()->update();
        QCoreApplication::processEvents();
    }

private:
    bool shown_ = false;
};

int tenSeriesIndex()
{
    for (size_t i = 0; i < state.menuText.size(); ++i)
        if (state.menuText[i] == "&3 Experiment 10 x wiederholen")
            return static_cast<int>(i);
    std::fprintf(stderr, "interval_memory: no menu entry for ten intervals\n");
    std::exit(2);
}

// The state the demonstration leaves behind, with the "Neue Versuchsreihe!" box already
// answered (a box would wait for a user).
void startAsAfterTheDemonstration()
{
    state.menuEventCount = 0;
    InitCanvas();
    SetColours();
    platform().setCurrentFolder(platform().programFolder());
    platform().openWindow("interval_memory");
    InitMenu();
    platform().setWindowBackground(state.colorBackground);
    platform().clearWindow();
    DrawStartPicture();
    PrepareDotSprites();
    ConfigureFirstPass();
    ConfigureSecondPass();
    ConfigureAfterDemonstration();
    state.seriesAnnounced = 1;
}

void runCommands(int commands, FakePlatform* fake)
{
    const int index = tenSeriesIndex();
    std::printf("0 %d %ld\n", static_cast<int>(state.intervalsDone), residentKilobytes());
    for (int c = 1; c <= commands; ++c) {
        Win_0_MenuEvent(index);
        if (fake)
            fake->calls.clear();   // the fake's own call log, not the program's memory
        std::printf("%d %d %ld\n", c * 10, static_cast<int>(state.intervalsDone), residentKilobytes());
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const std::string binding = argc > 1 ? argv[1] : "fake";
    const int commands = argc > 2 ? std::atoi(argv[2]) : 100;
    if (binding == "fake") {
        auto fake = std::make_unique<FakePlatform>();
        installPlatform(*fake);
        startAsAfterTheDemonstration();
        runCommands(commands, fake.get());
        return 0;
    }
    if (binding == "qt") {
        UnpacedQtPlatform qt(argc, argv);
        installPlatform(qt);
        startAsAfterTheDemonstration();
        runCommands(commands, nullptr);
        return 0;
    }
    std::fprintf(stderr, "usage: interval_memory fake|qt [commands of ten intervals]\n");
    return 2;
}
