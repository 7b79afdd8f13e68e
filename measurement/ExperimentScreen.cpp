#include "measurement/ExperimentScreen.h"

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "measurement/MeasurementRun.h"
#include "platform/Platform.h"
#include "screens/MessageBoxes.h"
#include "screens/StartPicture.h"

namespace {

constexpr const char* kDemoLabel = "  DEMO !";

} // namespace

void ExperimentScreen()
{
    Platform& p = platform();
    const Colour lightBlue = colourOf(state.colorLightBlue);
    const Colour blue = colourOf(state.colorBlue);

    p.clearWindow();
    state.experimentIdle = 0;
    state.experimentEntered = 1;   // from now on the menu ignores the EXPERIMENT entries

    p.setFontSize(FontPoints(12));
    p.setFontName("times");
    p.setForeground(state.colorBlack);
    p.setBackground(blue);
    DrawStartPicture();

    // The label marks the very first demonstration only.
    if (state.demoDone == 0) {
        p.setForeground(state.colorRed);
        p.setBackground(lightBlue);
        p.drawText(ScaleX(10), ScaleY(10), kDemoLabel);
    }

    p.setFontSize(FontPoints(30));
    p.setForeground(state.colorBlack);
    p.setBackground(lightBlue);
    p.drawText(ScaleX(30), ScaleY(95), "Zeit");

    if (state.seriesAnnounced == 0) {
        state.alertText = "Neue Versuchsreihe!";
        ShowOkBox();
        state.seriesAnnounced = 1;
    }

    p.setForeground(state.colorBlack);
    p.setBackground(blue);
    p.setFontSize(FontPoints(30));
    RunMeasurement();

    // Plain opaque text from here on, whatever a title screen may have left.
    p.setTitleAttribute(false);
    if (state.demoDone == 0) {
        // Light blue on light blue in the run's larger font: a block over the red label.
        p.setForeground(lightBlue);
        p.setBackground(lightBlue);
        p.drawText(ScaleX(10), ScaleY(10), kDemoLabel);
    }
    p.setForeground(state.colorRed);
    p.setBackground(lightBlue);
    state.experimentIdle = 1;
}
