#include "platform/web/WebPlatform.h"

#include "platform/web/FileProblems.h"
#include "platform/web/PageFiles.h"
#include "platform/web/PageProtocol.h"
#include "platform/web/WebCounter.h"

#include <algorithm>
#include <cmath>

// The page's side: platform/web/page/*.js.

namespace {

constexpr int kKeyTextSize = 64;

} // namespace

// Defined in the page's scripts. The waits and the box suspend the program until the page
// answers: they are the Asyncify imports named in platform/web/CMakeLists.txt.
extern "C" {
int pageTakeEvent(int* value, char* text, int textSize);
void pageSleep(int milliseconds, int wakeOn);
double pageFrameFrom(double earliestMilliseconds);
void pageYield();
void pageOpen(const char* title);
void pageStopInput();
void pageSaveTable(const char* table);
void pageClose();
void pageInstallMenu(const char* items);
void pageAnnounce(const char* text);
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
    : canvas_(FontMetrics(PageFiles::read("MikroteilchenSerif-Metrics.ttf").value_or(std::vector<uint8_t>()))),
      secondsAtStart_(pageSecondsOfDay()), millisecondsAtStart_(pageMilliseconds())
{
}

// --- Window --------------------------------------------------------------------

void WebPlatform::showWindow(const std::string& title)
{
    title_ = title;
    pageOpen(title.c_str());
}

void WebPlatform::hideWindow()
{
    pageClose();
}

void WebPlatform::onEnded()
{
    pageStopInput();
}

void WebPlatform::clearWindow()
{
    // A new screen: drawn at the size the page gives the area now.
    canvas_.followPage();
    canvas_.clear(windowBackground_);
}

// --- Events --------------------------------------------------------------------

void WebPlatform::takeInEvents()
{
    for (;;) {
        int value = 0;
        char text[kKeyTextSize] = {};
        switch (pageTakeEvent(&value, text, kKeyTextSize)) {
        case NoEvent:
            return;
        case KeyEvent:
            keyPressed(text);
            break;
        case ButtonsEvent:
            buttonsChanged(value);
            break;
        case MenuEvent:
            menuChosen(value);
            break;
        case SaveEvent:
            saveAsked();
            break;
        case CounterProblemEvent:
            // The counter asked for cannot listen: the teacher learns why, the lesson goes on.
            tellCounterUnavailable(CounterProblemText(value));
            break;
        default:
            otherEvent();   // a resize: the canvas takes the new size when it may
            break;
        }
    }
}

void WebPlatform::sleep(double milliseconds, Wake wake)
{
    // The page learns of events only while the program sleeps, so it ends the sleep itself.
    const WakeOn wakeOn = wake == Wake::AnyEvent ? WakeOnAny : wake == Wake::Input ? WakeOnInput : WakeNever;
    pageSleep(milliseconds < 0 ? -1 : static_cast<int>(std::ceil(milliseconds)), wakeOn);
}

void WebPlatform::letNativeEventsIn()
{
    // A loop that draws nothing still lets the browser hand over its input.
    pageYield();
}

double WebPlatform::waitForStep(double dueMilliseconds)
{
    // The step shows at the first display frame from its time on; a frame a quarter step
    // early counts as on time, since frame times jitter around the step's.
    return pageFrameFrom(dueMilliseconds - kStepMilliseconds / 4);
}

double WebPlatform::nowMilliseconds()
{
    return pageMilliseconds();
}

void WebPlatform::setBetweenCommands(bool)
{
    // Between commands the canvas follows the page's size at once; a command run from the
    // event loop draws in the size it found.
    canvas_.followPage();
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

// --- Time -----------------------------------------------------------------------

double WebPlatform::timer()
{
    return secondsAtStart_ + (pageMilliseconds() - millisecondsAtStart_) / 1000.0;
}

// --- Boxes ----------------------------------------------------------------------

int WebPlatform::showBox(BoxStyle style, const std::string& text, int defaultButton, const std::string& captions)
{
    return pageAskBox(static_cast<int>(style), text.c_str(), defaultButton, captions.c_str(), title_.c_str());
}

void WebPlatform::saveTable(const std::string& table)
{
    pageSaveTable(table.c_str());
}

void WebPlatform::announce(const std::string& text)
{
    pageAnnounce(text.c_str());
}
