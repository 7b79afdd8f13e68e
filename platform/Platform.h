#pragma once

// The one interface between the program and the machine it runs on.
// The program (core/, detector/, screens/, measurement/, shell/) calls only this;
// platform/qt/ is the real binding, platform/fake/ the scripted one for tests,
// and app/main.cpp is the only place that picks one.
//
// Coordinates are pixels of the window's drawing area (device-independent
// pixels on HiDPI screens), x to the right, y downwards, passed as doubles.
// Colours are 24-bit values: red in the low byte, then green, then blue.

#include "platform/PlatformTypes.h"

#include <cstdint>
#include <string>
#include <vector>

using MenuHandler = void (*)(int32_t index);
using CloseHandler = void (*)();

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
    // False once the user has closed the window (the close handler has run by then).
    virtual bool windowExists() const = 0;
    virtual void closeWindow() = 0;

    // --- Events -------------------------------------------------------------
    // Menu choices are delivered to the handler only from inside processEvents() and
    // waitForEvents(), nested if a command is running; choices made during pause(),
    // takeKey() or mouseButtons() are held and delivered, in order, at the next of those calls.
    virtual void setMenuHandler(MenuHandler handler) = 0;
    // Called once when the user closes the main window; from then on boxes and
    // pauses return at once so that running commands unwind quickly.
    virtual void setCloseHandler(CloseHandler handler) = 0;
    // Blocks without using the CPU until at least one event has been handled.
    virtual void waitForEvents() = 0;
    // Handles pending events and shows what was drawn; when something was drawn since the
    // previous call it returns no sooner than one display frame after that call returned.
    virtual void processEvents() = 0;

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
    // Text cursor on the character grid of the current font, column and row counted from 1;
    // the cell is the font's average character width by its character height (ascent plus
    // descent), taken at this call.
    virtual void setTextCursor(int column, int row) = 0;
    // Draws at the text cursor, then moves the cursor to column 1 of the next row.
    virtual void printLine(const std::string& text) = 0;
    // The pixels from (x1, y1) to (x2, y2), both corners included.
    virtual ImageString capture(double x1, double y1, double x2, double y2) = 0;
    // Puts a captured rectangle back with its top-left corner at (x, y).
    virtual void putImage(double x, double y, const ImageString& image) = 0;

    // --- Pictures -----------------------------------------------------------
    // Loads a GIF or JPEG by file name from the current directory. A file that cannot be
    // used is reported to the user in a message box and gives 0; the program goes on.
    virtual PictureId loadPicture(const std::string& fileName) = 0;
    // Draws the picture stretched into the rectangle; does nothing for 0.
    virtual void drawPicture(PictureId picture, double x, double y, double width, double height) = 0;
    virtual void releasePicture(PictureId picture) = 0;
    // The folder that holds the program.
    virtual std::string programFolder() const = 0;
    virtual void setCurrentFolder(const std::string& folder) = 0;

    // --- Sound --------------------------------------------------------------
    // Starts playing a WAV file from the current directory and returns at once. A missing
    // file or sound device is reported once on stderr and otherwise ignored.
    virtual void playSound(const std::string& fileName, int mode) = 0;

    // --- Input --------------------------------------------------------------
    // The oldest pending key press as text, consumed; "" if none.
    virtual std::string takeKey() = 0;
    // 0 none, 1 left, 2 right, 3 both.
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

    // --- Boxes --------------------------------------------------------------
    // Modal box; lines of text and button captions are separated by "|".
    // style: 1 information, 19 question-style notice, 147 about box.
    // Returns the number (from 1) of the button chosen.
    virtual int messageBox(int style, const std::string& text, int defaultButton,
                           const std::string& captions) = 0;
};

// The binding the program draws with; installed once by main() or a test.
Platform& platform();
void installPlatform(Platform& binding);
