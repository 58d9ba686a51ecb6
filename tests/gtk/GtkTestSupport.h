#pragma once
// Drives GTK dialogs in tests as a user would: key presses and mouse
// clicks go through the X server to the dialog's windows (so grabs and
// modality apply), and the test waits for GTK to handle them.

#include "framework/backends/gtk/GtkDialogWindow.h"

#include <functional>
#include <string>
#include <vector>

namespace tavrin::fw::gtk::test {

// Runs GTK's main context until `done` holds or `ms` milliseconds pass; returns `done()`.
bool waitFor(const std::function<bool()>& done, int ms = 10000);
// Returns once GTK has handled all the input sent so far: a round trip to the X server brings every event the
// server made before it into our queue, then the main context runs until nothing is left to do, the reports
// the events raised included.
void handleSentInput();
// A probe that queues behind the input sent before its first call, for a wait that does not run the main
// context itself: it holds once GTK has handled that input and the reports it raised.
std::function<bool()> inputHandled();
// Sends a key press and release, or a click (at x, y in `widget`, else its middle), through the X server
// without waiting for GTK to handle it.
void sendKey(GtkWidget* widget, guint keyval, GdkModifierType modifiers = GdkModifierType(0));
void sendText(GtkWidget* widget, const std::string& text);
void sendClick(GtkWidget* widget, int x = -1, int y = -1);
// Focuses `widget`'s window (failing the test if it never gets the focus), presses and releases `keyval`
// there and returns once GTK has handled it.
void pressKey(GtkWidget* widget, guint keyval, GdkModifierType modifiers = GdkModifierType(0));
// Types `text` (ASCII) into the focused control of `widget`'s window.
void typeText(GtkWidget* widget, const std::string& text);
// Clicks the middle of `widget` with the first mouse button and returns once GTK has handled it.
void click(GtkWidget* widget);
// The first widget below `root` of `type` that `match` accepts.
GtkWidget* findWidget(GtkWidget* root, GType type, const std::function<bool(GtkWidget*)>& match = {});
// The header bar's close button of `window`.
GtkWidget* closeBox(GtkWindow* window);
// The widget of `window` whose accessible name is `name`, and that is of `type`.
GtkWidget* named(GtkWindow* window, const std::string& name, GType type = GTK_TYPE_WIDGET);
// The widget the back end placed for control `id`, found by the id it carries.
GtkWidget* placedWidget(GtkDialogWindow& window, int id);
// The widget of control `id` that takes the focus: a combo box's field, a multi-line box's text view.
GtkWidget* controlWidget(GtkDialogWindow& window, int id);
// The drop-down window of a combo box's list; nullptr until the list first drops.
GtkWidget* dropDown();
// A toplevel window other than the ones in `known` that is shown, of `type`.
GtkWidget* shownToplevel(GType type);

// Reads the clipboard with xclip, in another process, while our own loop keeps serving it.
class ClipboardReader {
public:
    ClipboardReader() = default;
    ClipboardReader(const ClipboardReader&) = delete;
    ClipboardReader& operator=(const ClipboardReader&) = delete;
    ~ClipboardReader();
    void start();
    bool done() const { return done_; }
    const std::string& text() const { return text_; }

private:
    static void finished(GObject* source, GAsyncResult* result, gpointer self);
    GObjectPtr<GSubprocess> process_;
    GObjectPtr<GCancellable> cancel_;
    bool done_ = false;
    std::string text_;
};

// Empties the clipboard, so that a wait for a copied text sees the copy and not what an earlier one left.
void clearClipboard();
// Holds once another program reads `expected` from the clipboard; until then it reads it again and again.
std::function<bool()> clipboardHolds(std::string expected);

// The clipboard as another program holds it: xclip, in the foreground, serves `text` until something else is
// copied or the owner is destroyed.
class ClipboardOwner {
public:
    ClipboardOwner() = default;
    ClipboardOwner(const ClipboardOwner&) = delete;
    ClipboardOwner& operator=(const ClipboardOwner&) = delete;
    ~ClipboardOwner();
    // Starts serving `text`; `serving()` turns true once xclip has taken the clipboard.
    void serve(const std::string& text);
    bool serving() const;

private:
    void stop();
    GObjectPtr<GSubprocess> process_;
    unsigned long ownerBefore_ = 0;
};

// Runs a program and returns what it wrote to its standard output.
std::string commandOutput(const std::vector<std::string>& argv);
// The whole content of a file; empty when it cannot be read.
std::string fileText(const std::string& path);

// Window events that record what the back end reports and run a test
// script inside the dialog's modal loop once the window is mapped.
class ScriptedEvents : public fw::WindowEvents {
public:
    using Script = std::function<void(GtkDialogWindow&)>;
    explicit ScriptedEvents(Script script, std::function<void(GtkDialogWindow&)> init = {});

    bool onWindowCreated(fw::Window& window) override;
    // Ids 1 and 2 end the dialog with that result, as the framework's default commands do.
    void onCommand(int id) override;
    void onEnterKey(int focusId) override;
    // Escape ends the dialog with 2, as the framework's does with no list dropped.
    void onEscapeKey() override;
    void onWindowMenuCommand(unsigned command) override;
    // Alt+Space opens the window menu, and a combo box shows the item selected, else the first its text begins
    // with, as the framework decides.
    void onAltSpaceKey() override { window->openWindowMenu(); }
    int onListItemRequest(int comboId) override;

    std::vector<std::string> log;
    GtkDialogWindow* window = nullptr;
    bool scriptDone = false;
    bool ended = false;

private:
    static gboolean runScript(gpointer self);
    Script script_;
    std::function<void(GtkDialogWindow&)> init_;
};

}  // namespace tavrin::fw::gtk::test
