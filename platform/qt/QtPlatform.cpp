#include "platform/qt/QtPlatform.h"

#include "platform/qt/BlockedCloseFilter.h"
#include "platform/qt/BoxDialog.h"
#include "platform/qt/CanvasWidget.h"
#include "platform/qt/ClickSound.h"
#include "platform/qt/CounterIndicator.h"
#include "platform/qt/CounterInput.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/KeyText.h"
#include "platform/qt/Logging.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/MenuBarBuilder.h"
#include "platform/qt/PictureLoader.h"
#include "platform/qt/PixelCanvas.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

QString fromProgram(const std::string& text)
{
    return QString::fromStdString(text);
}

QPoint pixelAt(double x, double y)
{
    return QPoint(PixelCanvas::pixelOf(x), PixelCanvas::pixelOf(y));
}

// 0 none, 1 left, 2 right, 3 both.
int buttonCode(Qt::MouseButtons buttons)
{
    return (buttons.testFlag(Qt::LeftButton) ? 1 : 0) + (buttons.testFlag(Qt::RightButton) ? 2 : 0);
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
    const QSize available = screen ? screen->availableGeometry().size() : QSize(800, 600);
    canvas_ = std::make_unique<PixelCanvas>(plannedDrawingSize(available, MainWindow::menuBarHeight()),
                                            screen ? screen->devicePixelRatio() : 1.0);
    window_ = std::make_unique<MainWindow>(*canvas_);
    blockedCloseFilter_ = std::make_unique<BlockedCloseFilter>(*window_);
    updateFont();

    QObject::connect(window_.get(), &MainWindow::closedByUser, window_.get(), [this] {
        qCInfo(lcPlatform) << "the user closed the window";
        userClosedWindow();
    });
    QObject::connect(window_.get(), &MainWindow::keyPressed, window_.get(), [this](const QKeyEvent& event) {
        if (event.matches(QKeySequence::Save)) {
            saveAsked();
            return;
        }
        const QString text = keyText(event);
        if (!text.isEmpty())
            keyPressed(text.toStdString());
    });
    QObject::connect(window_.get(), &MainWindow::mouseButtonsChanged, window_.get(),
                     [this](Qt::MouseButtons buttons) { buttonsChanged(buttonCode(buttons)); });
    // Between commands a new size is drawn at once: the wait for events returns for it.
    QObject::connect(window_->canvasWidget(), &CanvasWidget::resized, window_.get(), [this] { otherEvent(); });
}

QtPlatform::~QtPlatform()
{
    blockedCloseFilter_.reset();
    onEnded();
    sound_.reset();
    window_->disconnect();
    window_->hide();
}

QSize QtPlatform::plannedDrawingSize(QSize available, int menuBarHeight)
{
    const double maxWidth = 0.9 * available.width();
    const double maxHeight = 0.9 * available.height() - menuBarHeight;
    int height = static_cast<int>(std::min(maxHeight, maxWidth * 3.0 / 4.0));
    height -= height % 3;
    height = std::max(height, 150);
    return QSize(height / 3 * 4, height);
}

// --- Window ------------------------------------------------------------------

void QtPlatform::showWindow(const std::string& title)
{
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
    if (!showPending_ || !windowExists())
        return;
    showPending_ = false;
    window_->show();
    window_->activateWindow();
    window_->canvasWidget()->setFocus();
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

void QtPlatform::hideWindow()
{
    qCInfo(lcPlatform) << "shut-down: the program closes its window";
    window_->closeByProgram();
    QCoreApplication::processEvents();
}

void QtPlatform::beginShutDown()
{
    qCInfo(lcPlatform) << "the program begins its shut-down";
    BindingCore::beginShutDown();
}

void QtPlatform::onEnded()
{
    const auto boxes = openBoxes_;
    for (const QPointer<BoxDialog>& box : boxes)
        if (box)
            box->reject();
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

void QtPlatform::takeInEvents()
{
    showIfPending();
    QCoreApplication::processEvents();
    // A release made while a box or a menu had the mouse never reaches the drawing area;
    // Qt's own record of the buttons sees it.
    reconcileButtons(buttonCode(QGuiApplication::mouseButtons()));
}

void QtPlatform::sleep(double milliseconds, Wake)
{
    QEventLoop loop;
    QTimer timeUp;
    timeUp.setSingleShot(true);
    timeUp.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timeUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (milliseconds >= 0)
        timeUp.start(static_cast<int>(std::ceil(milliseconds)));
    QEventLoop* const outer = std::exchange(sleeping_, &loop);
    loop.exec();
    sleeping_ = outer;
}

void QtPlatform::interruptSleep()
{
    if (sleeping_)
        sleeping_->quit();
}

uint64_t QtPlatform::drawCount() const
{
    return canvas_->changeCount();
}

void QtPlatform::setBetweenCommands(bool between)
{
    // Between commands the canvas follows the window's size at once; a command run from
    // the event loop draws in the size it found. A size taken up now counts as an event.
    const QSize before = canvas_->size();
    window_->canvasWidget()->setCanvasFollowsSize(between);
    if (canvas_->size() != before)
        otherEvent();
}

// --- Menu ------------------------------------------------------------------------

void QtPlatform::installMenu(const std::vector<std::string>& items)
{
    MenuBarBuilder::build(*window_->menuBar(), items, [this](int index) { menuChosen(index); });
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

TextCell QtPlatform::textCell()
{
    const QSize cell = canvas_->textCell();
    return TextCell{cell.width(), cell.height()};
}

int QtPlatform::textWidth(const std::string& text)
{
    return canvas_->textWidth(fromProgram(text));
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
        tellFileProblem(text.toStdString());
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
        setup.fileProblem = [this](const QString& text) { tellFileProblem(text.toStdString()); };
        sound_ = std::make_unique<ClickSound>(std::move(setup));
    }
    sound_->play(fromProgram(fileName));
}

// --- Counter ---------------------------------------------------------------------------------

void QtPlatform::useCounter(const QAudioDevice& device)
{
    QString problem;
    counter_ = CounterInput::open(
        device, [this](std::span<const int64_t> onsets, int64_t heardUpTo) { counterHeard(onsets, heardUpTo); },
        problem);
    if (!counter_) {
        qCWarning(lcPlatform).noquote() << "no counter:" << problem;
        tellCounterUnavailable(problem.toStdString());
        return;
    }
    setCounterOn(true, counter_->sampleRate());
    counterIndicator_ = new CounterIndicator([this] { return counter_->takeLevel(); });
    window_->menuBar()->setCornerWidget(counterIndicator_, Qt::TopRightCorner);
    QObject::connect(counter_.get(), &CounterInput::failed, counterIndicator_, [this] {
        qCWarning(lcPlatform) << "the counter's input stopped; the lesson goes on simulated";
        setCounterOn(false);
        counterIndicator_->showFailed();
    });
}

void QtPlatform::logCounterTo(const QString& fileName)
{
    counterLog_ = std::make_unique<QFile>(fileName);
    if (!counterLog_->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text | QIODevice::Unbuffered)) {
        qCWarning(lcPlatform).noquote() << "cannot write the counter's log" << fileName << counterLog_->errorString();
        return;
    }
    setCounterLog([this](const std::string& line) { counterLog_->write((line + '\n').c_str()); });
}

// --- Time ------------------------------------------------------------------------------------------

double QtPlatform::timer()
{
    return secondsAtClockStart_ + clock_.nsecsElapsed() / 1e9;
}

// --- Boxes -------------------------------------------------------------------------------------------

int QtPlatform::showBox(BoxStyle style, const std::string& text, int defaultButton, const std::string& captions)
{
    qCInfo(lcPlatform).noquote() << "box:" << fromProgram(text);
    BoxDialog::Request request;
    request.style = style;
    request.text = fromProgram(text);
    request.defaultButton = defaultButton;
    request.captions = fromProgram(captions);
    request.title = title_;
    QWidget* parent = window_->isVisible() ? window_.get() : nullptr;
    BoxDialog box(parent, request);
    openBoxes_.append(&box);
    const int chosen = box.ask();
    openBoxes_.removeAll(QPointer<BoxDialog>(&box));
    // Hand the keyboard back to the main window, so that Alt+D, Alt+E and Alt+H work at once
    // after a box, also on a desktop whose window manager does not refocus by itself.
    if (parent && !ended())
        window_->activateWindow();
    return chosen;
}

void QtPlatform::saveTable(const std::string& table)
{
    // Each save suggests a new name, so a second series does not overwrite the first.
    const QString suggested = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QDateTime::currentDateTime().toString(u"'/Messreihe 'yyyy-MM-dd HH-mm'.csv'");
    const QString path = QFileDialog::getSaveFileName(window_->isVisible() ? window_.get() : nullptr,
                                                      QStringLiteral("Messreihe speichern"), suggested,
                                                      QStringLiteral("Tabelle (*.csv)"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray bytes = QByteArray::fromStdString(table);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        qCWarning(lcPlatform).noquote() << "saving the table failed:" << path << file.errorString();
        messageBox(BoxStyle::Warning, "Die Messreihe konnte nicht gespeichert werden:|" + path.toStdString() + "|"
                       + file.errorString().toStdString(), 1, " OK ");
    }
}
