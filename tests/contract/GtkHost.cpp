// The contract's host for the GTK back end, on an Xvfb display: keys and
// clicks go through the X server (XTest), so grabs and modality apply; the
// clipboard is read by xclip, another process, while our loop serves it.
#include "contract/Host.h"

#include "GtkTestCommon.h"

#include <array>
#include <memory>

namespace tavrin::test::contract {
namespace {

namespace gt = fw::gtk::test;

GtkWindow* gtkWindowOf(fw::Window& window)
{
    return dynamic_cast<fw::gtk::GtkDialogWindow&>(window).gtkWindow();
}

// True once `window` is shown and has the keyboard: input sent before then
// goes astray.
bool ready(GtkWindow* window)
{
    GdkWindow* gdk = gtk_widget_get_window(GTK_WIDGET(window));
    return gtk_widget_get_mapped(GTK_WIDGET(window)) && gdk != nullptr && gdk_window_is_viewable(gdk) &&
           gtk_window_has_toplevel_focus(window);
}

// The shown modal toplevel on top: the innermost dialog or message box.
GtkWindow* innermost()
{
    GtkWindow* found = nullptr;
    GList* toplevels = gtk_window_list_toplevels();
    for (GList* item = toplevels; item; item = item->next) {
        auto* window = GTK_WINDOW(item->data);
        if (gtk_window_get_window_type(window) == GTK_WINDOW_TOPLEVEL && gtk_widget_get_mapped(GTK_WIDGET(window)) &&
            (found == nullptr || gtk_window_get_transient_for(window) == found))
            found = window;
    }
    g_list_free(toplevels);
    return found;
}

class GtkHost final : public Host {
public:
    fw::Backend& backend() override { return backend_; }

    void repeat(std::function<bool()> tick) override { poll(std::move(tick), true); }

    // Calls `tick` every 10 ms until it returns true; when `gated`, the first
    // call waits until the dialog in front has the keyboard.
    static void poll(std::function<bool()> tick, bool gated)
    {
        struct Ticking {
            std::function<bool()> tick;
            bool started = false;
        };
        g_timeout_add_full(
            G_PRIORITY_DEFAULT, 10,
            [](gpointer data) -> gboolean {
                auto& ticking = *static_cast<Ticking*>(data);
                // Input sent before the dialog in front has the keyboard goes
                // astray: the first tick waits for it. Later ones do not, as a
                // dropped list or an open menu holds the keyboard meanwhile.
                GtkWindow* top = innermost();
                if (!ticking.started && top != nullptr && !ready(top)) {
                    gtk_window_present(top);
                    return G_SOURCE_CONTINUE;
                }
                ticking.started = true;
                return ticking.tick() ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
            },
            std::make_unique<Ticking>(Ticking{std::move(tick), !gated}).release(),
            [](gpointer data) { std::unique_ptr<Ticking>(static_cast<Ticking*>(data)); });
    }

    void press(fw::Window& window, Key key) override
    {
        GtkWidget* widget = GTK_WIDGET(gtkWindowOf(window));
        const auto none = GdkModifierType(0);
        switch (key) {
        case Key::Tab: gt::sendKey(widget, GDK_KEY_Tab); break;
        case Key::ShiftTab: gt::sendKey(widget, GDK_KEY_Tab, GDK_SHIFT_MASK); break;
        case Key::Enter: gt::sendKey(widget, GDK_KEY_Return); break;
        case Key::Escape: gt::sendKey(widget, GDK_KEY_Escape); break;
        case Key::Space: gt::sendKey(widget, GDK_KEY_space); break;
        case Key::F4: gt::sendKey(widget, GDK_KEY_F4, none); break;
        case Key::AltDown: gt::sendKey(widget, GDK_KEY_Down, GDK_MOD1_MASK); break;
        case Key::Up: gt::sendKey(widget, GDK_KEY_Up); break;
        case Key::Down: gt::sendKey(widget, GDK_KEY_Down); break;
        }
    }
    void click(fw::Window& window, int id) override
    {
        gt::sendClick(gt::placedWidget(dynamic_cast<fw::gtk::GtkDialogWindow&>(window), id));
    }
    void clickCloseBox(fw::Window& window) override { gt::sendClick(gt::closeBox(gtkWindowOf(window))); }
    void chooseWindowMenuEntry(fw::Window& window, unsigned command) override
    {
        GtkWidget* button = gt::named(gtkWindowOf(window), "Window menu", GTK_TYPE_MENU_BUTTON);
        // Held, so a tick after the dialog is gone still finds the object.
        std::shared_ptr<GtkWidget> menu(GTK_WIDGET(g_object_ref(gtk_menu_button_get_popup(GTK_MENU_BUTTON(button)))),
                                        g_object_unref);
        // Alt+Space opens it, as on every desktop.
        gt::sendKey(GTK_WIDGET(gtkWindowOf(window)), GDK_KEY_space, GDK_MOD1_MASK);
        // Once the menu shows, Down moves through its entries, one key per
        // change seen, until the entry with the command is selected; Return
        // chooses it.
        const gint64 deadline = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
        auto seen = std::make_shared<GtkWidget*>(nullptr);
        auto sent = std::make_shared<bool>(false);
        // An open menu holds the keyboard: the dialog has it no more.
        poll([menu, command, deadline, seen, sent] {
            if (g_get_monotonic_time() > deadline)
                return true;
            // Keys reach the menu once it holds the grab and its window shows.
            GdkWindow* shown = gtk_widget_get_window(gtk_widget_get_toplevel(menu.get()));
            if (!gtk_widget_get_mapped(menu.get()) || gtk_grab_get_current() != menu.get() || shown == nullptr ||
                !gdk_window_is_viewable(shown))
                return false;
            GtkWidget* selected = gtk_menu_shell_get_selected_item(GTK_MENU_SHELL(menu.get()));
            if (selected != nullptr &&
                GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(selected), "tavrin-command")) == command) {
                gt::sendKey(menu.get(), GDK_KEY_Return);
                return true;
            }
            if (!*sent || selected != *seen) {
                *seen = selected;
                *sent = true;
                gt::sendKey(menu.get(), GDK_KEY_Down);
            }
            return false;
        }, false);
    }
    void answerMessageBox(int index) override
    {
        const gint64 deadline = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
        poll([index, deadline] {
            GtkWidget* box = gt::shownToplevel(GTK_TYPE_MESSAGE_DIALOG);
            if (g_get_monotonic_time() > deadline)
                return true;
            if (box == nullptr)
                return false;
            if (!ready(GTK_WINDOW(box))) {
                gtk_window_present(GTK_WINDOW(box));  // one without an owner is not the innermost
                return false;
            }
            // The buttons in the order of their set: OK, Yes, No, Cancel.
            std::vector<GtkWidget*> buttons;
            for (int id : {fw::kIdOk, fw::kIdYes, fw::kIdNo, fw::kIdCancel}) {
                if (GtkWidget* b = gtk_dialog_get_widget_for_response(GTK_DIALOG(box), id))
                    buttons.push_back(b);
            }
            gt::sendClick(buttons.at(static_cast<std::size_t>(index)));
            return true;
        }, false);
    }
    std::optional<std::string> clipboardText() override
    {
        // One read at a time, in another process; nothing until it is done.
        if (!reader_) {
            reader_ = std::make_unique<gt::ClipboardReader>();
            reader_->start();
        }
        if (!reader_->done())
            return std::nullopt;
        const std::string text = reader_->text();
        reader_.reset();
        return text;
    }

private:
    fw::gtk::GtkBackend backend_;
    std::unique_ptr<gt::ClipboardReader> reader_;
};

}  // namespace

std::unique_ptr<Host> makeHost()
{
    return std::make_unique<GtkHost>();
}

}  // namespace tavrin::test::contract

int main(int argc, char** argv)
{
    return tavrin::fw::gtk::test::runTestsOnDisplay(argc, argv);
}
