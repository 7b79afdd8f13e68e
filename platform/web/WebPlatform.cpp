#include "platform/web/WebPlatform.h"

#include "platform/web/FileProblems.h"
#include "platform/web/PageFiles.h"
#include "platform/web/PageProtocol.h"

#include <algorithm>

// The page's side: platform/web/page/*.js.

namespace {

constexpr int kKeyTextSize = 64;

} // namespace

// Defined in the page's scripts. The waits and the box suspend the program until the page
// answers: they are the Asyncify imports named in platform/web/CMakeLists.txt.
extern "C" {
int pageTakeEvent(int* value, char* text, int textSize);
void pageSleep(int milliseconds, int wakeOn);
void pageNextFrame();
void pageYield();
void pageMarkReturn();
void pageOpen(const char* title);
void pageStopInput();
void pageClose();
void pageInstallMenu(const char* items);
int pageAskBox(int style, const char* text, int defaultButton, const char* captions, const char* title);
int pageLoadPicture(const char* name);
void pageReleasePicture(int picture);
int pagePrepareSound(const char* name);
void pagePlaySound(const char* name);
double pageMilliseconds();
double pageSecondsOfDay();
}

namespace {

Pixel pixelAt(double x, double y)
{
    return Pixel{WebCanvas::pixelOf(x), WebCanvas::pixelOf(y)};
}

} // namespace

WebPlatform::WebPlatform()
    : canvas_(FontMetrics(PageFiles::read("LiberationSerif-Regular.ttf").value_or(std::vector<uint8_t>()))),
      secondsAtStart_(pageSecondsOfDay()), millisecondsAtStart_(pageMilliseconds())
{
}

// --- Window --------------------------------------------------------------------

void WebPlatform::openWindow(const std::string& title)
{
    title_ = title;
    opened_ = true;
    pageOpen(title.c_str());
}

void WebPlatform::clearWindow()
{
    // A new screen: drawn at the size the page gives the area now.
    canvas_.followPage();
    canvas_.clear(windowBackground_);
}

void WebPlatform::closeWindow()
{
    closedByProgram_ = true;
    heldChoices_.clear();
    pageClose();
}

void WebPlatform::beginShutDown()
{
    shuttingDown_ = true;
    heldChoices_.clear();
    pageStopInput();
}

// --- Events --------------------------------------------------------------------

int WebPlatform::takeInEvents()
{
    int taken = 0;
    for (;;) {
        int value = 0;
        char text[kKeyTextSize] = {};
        const int kind = pageTakeEvent(&value, text, kKeyTextSize);
        if (kind == NoEvent)
            return taken;
        ++taken;
        if (kind == KeyEvent)
            input_.keyPressed(text);
        else if (kind == ButtonsEvent)
            input_.buttonsChanged(value);
        else if (kind == MenuEvent && !ended())
            heldChoices_.push_back(value);
        // A resize needs nothing here: the canvas takes the new size when it may.
    }
}

void WebPlatform::dispatchHeldChoices()
{
    // A choice dispatched here may run a whole command, whose own processEvents() calls
    // dispatch the choices made meanwhile: the queue is shared, so the order holds.
    while (!heldChoices_.empty() && !ended()) {
        const int index = heldChoices_.front();
        heldChoices_.pop_front();
        if (menuHandler_)
            menuHandler_(index);
    }
}

void WebPlatform::markReturn()
{
    drawnAtReturn_ = canvas_.changeCount();
    pageMarkReturn();
}

void WebPlatform::processEvents()
{
    takeInEvents();
    // Drawn since the previous call: wait for the frame that shows it. Otherwise only let
    // the browser hand over what it holds, so that a loop that draws nothing still sees input.
    if (!ended() && canvas_.changeCount() != drawnAtReturn_)
        pageNextFrame();
    else
        pageYield();
    takeInEvents();
    dispatchHeldChoices();
    markReturn();
}

void WebPlatform::waitForEvents()
{
    // Between commands the canvas follows the page's size at once; a command dispatched from
    // here draws in the size it found.
    canvas_.followPage();
    if (takeInEvents() == 0 && heldChoices_.empty() && !ended()) {
        pageSleep(-1, WakeOnAny);
        takeInEvents();
        canvas_.followPage();
    }
    dispatchHeldChoices();
    markReturn();
}

InputWait WebPlatform::waitForInput(int timeoutMilliseconds)
{
    const double start = pageMilliseconds();
    for (;;) {
        takeInEvents();
        if (ended())
            return InputWait::Ended;
        if (!heldChoices_.empty())
            return InputWait::MenuChoice;
        if (input_.hasKey() || input_.peekButtons() != 0)
            return InputWait::KeyOrButton;
        int left = -1;
        if (timeoutMilliseconds >= 0) {
            left = timeoutMilliseconds - static_cast<int>(pageMilliseconds() - start);
            if (left <= 0)
                return InputWait::TimeUp;
        }
        pageSleep(left, WakeOnInput);
    }
}

bool WebPlatform::holdsMenuChoice(int32_t index) const
{
    return std::find(heldChoices_.begin(), heldChoices_.end(), index) != heldChoices_.end();
}

// --- Menu ----------------------------------------------------------------------

void WebPlatform::installMenu(const std::vector<std::string>& items)
{
    std::string lines;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            lines += '\n';
        lines += items[i];
    }
    pageInstallMenu(lines.c_str());
}

// --- Drawing -------------------------------------------------------------------

void WebPlatform::drawLine(double x1, double y1, double x2, double y2)
{
    canvas_.drawLine(pixelAt(x1, y1), pixelAt(x2, y2));
}

void WebPlatform::drawRectangle(double x1, double y1, double x2, double y2)
{
    canvas_.drawRectangle(pixelAt(x1, y1), pixelAt(x2, y2));
}

void WebPlatform::fillRectangle(double x1, double y1, double x2, double y2)
{
    canvas_.fillRectangle(pixelAt(x1, y1), pixelAt(x2, y2));
}

void WebPlatform::drawCircle(double centreX, double centreY, double radius)
{
    canvas_.drawDisc(pixelAt(centreX, centreY), radius);
}

void WebPlatform::drawText(double x, double y, const std::string& text)
{
    canvas_.drawText(pixelAt(x, y), text);
}

ImageString WebPlatform::capture(double x1, double y1, double x2, double y2)
{
    return canvas_.capture(pixelAt(x1, y1), pixelAt(x2, y2));
}

void WebPlatform::putImage(double x, double y, const ImageString& image)
{
    canvas_.putImage(pixelAt(x, y), image);
}

// --- Pictures --------------------------------------------------------------------

PictureId WebPlatform::loadPicture(const std::string& fileName)
{
    // The build has checked the file; only the browser can still fail to decode it. The program
    // goes on without the picture, and the teacher learns which one it is.
    const int picture = pageLoadPicture(fileName.c_str());
    if (picture <= 0)
        tellFileProblem(FileProblems::pictureNotShown(fileName));
    return std::max(picture, 0);
}

void WebPlatform::drawPicture(PictureId picture, double x, double y, double width, double height)
{
    const Pixel topLeft = pixelAt(x, y);
    const Pixel bottomRight = pixelAt(x + width, y + height);
    canvas_.drawPicture(picture, topLeft, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y);
}

void WebPlatform::releasePicture(PictureId picture)
{
    pageReleasePicture(picture);
}

// The page carries its files inside itself: there is one folder, its own, and every file
// is found there by its bare name.
std::string WebPlatform::programFolder() const
{
    return ".";
}

void WebPlatform::setCurrentFolder(const std::string&) {}

// --- Sound ----------------------------------------------------------------------

void WebPlatform::playSound(const std::string& fileName, int)
{
    auto known = clickUsable_.find(fileName);
    if (known == clickUsable_.end()) {
        // As with pictures, only the browser can still fail to decode the checked file.
        const int state = pagePrepareSound(fileName.c_str());
        // Known before it is told, as on the desktop. A browser without sound stays silent.
        known = clickUsable_.emplace(fileName, state == SoundReady).first;
        if (state == SoundUndecodable)
            tellFileProblem(FileProblems::clickNotPlayed(fileName));
    }
    if (known->second)
        pagePlaySound(fileName.c_str());
}

// Each problem is told once per run: a background picture the browser cannot show would
// otherwise come back at every experiment screen.
void WebPlatform::tellFileProblem(const std::string& text)
{
    if (!toldProblems_.insert(text).second)
        return;
    messageBox(BoxStyle::Warning, text, 1, "OK");
}

// --- Input ----------------------------------------------------------------------

std::string WebPlatform::takeKey()
{
    if (ended())
        return std::string();
    if (!input_.hasKey())
        takeInEvents();
    return input_.takeKey();
}

int WebPlatform::mouseButtons()
{
    if (ended())
        return 0;
    takeInEvents();
    return input_.takeButtons();
}

// --- Time -----------------------------------------------------------------------

void WebPlatform::pause(int milliseconds)
{
    if (ended() || milliseconds <= 0)
        return;
    takeInEvents();
    pageSleep(milliseconds, WakeNever);
}

double WebPlatform::timer()
{
    return secondsAtStart_ + (pageMilliseconds() - millisecondsAtStart_) / 1000.0;
}

// --- Boxes ----------------------------------------------------------------------

int WebPlatform::messageBox(BoxStyle style, const std::string& text, int defaultButton, const std::string& captions)
{
    const int buttonCount = static_cast<int>(std::count(captions.begin(), captions.end(), '|')) + 1;
    if (ended())
        return std::clamp(defaultButton, 1, buttonCount);
    return pageAskBox(static_cast<int>(style), text.c_str(), defaultButton, captions.c_str(), title_.c_str());
}
