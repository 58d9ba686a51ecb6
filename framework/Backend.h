#pragma once
// The seam between the dialog framework and a platform back end.
//
// A back end creates a dialog's native window and controls from a template,
// reads and writes their state, runs a nested modal loop, reports raw user
// events, and provides the few platform services the dialogs need (message
// boxes, clipboard, opening a file, the sockets check). Everything that is
// the same on every platform (data exchange, command routing, what Enter and
// Escape do, combo matching, centring) lives in the framework, which reaches
// the back end only through these interfaces.
//
// A modal run is one call, `Backend::runModal`, because a system dialog
// manager creates, initialises and runs a dialog in one call: the back end
// creates the window, calls `WindowEvents::onWindowCreated` once the controls
// exist, then loops until `Window::endDialog`.

#include "framework/Template.h"

#include <memory>
#include <string>
#include <string_view>

namespace tavrin::fw {

// A rectangle in screen pixels.
struct PixelRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

// Buttons and icon of a message box; values as the Windows API uses them.
enum class MbButtons { Ok = 0x0, OkCancel = 0x1, YesNoCancel = 0x3, YesNo = 0x4 };
enum class MbIcon { None = 0x0, Error = 0x10, Question = 0x20, Exclamation = 0x30, Information = 0x40 };

// Results of dialogs and message boxes, which are also the commands of
// their buttons.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
// The help command, raised by F1 where the platform has it.
inline constexpr int kIdHelp = 57670;

// What became of a request to put text on the clipboard.
enum class ClipboardResult {
    Copied,
    CannotOpen,     // another program holds the clipboard
    NoMemory,       // the memory block could not be allocated or locked
    Refused,        // the clipboard did not take the data
};

// A created dialog window, as the framework sees it. Control ids are those
// of the dialog's template.
class Window {
public:
    virtual ~Window() = default;

    // Edit boxes, the combo's edit field, static texts and button captions.
    virtual std::string text(int id) const = 0;
    virtual void setText(int id, std::string_view text) = 0;

    // Check boxes and radio buttons: 0 clear, 1 ticked, 2 indeterminate.
    virtual int checkState(int id) const = 0;
    virtual void setCheckState(int id, int state) = 0;

    // Combo box lists. An index of -1 means no item.
    virtual bool addListItem(int id, std::string_view item) = 0;
    virtual int listCount(int id) const = 0;
    virtual std::string listItem(int id, int index) const = 0;
    virtual int listSelection(int id) const = 0;
    // Selecting an item shows its text in the edit field; -1 selects none
    // and leaves the edit field empty.
    virtual void setListSelection(int id, int index) = 0;
    virtual bool isListDropped(int id) const = 0;
    virtual void closeList(int id) = 0;

    // Keyboard focus by control id (kNoId: none of the dialog's controls).
    virtual int focus() const = 0;
    virtual void setFocus(int id) = 0;

    // The whole visible window, frame included (a shadow drawn around it is
    // not), in screen pixels; `moveTo` puts its top left at x, y.
    virtual PixelRect frame() const = 0;
    virtual void moveTo(int x, int y) = 0;
    virtual bool isVisibleAndNotMinimised() const = 0;

    // Big and small window icon from an icon resource.
    virtual void setIcon(int iconId) = 0;
    // False when the window has no system menu.
    virtual bool appendSystemMenuSeparator() = 0;
    virtual bool appendSystemMenuItem(unsigned command, std::string_view text) = 0;
    // Opens the system menu, as a user would from the keyboard.
    virtual void openWindowMenu() = 0;

    // Ends the modal run of this window with `result`.
    virtual void endDialog(int result) = 0;
};

// Painting a window's client area on a platform that leaves a minimised
// window's picture to the program (Win32). Nothing is painted until the first
// drawing call; a paint handler that draws nothing leaves the platform's own
// painting in place.
class PaintContext {
public:
    virtual ~PaintContext() = default;
    virtual bool isMinimised() const = 0;
    virtual int clientWidth() const = 0;
    virtual int clientHeight() const = 0;
    // The system's size of a window icon.
    virtual int iconWidth() const = 0;
    virtual int iconHeight() const = 0;
    // Erases the background an icon is drawn on.
    virtual void eraseIconBackground() = 0;
    // Draws icon resource `iconId` with its top left at x, y of the client area.
    virtual void drawIcon(int iconId, int x, int y) = 0;
};

// What a back end reports to the framework about one dialog.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    // The window and its controls exist; false ends the run with -1.
    virtual bool onWindowCreated(Window& window) = 0;
    // A push button, check box or radio button was pressed (a radio or check
    // box has already changed its state), or the system's dialog manager sent
    // a command: 1 for Enter on the default button, 2 for Escape, the close
    // box and the system menu's Close.
    virtual void onCommand(int id) = 0;
    // Enter with the focus on control `focusId`, and Escape, from back ends
    // that have no dialog manager of their own: the framework decides what
    // each key does. A dropped list takes both keys for itself and never
    // reports them.
    virtual void onEnterKey(int /*focusId*/) {}
    virtual void onEscapeKey() {}
    // Alt+Space, from back ends whose window system leaves that key to the
    // program.
    virtual void onAltSpaceKey() {}
    // Asked by a back end that draws a combo box's list itself: the item of
    // combo `comboId` that its field shows, -1 for none. The list opens on
    // that item, and Up and Down step on from it.
    virtual int onListItemRequest(int /*comboId*/) { return -1; }
    // An entry of the system menu other than the standard ones.
    virtual void onWindowMenuCommand(unsigned command) = 0;
    // The window needs painting (Win32 only).
    virtual void onPaintRequest(PaintContext& /*paint*/) {}
    // The icon resource shown while the minimised window is dragged (Win32
    // only); 0 leaves the platform's default.
    virtual int onDragIconRequest() { return 0; }
};

class Backend {
public:
    virtual ~Backend() = default;

    // Creates the dialog from `tmpl`, owned by `owner` (nullptr: none),
    // calls `events.onWindowCreated`, and runs a nested loop, in which the owner
    // takes no input, until the window ends. Returns the end result, or -1
    // when the window could not be created or initialisation failed.
    virtual int runModal(const DialogTemplate& tmpl, Window* owner, WindowEvents& events) = 0;

    // The screen's work area, for centring.
    virtual PixelRect workArea() const = 0;

    // A modal message box; returns the id of the button pressed.
    virtual int messageBox(Window* owner, std::string_view text, std::string_view caption, MbButtons buttons,
                           MbIcon icon) = 0;

    // Puts `text` on the clipboard as plain, zero-terminated text. On any
    // failure the clipboard keeps its previous content and nothing leaks.
    virtual ClipboardResult copyText(Window& owner, std::string_view text) = 0;

    // Opens a file with the application the desktop associates with it;
    // false when no application could be started, or the one started ended
    // with a failure at once (within two seconds) and so showed nothing.
    virtual bool openWithDefaultApplication(const std::string& path) = 0;

    // Starts the platform's sockets layer (version 1.1 on Windows); true
    // where there is none to start.
    virtual bool startSockets() = 0;
};

}  // namespace tavrin::fw
