// The program's own drawing through the real binding, offscreen: the dot images are made on the
// start picture and leave no trace on it. Where the program puts its pictures, frames, prompt
// and flying images is its arithmetic on the binding's pictures, text cells and captures: the
// behaviour tests check the one, the canvas and binding tests the other.

#include "support.h"

#include "core/Canvas.h"
#include "core/ProgramState.h"
#include "measurement/DotSprites.h"
#include "screens/StartPicture.h"
#include "shell/MainProgram.h"

using namespace qttest;

// The red dot's image is 2 * ScaleX(3) + 1 pixels wide, red in its middle.
TEST_F(BindingTest, TheDotImagesAreMadeOnTheStartPictureWithoutATrace)
{
    installPlatform(*binding);
    state = ProgramState{};
    SetColours();
    binding->openWindow("Programm");
    InitCanvas();
    DrawStartPicture();
    const QImage before = snapshot();
    PrepareDotSprites();
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ((std::pair{state.redDotImage.width, state.redDotImage.pixels[state.redDotImage.pixels.size() / 2]}),
              (std::pair{2 * ScaleX(3) + 1, kRed}));
}
