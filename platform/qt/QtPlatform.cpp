#include "platform/qt/QtPlatform.h"

#include "platform/qt/BlockedCloseFilter.h"
#include "platform/qt/CanvasWidget.h"
#include "platform/qt/ClickSound.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Logging.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/MenuBarBuilder.h"
#include "platform/qt/MessageBoxes.h"
#include "platform/qt/PictureLoader.h"
#include "platform/qt/PixelCanvas.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMenuBar>
#include <QScreen>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

QString fromProgram(const std::string& text)
{
    return QString::fromStdString(text);
}

constexpr int kIdlePollMilliseconds = 100;

QPoint pixelAt(double x, double y)
{
    return QPoint(PixelCanvas::pixelOf(x), PixelCanvas::pixelOf(y));
}

} // namespace

QtPlatform::QtPlatform(int& argc, char** argv)
{
    if (!QApplication::instance())
        ownedApplication_ = std::make_unique<QApplication>(argc, argv);
    // The program decides when it ends; a closed window only tells it so.
    QApplication::setQuitOnLastWindowClosed(false);
    Fonts::registerSubstitutions();

    clock_.start();
    secondsAtClockStart_ = QTime::currentTime().msecsSinceStartOfDay() / 1000.0;

    const QScreen* screen = QGuiApplication::primaryScreen();
    canvas_ = std::make_unique<PixelCanvas>(plannedDrawingSize(MainWindow::menuBarHeight()),
                                            screen ? screen->devicePixelRatio() : 1.0);
    window_ = std::make_unique<MainWindow>(*canvas_);
    boxes_ = std::make_unique<MessageBoxes>();
    blockedCloseFilter_ = std::make_unique<BlockedCloseFilter>(*window_);
    pacer_.setRefreshRate(screen ? screen->refreshRate() : 60.0);
    updateFont();

    QObject::connect(window_.get(), &MainWindow::closedByUser, window_.get(), [this] { onClosedByUser(); });
    QObject::connect(window_.get(), &MainWindow::keyPressed, window_.get(),
                     [this](const QKeyEvent& event) { input_.keyPressed(event); });
    QObject::connect(window_.get(), &MainWindow::mouseButtonsChanged, window_.get(),
                     [this](Qt::MouseButtons buttons) { input_.buttonsChanged(buttons); });
}

QtPlatform::~QtPlatform()
{
    blockedCloseFilter_.reset();
    boxes_->rejectAll();
    sound_.reset();
    window_->disconnect();
    window_->hide();
}

QSize QtPlatform::plannedDrawingSize(int menuBarHeight)
{
    // The largest 4:3 drawing area that fits, with the menu bar, into 90 % of the screen.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    const double maxWidth = 0.9 * available.width();
    const double maxHeight = 0.9 * available.height() - menuBarHeight;
    int height = static_cast<int>(std::min(maxHeight, maxWidth * 3.0 / 4.0));
    height -= height % 3;
    height = std::max(height, 150);
    return QSize(height / 3 * 4, height);
}

// --- Window ------------------------------------------------------------------

void QtPlatform::openWindow(const std::string& title)
{
    ++activity_;
    title_ = fromProgram(title);
    window_->setWindowTitle(title_);
    if (!opened_)
        window_->resize(window_->windowSizeFor(canvas_->size()));
    opened_ = true;
    // Shown at the first presentation rather than now: the menu bar and the first screen are
    // then in place when the window appears, with no empty frame and no relayout before it.
    showPending_ = true;
}

void QtPlatform::showIfPending()
{
    if (!showPending_ || userClosed() || closedByProgram_)
        return;
    showPending_ = false;
    window_->show();
    window_->activateWindow();
    window_->canvasWidget()->setFocus();
    if (const QScreen* screen = window_->screen())
        pacer_.setRefreshRate(screen->refreshRate());
}

int QtPlatform::drawingWidth() const
{
    return canvas_->size().width();
}

int QtPlatform::drawingHeight() const
{
    return canvas_->size().height();
}

void QtPlatform::setWindowBackground(Colour colour)
{
    windowBackground_ = PixelCanvas::toQColor(colour);
}

void QtPlatform::clearWindow()
{
    // A new screen: drawn at the window's present size.
    if (window_->canvasWidget()->showsCanvasScaled())
        window_->canvasWidget()->followWidget();
    canvas_->clear(windowBackground_);
}

bool QtPlatform::windowExists() const
{
    return opened_ && !closedByUser_ && !closedByProgram_;
}

void QtPlatform::closeWindow()
{
    qCInfo(lcPlatform) << "shut-down: the program closes its window";
    ++activity_;
    closedByProgram_ = true;
    heldChoices_.clear();
    boxes_->rejectAll();
    window_->closeByProgram();
    QCoreApplication::processEvents();
}

void QtPlatform::onClosedByUser()
{
    qCInfo(lcPlatform) << "the user closed the window";
    closedByUser_ = true;
    heldChoices_.clear();
    boxes_->rejectAll();
    if (closeHandler_)
        closeHandler_();
}

// --- Events --------------------------------------------------------------------

void QtPlatform::present()
{
    showIfPending();
    const QRect dirty = canvas_->takeDirtyRect();
    if (dirty.isEmpty() || !window_->isVisible())
        return;
    CanvasWidget* widget = window_->canvasWidget();
    if (widget->showsCanvasScaled())
        widget->update();   // a canvas rectangle is another rectangle on the widget
    else
        widget->update(dirty);
}

void QtPlatform::waitMilliseconds(int milliseconds, bool untilInput)
{
    if (milliseconds <= 0 || userClosed())
        return;
    QEventLoop loop;
    QTimer timeUp;
    timeUp.setSingleShot(true);
    timeUp.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timeUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(window_.get(), &MainWindow::closedByUser, &loop, &QEventLoop::quit);
    if (untilInput) {
        QObject::connect(window_.get(), &MainWindow::keyPressed, &loop, &QEventLoop::quit);
        QObject::connect(window_.get(), &MainWindow::mouseButtonsChanged, &loop, &QEventLoop::quit);
    }
    timeUp.start(milliseconds);
    loop.exec();
}

void QtPlatform::dispatchHeldChoices()
{
    // A choice dispatched here may run a whole command, whose own processEvents() calls
    // dispatch the choices made meanwhile: the queue is shared, so the order holds.
    while (!heldChoices_.empty() && !userClosed() && !closedByProgram_) {
        const int index = heldChoices_.front();
        heldChoices_.pop_front();
        if (menuHandler_)
            menuHandler_(index);
    }
}

void QtPlatform::processEvents()
{
    ++activity_;
    present();
    QCoreApplication::processEvents();
    if (!userClosed() && canvas_->changeCount() != drawnAtReturn_) {
        const qint64 nanoseconds = pacer_.nanosecondsToWait();
        if (nanoseconds > 0)
            waitMilliseconds(static_cast<int>(std::ceil(nanoseconds / 1e6)), false);
    }
    dispatchHeldChoices();
    drawnAtReturn_ = canvas_->changeCount();
    pacer_.markReturn();
}

void QtPlatform::waitForEvents()
{
    ++activity_;
    present();
    // Between commands the canvas follows the window's size at once; a command dispatched
    // from here draws in the size it found.
    CanvasWidget* widget = window_->canvasWidget();
    widget->setCanvasFollowsSize(true);
    if (userClosed() || closedByProgram_ || !heldChoices_.empty())
        QCoreApplication::processEvents();
    else
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    widget->setCanvasFollowsSize(false);
    dispatchHeldChoices();
    drawnAtReturn_ = canvas_->changeCount();
    pacer_.markReturn();
}

// --- Menu ------------------------------------------------------------------------

void QtPlatform::installMenu(const std::vector<std::string>& items)
{
    MenuBarBuilder::build(*window_->menuBar(), items, [this](int index) {
        if (!userClosed() && !closedByProgram_)
            heldChoices_.push_back(index);
    });
}

// --- Drawing state -------------------------------------------------------------------

void QtPlatform::setForeground(Colour colour)
{
    canvas_->setForeground(PixelCanvas::toQColor(colour));
}

void QtPlatform::setBackground(Colour colour)
{
    canvas_->setBackground(PixelCanvas::toQColor(colour));
}

void QtPlatform::setLineWidth(int pixels)
{
    canvas_->setLineWidth(pixels);
}

void QtPlatform::setFontName(const std::string& name)
{
    fontName_ = fromProgram(name);
    updateFont();
}

void QtPlatform::setFontSize(double points)
{
    fontPoints_ = points;
    updateFont();
}

void QtPlatform::updateFont()
{
    canvas_->setFont(Fonts::font(fontName_, fontPoints_));
}

void QtPlatform::setTitleAttribute(bool on)
{
    canvas_->setTransparentText(on);
}

// --- Drawing ---------------------------------------------------------------------------

void QtPlatform::drawLine(double x1, double y1, double x2, double y2)
{
    canvas_->drawLine(pixelAt(x1, y1), pixelAt(x2, y2));
}

void QtPlatform::drawRectangle(double x1, double y1, double x2, double y2)
{
    canvas_->drawRectangle(pixelAt(x1, y1), pixelAt(x2, y2));
}

void QtPlatform::fillRectangle(double x1, double y1, double x2, double y2)
{
    canvas_->fillRectangle(pixelAt(x1, y1), pixelAt(x2, y2));
}

void QtPlatform::drawCircle(double centreX, double centreY, double radius)
{
    canvas_->drawDisc(pixelAt(centreX, centreY), radius);
}

void QtPlatform::drawText(double x, double y, const std::string& text)
{
    canvas_->drawText(pixelAt(x, y), fromProgram(text));
}

void QtPlatform::setTextCursor(int column, int row)
{
    canvas_->setTextCursor(column, row);
}

void QtPlatform::printLine(const std::string& text)
{
    canvas_->printLine(fromProgram(text));
}

ImageString QtPlatform::capture(double x1, double y1, double x2, double y2)
{
    return canvas_->capture(pixelAt(x1, y1), pixelAt(x2, y2));
}

void QtPlatform::putImage(double x, double y, const ImageString& image)
{
    canvas_->putImage(pixelAt(x, y), image);
}

// --- Pictures ------------------------------------------------------------------------------

PictureId QtPlatform::loadPicture(const std::string& fileName)
{
    const QString name = fromProgram(fileName);
    PictureLoader::Result result = PictureLoader::load(name);
    if (!result.ok()) {
        // The program goes on without the picture; the teacher learns which file to fix.
        QString text = result.problem;
        text.replace(QLatin1Char('\n'), QLatin1Char('|'));
        messageBox(MessageBoxes::kWarningStyle, text.toStdString(), 1, "OK");
        return 0;
    }
    const PictureId id = nextPicture_++;
    pictures_.emplace(id, std::move(result.image));
    return id;
}

void QtPlatform::drawPicture(PictureId picture, double x, double y, double width, double height)
{
    const auto found = pictures_.find(picture);
    if (found == pictures_.end())
        return;
    const QPoint topLeft = pixelAt(x, y);
    const QPoint bottomRight = pixelAt(x + width, y + height);
    canvas_->drawPicture(found->second, QRect(topLeft, QSize(bottomRight.x() - topLeft.x(),
                                                             bottomRight.y() - topLeft.y())));
}

void QtPlatform::releasePicture(PictureId picture)
{
    qCInfo(lcPlatform) << "released picture" << picture;
    pictures_.erase(picture);
}

std::string QtPlatform::programFolder() const
{
    return QCoreApplication::applicationDirPath().toStdString();
}

void QtPlatform::setCurrentFolder(const std::string& folder)
{
    QDir::setCurrent(fromProgram(folder));
}

// --- Sound -----------------------------------------------------------------------------------

void QtPlatform::playSound(const std::string& fileName, int)
{
    if (!sound_) {
        ClickSoundSetup setup;
        // An unusable click file is the teacher's to fix, told in a box like a picture's;
        // a PC without a sound device is normal and stays a line on stderr.
        setup.fileProblem = [this](const QString& text) {
            messageBox(MessageBoxes::kWarningStyle, text.toStdString(), 1, "OK");
        };
        sound_ = std::make_unique<ClickSound>(std::move(setup));
    }
    sound_->play(fromProgram(fileName));
}

// --- Input -------------------------------------------------------------------------------------

bool QtPlatform::pollLoopDetected()
{
    return activity_ + canvas_->changeCount() == activityAtEmptyPoll_;
}

void QtPlatform::notePollResult(bool foundSomething)
{
    activityAtEmptyPoll_ = foundSomething ? ~quint64(0) : activity_ + canvas_->changeCount();
}

void QtPlatform::takeInInput()
{
    // In a loop that only polls, wait for the next key or button instead of spinning; a key
    // or button ends the wait at once, so the time limit only bounds how often an idle
    // prompt wakes up. Otherwise just take in what has arrived: a poll between drawing steps
    // (the flight's stop test) costs no repaint, the next pause or event processing shows
    // the drawing anyway.
    showIfPending();
    if (pollLoopDetected()) {
        present();
        waitMilliseconds(kIdlePollMilliseconds, true);
    }
    else
        QCoreApplication::processEvents();
}

std::string QtPlatform::takeKey()
{
    if (!input_.hasKey() && !userClosed())
        takeInInput();
    const QString key = input_.takeKey();
    notePollResult(!key.isEmpty());
    return key.toStdString();
}

int QtPlatform::mouseButtons()
{
    if (userClosed())
        return 0;
    if (input_.peekButtons() == 0)
        takeInInput();
    const int buttons = input_.takeButtons();
    notePollResult(buttons != 0);
    return buttons;
}

// --- Time ------------------------------------------------------------------------------------------

void QtPlatform::pause(int milliseconds)
{
    ++activity_;
    if (userClosed())
        return;
    QElapsedTimer waited;
    waited.start();
    present();
    QCoreApplication::processEvents();
    waitMilliseconds(milliseconds - static_cast<int>(waited.elapsed()), false);
}

double QtPlatform::timer()
{
    return secondsAtClockStart_ + clock_.nsecsElapsed() / 1e9;
}

// --- Random ----------------------------------------------------------------------------------------

// A draw between two polls means the program is stepping, not waiting in a poll loop.
void QtPlatform::seedRandom(double value)
{
    ++activity_;
    random_.mixSeed(value);
}

double QtPlatform::random()
{
    ++activity_;
    return random_.nextDouble();
}

// --- Boxes -------------------------------------------------------------------------------------------

int QtPlatform::messageBox(int style, const std::string& text, int defaultButton, const std::string& captions)
{
    ++activity_;
    const int buttonCount = static_cast<int>(fromProgram(captions).count(QLatin1Char('|'))) + 1;
    const int fallback = std::clamp(defaultButton, 1, buttonCount);
    if (userClosed() || closedByProgram_)
        return fallback;
    present();
    MessageBoxes::Request request;
    request.style = style;
    request.text = fromProgram(text);
    request.defaultButton = defaultButton;
    request.captions = fromProgram(captions);
    request.title = title_;
    QWidget* parent = window_->isVisible() ? window_.get() : nullptr;
    const int chosen = boxes_->show(parent, request);
    // Hand the keyboard back to the main window, so that Alt+D, Alt+E and Alt+H work at once
    // after a box, also on a desktop whose window manager does not refocus by itself.
    if (parent && !userClosed())
        window_->activateWindow();
    return chosen;
}
