#include "platform/fake/FakePlatform.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

FakePlatform::FakePlatform() = default;

FakePlatform::Call& FakePlatform::record(const std::string& op, std::vector<double> args,
                                         std::string text)
{
    Call call;
    call.op = op;
    call.args = std::move(args);
    call.text = std::move(text);
    call.foreground = foreground;
    call.background = background;
    call.fontSize = fontSize;
    call.fontName = fontName;
    call.lineWidth = lineWidth;
    call.titleAttribute = titleAttribute;
    static const std::set<std::string> drawing{"clearWindow", "drawLine", "drawRectangle", "fillRectangle", "drawCircle",
                                               "drawText", "printLine", "putImage", "drawPicture"};
    drawCount_ += drawing.count(call.op);
    calls.push_back(std::move(call));
    return calls.back();
}

std::vector<const FakePlatform::Call*> FakePlatform::callsOf(const std::string& op) const
{
    std::vector<const Call*> found;
    for (const Call& call : calls)
        if (call.op == op)
            found.push_back(&call);
    return found;
}

std::vector<std::string> FakePlatform::texts() const
{
    std::vector<std::string> found;
    for (const Call& call : calls)
        if (call.op == "drawText" || call.op == "printLine")
            found.push_back(call.text);
    return found;
}

std::vector<std::string> FakePlatform::opsAmong(const std::vector<std::string>& ops) const
{
    std::vector<std::string> found;
    for (const Call& call : calls)
        if (std::find(ops.begin(), ops.end(), call.op) != ops.end())
            found.push_back(call.op);
    return found;
}

int FakePlatform::count(const std::string& op) const
{
    return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                          [&](const Call& call) { return call.op == op; }));
}

void FakePlatform::atProcessEvents(int n, std::function<void()> action)
{
    atProcessEvents_[n].push_back(std::move(action));
}

void FakePlatform::atWaitForEvents(int n, std::function<void()> action)
{
    atWaitForEvents_[n].push_back(std::move(action));
}

void FakePlatform::atPoll(int n, std::function<void()> action)
{
    atPoll_[n].push_back(std::move(action));
}

void FakePlatform::atWaitForInput(int n, std::function<void()> action)
{
    atWaitForInput_[n].push_back(std::move(action));
}

void FakePlatform::atMessageBox(int n, std::function<void()> action)
{
    atMessageBox_[n].push_back(std::move(action));
}

void FakePlatform::atPause(int milliseconds, std::function<void()> action)
{
    atPause_[milliseconds].push_back(std::move(action));
}

void FakePlatform::chooseMenu(int index)
{
    record("menuChosen", {static_cast<double>(index)});
    menuChosen(index);
}

void FakePlatform::counterClicked(int clicks)
{
    std::vector<int64_t> onsets;
    for (int i = 0; i < clicks; ++i)
        onsets.push_back(counterStream++);
    counterHeard(onsets, ++counterStream);
}

void FakePlatform::dispatchMenu(int index)
{
    if (!ended())
        deliverChoice(index);
}

void FakePlatform::deliverChoice(int index)
{
    record("menuEvent", {static_cast<double>(index)});
    ++handlerDepth;
    maxHandlerDepth = std::max(maxHandlerDepth, handlerDepth);
    BindingCore::deliverChoice(index);
    --handlerDepth;
}

void FakePlatform::closeWindowByUser()
{
    if (!closedByUser())
        record("userClosedWindow");
    userClosedWindow();
}

std::deque<std::string> FakePlatform::keysLeft() const
{
    std::deque<std::string> keys = keysWaiting();
    keys.insert(keys.end(), pendingKeys.begin(), pendingKeys.end());
    return keys;
}

void FakePlatform::holdButtons(int held)
{
    mouseState = mouseStateFed_ = held;
    buttonsChanged(held);
}

void FakePlatform::takeInEvents()
{
    if (std::exchange(userActed_, false))
        otherEvent();   // the scripted user did something: a wait for events returns
    for (; !pendingKeys.empty(); pendingKeys.pop_front())
        keyPressed(pendingKeys.front());
    if (mouseState != mouseStateFed_)
        buttonsChanged(mouseStateFed_ = mouseState);
}

void FakePlatform::sleep(double milliseconds, Wake)
{
    if (milliseconds >= 0)
        timerValue += milliseconds / 1000.0;
    else
        closeWindowByUser();
}

void FakePlatform::runActions(std::map<int, std::vector<std::function<void()>>>& table, int n)
{
    auto found = table.find(n);
    if (found == table.end())
        return;
    // Moved out first: an action may script further actions or re-enter this table.
    std::vector<std::function<void()>> actions = std::move(found->second);
    table.erase(found);
    for (auto& action : actions)
        action();
}

void FakePlatform::showWindow(const std::string& title)
{
    windowTitle = title;
    record("openWindow", {}, title);
}

void FakePlatform::setWindowBackground(Colour colour)
{
    record("setWindowBackground", {static_cast<double>(colour)});
}

void FakePlatform::clearWindow()
{
    record("clearWindow");
}

void FakePlatform::hideWindow()
{
    record("closeWindow");
}

void FakePlatform::beginShutDown()
{
    record("beginShutDown");
    BindingCore::beginShutDown();
}

// The user's scripted actions run after the choices held before the call, as a real user's
// would come after them.
void FakePlatform::waitForEvents()
{
    const int n = ++waitForEventsCount;
    record("waitForEvents", {static_cast<double>(n)});
    deliverHeldChoices();
    const bool scripted = atWaitForEvents_.count(n) > 0;
    runActions(atWaitForEvents_, n);
    userActed_ = scripted;
    BindingCore::waitForEvents();
}

void FakePlatform::processEvents()
{
    const int n = ++processEventsCount;
    record("processEvents", {static_cast<double>(n)});
    deliverHeldChoices();
    runActions(atProcessEvents_, n);
    BindingCore::processEvents();
}

InputWait FakePlatform::waitForInput(int timeoutMilliseconds)
{
    const int n = ++waitForInputCount;
    record("waitForInput", {static_cast<double>(n)});
    runActions(atWaitForInput_, n);
    return BindingCore::waitForInput(timeoutMilliseconds);
}

void FakePlatform::installMenu(const std::vector<std::string>& items)
{
    menuItems = items;
    record("installMenu", {static_cast<double>(items.size())});
}

void FakePlatform::setForeground(Colour colour)
{
    foreground = colour;
}

void FakePlatform::setBackground(Colour colour)
{
    background = colour;
}

void FakePlatform::setLineWidth(int pixels)
{
    lineWidth = pixels;
}

void FakePlatform::setFontName(const std::string& name)
{
    fontName = name;
}

void FakePlatform::setFontSize(double points)
{
    fontSize = points;
}

void FakePlatform::setTitleAttribute(bool on)
{
    titleAttribute = on;
}

void FakePlatform::drawLine(double x1, double y1, double x2, double y2)
{
    record("drawLine", {x1, y1, x2, y2});
}

void FakePlatform::drawRectangle(double x1, double y1, double x2, double y2)
{
    record("drawRectangle", {x1, y1, x2, y2});
}

void FakePlatform::fillRectangle(double x1, double y1, double x2, double y2)
{
    record("fillRectangle", {x1, y1, x2, y2});
}

void FakePlatform::drawCircle(double centreX, double centreY, double radius)
{
    record("drawCircle", {centreX, centreY, radius});
}

void FakePlatform::drawText(double x, double y, const std::string& text)
{
    record("drawText", {x, y}, text);
}

TextCell FakePlatform::textCell()
{
    return TextCell{static_cast<int>(std::lround(fontSize / 2)), static_cast<int>(std::lround(fontSize))};
}

int FakePlatform::textWidth(const std::string& text)
{
    // Characters, not bytes: "ä" is one cell.
    const auto characters = std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; });
    return static_cast<int>(characters) * textCell().width;
}

void FakePlatform::setTextCursor(int column, int row)
{
    cursorColumn_ = column;
    cursorRow_ = row;
    record("setTextCursor", {static_cast<double>(column), static_cast<double>(row)});
}

void FakePlatform::printLine(const std::string& text)
{
    record("printLine", {static_cast<double>(cursorColumn_), static_cast<double>(cursorRow_)},
           text);
    cursorColumn_ = 1;
    ++cursorRow_;
}

ImageString FakePlatform::capture(double x1, double y1, double x2, double y2)
{
    ImageString image;
    image.width = static_cast<int>(std::lround(x2) - std::lround(x1)) + 1;
    image.height = static_cast<int>(std::lround(y2) - std::lround(y1)) + 1;
    // Every capture gets its own serial number as pixel value, so a test can tell
    // which capture was put back where.
    const int serial = ++captureSerial_;
    if (image.width > 0 && image.height > 0)
        image.pixels.assign(static_cast<size_t>(image.width) * image.height, serial);
    record("capture", {x1, y1, x2, y2, static_cast<double>(serial)});
    return image;
}

void FakePlatform::putImage(double x, double y, const ImageString& image)
{
    const double serial = image.pixels.empty() ? 0 : image.pixels.front();
    record("putImage", {x, y, static_cast<double>(image.width),
                        static_cast<double>(image.height), serial});
}

PictureId FakePlatform::loadPicture(const std::string& fileName)
{
    const bool unusable = std::find(unusablePictures.begin(), unusablePictures.end(), fileName)
                          != unusablePictures.end();
    const PictureId id = unusable ? 0 : nextPicture_++;
    record("loadPicture", {static_cast<double>(id)}, fileName);
    return id;
}

void FakePlatform::drawPicture(PictureId picture, double x, double y, double w, double h)
{
    record("drawPicture", {static_cast<double>(picture), x, y, w, h});
}

void FakePlatform::releasePicture(PictureId picture)
{
    record("releasePicture", {static_cast<double>(picture)});
}

void FakePlatform::setCurrentFolder(const std::string& folder)
{
    currentFolder = folder;
    record("setCurrentFolder", {}, folder);
}

void FakePlatform::playSound(const std::string& fileName, int mode)
{
    record("playSound", {static_cast<double>(mode)}, fileName);
}

void FakePlatform::countPoll()
{
    const int n = ++pollCount;
    runActions(atPoll_, n);
}

std::string FakePlatform::takeKey()
{
    countPoll();
    std::string key = BindingCore::takeKey();
    if (!key.empty())
        record("keyTaken", {}, key);
    return key;
}

int FakePlatform::mouseButtons()
{
    countPoll();
    return BindingCore::mouseButtons();
}

void FakePlatform::pause(int milliseconds)
{
    record("pause", {static_cast<double>(milliseconds)});
    runActions(atPause_, milliseconds);
    BindingCore::pause(milliseconds);
}

double FakePlatform::timer()
{
    return timerValue;
}

double FakePlatform::random()
{
    if (!scriptedRandoms.empty()) {
        const double value = scriptedRandoms.front();
        scriptedRandoms.pop_front();
        return value;
    }
    return BindingCore::random();
}

int FakePlatform::showBox(BoxStyle style, const std::string& text, int defaultButton,
                          const std::string& captions)
{
    Call& call = record("messageBox", {static_cast<double>(style), static_cast<double>(defaultButton)}, text);
    call.captions = captions;
    const int n = ++messageBoxCount;
    runActions(atMessageBox_, n);
    return 0;   // closed without a button
}
