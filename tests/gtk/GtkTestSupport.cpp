#include "GtkTestSupport.h"

#include "framework/Dialog.h"

// Before X11's headers, whose macros clash with its names.
#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace tavrin::fw::gtk::test {

bool waitFor(const std::function<bool()>& done, int ms)
{
    gint64 end = g_get_monotonic_time() + ms * 1000;
    while (!done() && g_get_monotonic_time() < end) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        g_usleep(2000);
    }
    return done();
}

namespace {

Display* xDisplay()
{
    return GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
}

}  // namespace

void handleSentInput()
{
    // The server sends the events it made for our requests before the reply to a later request on the same
    // connection, so once the round trip is over they are all in our queue.
    gdk_display_sync(gdk_display_get_default());
    // What a handled event leaves to do (a report, a redraw) is ready at once; a bound keeps an endless chain
    // from hanging the test.
    for (int i = 0; i < 10000 && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
}

std::function<bool()> inputHandled()
{
    auto answered = std::make_shared<bool>(false);
    auto asked = std::make_shared<bool>(false);
    return [answered, asked] {
        if (!*asked) {
            *asked = true;
            // After the round trip the server's events wait in our queue; an idle callback of low priority runs
            // only once they, and the reports and redraws they raised, have been handled.
            gdk_display_sync(gdk_display_get_default());
            using Flag = std::shared_ptr<bool>;
            auto held = std::make_unique<Flag>(answered);
            g_idle_add_full(
                G_PRIORITY_LOW,
                [](gpointer flag) {
                    **static_cast<Flag*>(flag) = true;
                    return G_SOURCE_REMOVE;
                },
                held.release(), [](gpointer flag) { std::unique_ptr<Flag>(static_cast<Flag*>(flag)); });
        }
        return *answered;
    };
}

namespace {

// Gives `toplevel` the keyboard focus, as a user's click on it would; the
// pop-up windows of menus and lists hold the keyboard by a grab instead.
void focusToplevel(GtkWidget* toplevel)
{
    if (!GTK_IS_WINDOW(toplevel) || gtk_window_get_window_type(GTK_WINDOW(toplevel)) == GTK_WINDOW_POPUP)
        return;
    if (gtk_window_has_toplevel_focus(GTK_WINDOW(toplevel)))
        return;
    gtk_window_present(GTK_WINDOW(toplevel));
    if (!waitFor([&] { return gtk_window_has_toplevel_focus(GTK_WINDOW(toplevel)) != FALSE; })) {
        const char* title = gtk_window_get_title(GTK_WINDOW(toplevel));
        ADD_FAILURE() << "the window \"" << (title ? title : "") << "\" never got the keyboard focus";
    }
}

void fakeKey(KeySym keysym, bool press)
{
    if (KeyCode code = XKeysymToKeycode(xDisplay(), keysym))
        XTestFakeKeyEvent(xDisplay(), code, press, CurrentTime);
}

}  // namespace

void sendKey(GtkWidget* widget, guint keyval, GdkModifierType modifiers)
{
    GtkWidget* toplevel = gtk_widget_get_toplevel(widget);
    if (GTK_IS_WINDOW(toplevel) && gtk_window_get_window_type(GTK_WINDOW(toplevel)) == GTK_WINDOW_TOPLEVEL)
        gdk_window_focus(gtk_widget_get_window(toplevel), GDK_CURRENT_TIME);
    Display* display = xDisplay();
    KeyCode code = XKeysymToKeycode(display, keyval);
    bool shift = (modifiers & GDK_SHIFT_MASK) != 0 ||
                 (code != 0 && XkbKeycodeToKeysym(display, code, 0, 0) != keyval &&
                  XkbKeycodeToKeysym(display, code, 0, 1) == keyval);
    if (modifiers & GDK_MOD1_MASK)
        fakeKey(XK_Alt_L, true);
    if (modifiers & GDK_CONTROL_MASK)
        fakeKey(XK_Control_L, true);
    if (shift)
        fakeKey(XK_Shift_L, true);
    fakeKey(keyval, true);
    fakeKey(keyval, false);
    if (shift)
        fakeKey(XK_Shift_L, false);
    if (modifiers & GDK_CONTROL_MASK)
        fakeKey(XK_Control_L, false);
    if (modifiers & GDK_MOD1_MASK)
        fakeKey(XK_Alt_L, false);
    XFlush(display);
}

void sendText(GtkWidget* widget, const std::string& text)
{
    for (char c : text)
        sendKey(widget, gdk_unicode_to_keyval(static_cast<guint32>(static_cast<unsigned char>(c))));
}

void sendClick(GtkWidget* widget, int x, int y)
{
    GtkWidget* toplevel = gtk_widget_get_toplevel(widget);
    GtkAllocation allocation;
    gtk_widget_get_allocation(widget, &allocation);
    int inX = 0;
    int inY = 0;
    gtk_widget_translate_coordinates(widget, toplevel, x >= 0 ? x : allocation.width / 2,
                                     y >= 0 ? y : allocation.height / 2, &inX, &inY);
    int originX = 0;
    int originY = 0;
    gdk_window_get_origin(gtk_widget_get_window(toplevel), &originX, &originY);
    Display* display = xDisplay();
    XTestFakeMotionEvent(display, -1, originX + inX, originY + inY, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
}

void pressKey(GtkWidget* widget, guint keyval, GdkModifierType modifiers)
{
    focusToplevel(gtk_widget_get_toplevel(widget));
    sendKey(widget, keyval, modifiers);
    handleSentInput();
}

void typeText(GtkWidget* widget, const std::string& text)
{
    for (char c : text)
        pressKey(widget, gdk_unicode_to_keyval(static_cast<guint32>(static_cast<unsigned char>(c))));
}

void click(GtkWidget* widget)
{
    sendClick(widget);
    handleSentInput();
}

namespace {

struct Search {
    GType type;
    const std::function<bool(GtkWidget*)>* match;
    GtkWidget* found;
};

void searchChild(GtkWidget* widget, gpointer data)
{
    auto* search = static_cast<Search*>(data);
    if (search->found)
        return;
    if (G_TYPE_CHECK_INSTANCE_TYPE(widget, search->type) && (!*search->match || (*search->match)(widget))) {
        search->found = widget;
        return;
    }
    if (GTK_IS_CONTAINER(widget))
        gtk_container_forall(GTK_CONTAINER(widget), searchChild, data);
}

}  // namespace

GtkWidget* findWidget(GtkWidget* root, GType type, const std::function<bool(GtkWidget*)>& match)
{
    Search search{type, &match, nullptr};
    if (GTK_IS_CONTAINER(root))
        gtk_container_forall(GTK_CONTAINER(root), searchChild, &search);
    return search.found;
}

GtkWidget* closeBox(GtkWindow* window)
{
    return findWidget(gtk_window_get_titlebar(window), GTK_TYPE_BUTTON, [](GtkWidget* button) {
        GtkStyleContext* style = gtk_widget_get_style_context(button);
        return gtk_style_context_has_class(style, "titlebutton") && gtk_style_context_has_class(style, "close");
    });
}

GtkWidget* named(GtkWindow* window, const std::string& name, GType type)
{
    if (!window)
        return nullptr;
    return findWidget(GTK_WIDGET(window), type, [&](GtkWidget* widget) {
        AtkObject* accessible = gtk_widget_get_accessible(widget);
        const char* current = accessible ? atk_object_get_name(accessible) : nullptr;
        return current && name == current;
    });
}

GtkWidget* placedWidget(GtkDialogWindow& window, int id)
{
    return findWidget(GTK_WIDGET(window.gtkWindow()), GTK_TYPE_WIDGET, [id](GtkWidget* widget) {
        return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kControlIdKey)) == id;
    });
}

GtkWidget* controlWidget(GtkDialogWindow& window, int id)
{
    GtkWidget* placed = placedWidget(window, id);
    if (GTK_IS_SCROLLED_WINDOW(placed))
        return gtk_bin_get_child(GTK_BIN(placed));
    if (GTK_IS_BOX(placed))
        return findWidget(placed, GTK_TYPE_ENTRY);
    return placed;
}

GtkWidget* dropDown()
{
    GList* toplevels = gtk_window_list_toplevels();
    GtkWidget* found = nullptr;
    for (GList* item = toplevels; item && !found; item = item->next) {
        auto* widget = GTK_WIDGET(item->data);
        if (gtk_style_context_has_class(gtk_widget_get_style_context(widget), "tavrin-dropdown"))
            found = widget;
    }
    g_list_free(toplevels);
    return found;
}

GtkWidget* shownToplevel(GType type)
{
    GList* toplevels = gtk_window_list_toplevels();
    GtkWidget* found = nullptr;
    for (GList* item = toplevels; item && !found; item = item->next) {
        auto* widget = GTK_WIDGET(item->data);
        if (G_TYPE_CHECK_INSTANCE_TYPE(widget, type) && gtk_widget_get_mapped(widget))
            found = widget;
    }
    g_list_free(toplevels);
    return found;
}

namespace {

// Takes the bytes a process wrote, and releases them.
std::string takeBytes(GBytes* bytes)
{
    std::string text;
    if (bytes) {
        gsize size = 0;
        auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
        text.assign(data, size);
        g_bytes_unref(bytes);
    }
    return text;
}

}  // namespace

ClipboardReader::~ClipboardReader()
{
    // A read still under way reports to no one.
    if (cancel_)
        g_cancellable_cancel(cancel_.get());
}

void ClipboardReader::start()
{
    if (cancel_)
        g_cancellable_cancel(cancel_.get());
    cancel_.reset(g_cancellable_new());
    done_ = false;
    text_.clear();
    GError* error = nullptr;
    process_.reset(g_subprocess_new(G_SUBPROCESS_FLAGS_STDOUT_PIPE, &error, "xclip", "-o", "-selection", "clipboard",
                                    nullptr));
    GErrorPtr owned(error);
    if (!process_) {
        done_ = true;
        text_ = "<xclip did not start>";
        return;
    }
    g_subprocess_communicate_async(process_.get(), nullptr, cancel_.get(), finished, this);
}

void ClipboardReader::finished(GObject* source, GAsyncResult* result, gpointer self)
{
    GBytes* out = nullptr;
    GError* error = nullptr;
    g_subprocess_communicate_finish(G_SUBPROCESS(source), result, &out, nullptr, &error);
    GErrorPtr owned(error);
    std::string text = takeBytes(out);
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED))
        return;  // the reader may be gone
    auto* reader = static_cast<ClipboardReader*>(self);
    reader->text_ = std::move(text);
    reader->done_ = true;
}

void clearClipboard()
{
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "", 0);
}

std::function<bool()> clipboardHolds(std::string expected)
{
    auto reader = std::make_shared<ClipboardReader>();
    auto reading = std::make_shared<bool>(false);
    return [reader, reading, expected = std::move(expected)] {
        if (*reading && !reader->done())
            return false;
        if (*reading && reader->text() == expected)
            return true;
        reader->start();
        *reading = true;
        return false;
    };
}

namespace {

::Window clipboardOwnerWindow()
{
    return XGetSelectionOwner(xDisplay(), XInternAtom(xDisplay(), "CLIPBOARD", False));
}

}  // namespace

ClipboardOwner::~ClipboardOwner()
{
    stop();
}

void ClipboardOwner::stop()
{
    if (!process_)
        return;
    g_subprocess_force_exit(process_.get());
    g_subprocess_wait(process_.get(), nullptr, nullptr);
    process_.reset();
}

void ClipboardOwner::serve(const std::string& text)
{
    stop();
    ownerBefore_ = clipboardOwnerWindow();
    GError* error = nullptr;
    auto flags = static_cast<GSubprocessFlags>(G_SUBPROCESS_FLAGS_STDIN_PIPE | G_SUBPROCESS_FLAGS_STDOUT_SILENCE |
                                                   G_SUBPROCESS_FLAGS_STDERR_SILENCE);
    process_.reset(g_subprocess_new(flags, &error, "xclip", "-i", "-quiet", "-selection", "clipboard", nullptr));
    GErrorPtr owned(error);
    if (!process_)
        return;
    GOutputStream* in = g_subprocess_get_stdin_pipe(process_.get());
    g_output_stream_write_all(in, text.data(), text.size(), nullptr, nullptr, nullptr);
    g_output_stream_close(in, nullptr, nullptr);
}

bool ClipboardOwner::serving() const
{
    ::Window owner = clipboardOwnerWindow();
    return process_ && owner != None && owner != ownerBefore_;
}

std::string commandOutput(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    GError* error = nullptr;
    GObjectPtr<GSubprocess> process(g_subprocess_newv(args.data(), G_SUBPROCESS_FLAGS_STDOUT_PIPE, &error));
    GErrorPtr owned(error);
    if (!process)
        return {};
    GBytes* bytes = nullptr;
    g_subprocess_communicate(process.get(), nullptr, nullptr, &bytes, nullptr, nullptr);
    return takeBytes(bytes);
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

ScriptedEvents::ScriptedEvents(Script script, std::function<void(GtkDialogWindow&)> init)
    : script_(std::move(script)), init_(std::move(init))
{
}

bool ScriptedEvents::onWindowCreated(fw::Window& created)
{
    window = dynamic_cast<GtkDialogWindow*>(&created);
    if (init_)
        init_(*window);
    g_idle_add(runScript, this);
    return true;
}

gboolean ScriptedEvents::runScript(gpointer self)
{
    auto* events = static_cast<ScriptedEvents*>(self);
    GtkWidget* toplevel = GTK_WIDGET(events->window->gtkWindow());
    if (!waitFor([&] {
            GdkWindow* gdkWindow = gtk_widget_get_window(toplevel);
            return gtk_widget_get_mapped(toplevel) && gdkWindow && gdk_window_is_viewable(gdkWindow);
        }))
        ADD_FAILURE() << "the dialog was never shown";
    handleSentInput();
    events->script_(*events->window);
    events->scriptDone = true;
    if (!events->ended)
        events->window->endDialog(0);
    return G_SOURCE_REMOVE;
}

void ScriptedEvents::onCommand(int id)
{
    log.push_back("command " + std::to_string(id));
    if (id == fw::kIdOk || id == fw::kIdCancel) {
        ended = true;
        window->endDialog(id);
    }
}

void ScriptedEvents::onEnterKey(int focusId)
{
    log.push_back("enter " + std::to_string(focusId));
}

void ScriptedEvents::onEscapeKey()
{
    log.push_back("escape");
    ended = true;
    window->endDialog(fw::kIdCancel);
}

void ScriptedEvents::onWindowMenuCommand(unsigned command)
{
    log.push_back("syscommand " + std::to_string(command));
}

int ScriptedEvents::onListItemRequest(int comboId)
{
    const int selected = window->listSelection(comboId);
    return selected >= 0 ? selected : fw::findListPrefix(*window, comboId, window->text(comboId));
}

}  // namespace tavrin::fw::gtk::test
