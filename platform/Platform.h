#pragma once

// The one interface between the program and the machine it runs on.
// The program (core/, detector/, screens/, measurement/, shell/) calls only this;
// platform/qt/ is the desktop binding, platform/web/ the browser's, platform/fake/ the
// scripted one for tests, and each entry point (app/) is the only place that picks one.
// The rules below are kept for all of them by platform/BindingCore.
//
// Coordinates are pixels of the window's drawing area (device-independent
// pixels on HiDPI screens), x to the right, y downwards, passed as doubles.
// Colours are 24-bit values: red in the low byte, then green, then blue.
//
// The program ends in one of two ways, and both look the same from here on:
// the user closes the window (the close handler runs once), or the program begins its
// shut-down itself (beginShutDown(), the Quit command). From then on
// - pause(), waitForInput(), waitForEvents() and messageBox() return at once, a box with
//   the default button (clamped to the buttons there are);
// - takeKey() gives "" and mouseButtons() 0;
// - no menu choice is delivered any more, also none that was held;
// - drawing goes on working (unseen once the window is gone), so unwinding commands
//   need no tests of their own.
// windowExists() turns false when the user closed the window or the program called
// closeWindow(); a shut-down begun by the program keeps the window until then.

#include "platform/PlatformTypes.h"

#include <cstdint>
#include <string>
#include <vector>

using MenuHandler = void (*)(int32_t index);
using CloseHandler = void (*)();
using TableWriter = std::string (*)();

// How a box looks (its icon, its sound); the codes are those the lesson has always used.
enum class BoxStyle : int {
    Notice = 1,         // a short notice: the start hint, "Neue Versuchsreihe!"
    Explanation = 19,   // the theory and usage texts, the halt notice
    Warning = 48,       // the binding's own: a file the program cannot use
    About = 147,        // the author box, with the program's icon
};

// What ended a waitForInput().
enum class InputWait {
    KeyOrButton,   // a key press waits to be taken, or a mouse button is down
    MenuChoice,    // a menu choice is held; the next processEvents() or waitForEvents() runs it
    Ended,         // the window was closed or the shut-down has begun
    TimeUp,
};

// The character grid of the current font, in pixels.
struct TextCell {
    int width = 0;    // the font's average character width
    int height = 0;   // its character height (ascent plus descent)
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- Window -------------------------------------------------------------
    // Opens the main window, large (4:3 drawing area, the largest that fits about 90 % of the screen).
    virtual void openWindow(const std::string& title) = 0;
    // Size of the drawing area in pixels, read afresh at every call; before the window
    // is open, the size it is going to have.
    virtual int drawingWidth() const = 0;
    virtual int drawingHeight() const = 0;
    // Colour that clearWindow() fills with.
    virtual void setWindowBackground(Colour colour) = 0;
    virtual void clearWindow() = 0;
    // False once the user has closed the window (the close handler has run by then) or
    // the program has called closeWindow().
    virtual bool windowExists() const = 0;
    virtual void closeWindow() = 0;
    // Quit was chosen: from now on the rules of an ending program hold (see the top).
    virtual void beginShutDown() = 0;

    // --- Events -------------------------------------------------------------
    // Menu choices are delivered to the handler only from inside processEvents() and
    // waitForEvents(), nested if a command is running; choices made during pause(),
    // waitForInput(), takeKey() or mouseButtons() are held and delivered, in order, at the
    // next of those two calls.
    virtual void setMenuHandler(MenuHandler handler) = 0;
    // Called once when the user closes the main window.
    virtual void setCloseHandler(CloseHandler handler) = 0;
    // Blocks without using the CPU until at least one event has been handled.
    virtual void waitForEvents() = 0;
    // Handles pending events and shows what was drawn; when something was drawn since the
    // previous call it returns when the next paced step is due: 60 steps a second.
    virtual void processEvents() = 0;
    // Shows what was drawn, then blocks without using the CPU until a key press waits to
    // be taken, a mouse button is down, a menu choice is held, the program ends, or
    // timeoutMilliseconds have passed (a negative time-out: no limit). Takes nothing.
    virtual InputWait waitForInput(int timeoutMilliseconds) = 0;
    // Whether a choice of this menu index is held for the next processEvents() or
    // waitForEvents().
    virtual bool holdsMenuChoice(int32_t index) const = 0;

    // --- Menu ---------------------------------------------------------------
    // items: a title ending in " |", its entries ("----------" is a separator, "&" marks
    // the mnemonic), "" after each title's entries, and a second "" after the last list.
    // The handler receives the position of the chosen entry in items.
    virtual void installMenu(const std::vector<std::string>& items) = 0;

    // --- Drawing state (global to the window) -------------------------------
    virtual void setForeground(Colour colour) = 0;
    // Fill colour of opaque text cells.
    virtual void setBackground(Colour colour) = 0;
    virtual void setLineWidth(int pixels) = 0;
    virtual void setFontName(const std::string& name) = 0;
    // Points at 96 logical DPI: k points are k * 4 / 3 pixels.
    virtual void setFontSize(double points) = 0;
    // With the title attribute on, text is drawn transparently (glyphs only);
    // with it off, every character cell is filled with the background colour first.
    virtual void setTitleAttribute(bool on) = 0;

    // --- Drawing ------------------------------------------------------------
    virtual void drawLine(double x1, double y1, double x2, double y2) = 0;
    // Outline through the pixel columns x1 and x2 and rows y1 and y2, in the foreground colour.
    virtual void drawRectangle(double x1, double y1, double x2, double y2) = 0;
    // Filled with the foreground colour, corners included.
    virtual void fillRectangle(double x1, double y1, double x2, double y2) = 0;
    // A filled disc in the foreground colour.
    virtual void drawCircle(double centreX, double centreY, double radius) = 0;
    // Text with its top-left corner at the given pixel.
    virtual void drawText(double x, double y, const std::string& text) = 0;
    // The cell of the current font's character grid.
    virtual TextCell textCell() = 0;
    // How wide the text is in the current font, in pixels.
    virtual int textWidth(const std::string& text) = 0;
    // Text cursor on the character grid of the current font, column and row counted from 1,
    // taken at this call.
    virtual void setTextCursor(int column, int row) = 0;
    // Draws at the text cursor, then moves the cursor to column 1 of the next row.
    virtual void printLine(const std::string& text) = 0;
    // The pixels from (x1, y1) to (x2, y2), both corners included.
    virtual ImageString capture(double x1, double y1, double x2, double y2) = 0;
    // Puts a captured rectangle back with its top-left corner at (x, y).
    virtual void putImage(double x, double y, const ImageString& image) = 0;

    // --- Pictures -----------------------------------------------------------
    // Loads a GIF or JPEG by file name from the current directory. A file that cannot be
    // used gives 0; its problem is told to the user in a box once per run, and the
    // program goes on without the picture.
    virtual PictureId loadPicture(const std::string& fileName) = 0;
    // Draws the picture stretched into the rectangle; does nothing for 0.
    virtual void drawPicture(PictureId picture, double x, double y, double width, double height) = 0;
    virtual void releasePicture(PictureId picture) = 0;
    // The folder that holds the program.
    virtual std::string programFolder() const = 0;
    // What this edition is built with besides C++, as the title screen and the about box
    // name it: "Qt" on the desktop, "WebAssembly" in the browser.
    virtual std::string toolkitName() const = 0;
    virtual void setCurrentFolder(const std::string& folder) = 0;

    // --- Sound --------------------------------------------------------------
    // Starts playing a WAV file from the current directory and returns at once; sounds that
    // overlap are mixed. mode 0, the only one the program uses, plays the file once. A file
    // that cannot be used is told in a box once per run; no sound device is normal (a PC
    // without speakers) and stays silent.
    virtual void playSound(const std::string& fileName, int mode) = 0;

    // --- Input --------------------------------------------------------------
    // The oldest pending key press as text, consumed; "" if none.
    virtual std::string takeKey() = 0;
    // 0 none, 1 left, 2 right, 3 both: the buttons held now, and any pressed since the
    // previous call (a press counts at one call, a button still held at every call).
    virtual int mouseButtons() = 0;

    // --- Time ---------------------------------------------------------------
    // Waits without using the CPU; shows what was drawn first.
    virtual void pause(int milliseconds) = 0;
    // Seconds, fraction included.
    virtual double timer() = 0;

    // --- Random -------------------------------------------------------------
    // Mixes the value into the generator's state; never restarts the stream.
    virtual void seedRandom(double value) = 0;
    // Uniform in [0, 1).
    virtual double random() = 0;

    // --- Counter ------------------------------------------------------------
    // Whether a real counter at the audio input registers the particles instead of the
    // random draw.
    virtual bool counterIsOn() const = 0;
    // The clicks the counter registered since the previous call; 0 while none is on.
    virtual int takeCounterClicks() = 0;
    // An interval starts: the clicks heard before it (the evaluation, boxes, pauses) are
    // nobody's measurement and are dropped.
    virtual void startCounterInterval() = 0;

    // --- Taking the counts home ---------------------------------------------
    // Ctrl+S saves the table the writer gives (a save dialog on the desktop, a download in
    // the browser). Asked for when the next processEvents() or waitForEvents() runs, like a
    // menu choice, so a running interval is never half in it; no key press reaches the program.
    virtual void setTableWriter(TableWriter writer) = 0;

    // --- Boxes --------------------------------------------------------------
    // Modal box; every "|" of the text starts a new line, and each line stays one line
    // (the box grows to fit, up to the screen). Button captions are separated by "|".
    // Returns the number (from 1) of the button chosen; a box closed without a button
    // (Escape, or the program ending) gives the default button, clamped to the buttons.
    virtual int messageBox(BoxStyle style, const std::string& text, int defaultButton,
                           const std::string& captions) = 0;

    // --- Screen readers -----------------------------------------------------
    // A result just drawn, in the words drawn, for those who cannot see the drawing; a
    // binding without a way to speak it lets it pass.
    virtual void announce(const std::string& text) = 0;
};

// The binding the program draws with; installed once by main() or a test.
Platform& platform();
void installPlatform(Platform& binding);
