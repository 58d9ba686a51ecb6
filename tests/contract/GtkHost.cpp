// The contract's host for the GTK back end, on an Xvfb display: keys and
// clicks go through the X server (XTest), so grabs and modality apply; the
// clipboard is read by xclip, another process, while our loop serves it.
#include "contract/Host.h"

#include "GtkTestCommon.h"

#include <array>

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

    void repeat(std::function<bool()> tick) override
    {
        auto* owned = new std::function<bool()>(std::move(tick));
        g_timeout_add_full(
            G_PRIORITY_DEFAULT, 10,
            [](gpointer data) -> gboolean {
                // Steps begin once the dialog in front can take input.
                GtkWindow* top = innermost();
                if (top != nullptr && !ready(top)) {
                    gtk_window_present(top);
                    return G_SOURCE_CONTINUE;
                }
                return (*static_cast<std::function<bool()>*>(data))() ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
            },
            owned, [](gpointer data) { delete static_cast<std::function<bool()>*>(data); });
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
        GtkWidget* menu = GTK_WIDGET(gtk_menu_button_get_popup(GTK_MENU_BUTTON(button)));
        gt::sendClick(button);
        // The entries carry their command; the menu takes the click once it shows.
        repeat([menu, command] {
            if (!gtk_widget_get_mapped(menu))
                return false;
            GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
            for (GList* item = items; item; item = item->next) {
                if (GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item->data), "tavrin-command")) == command)
                    gt::sendClick(GTK_WIDGET(item->data));
            }
            g_list_free(items);
            return true;
        });
    }
    void answerMessageBox(int index) override
    {
        repeat([index] {
            GtkWidget* box = gt::shownToplevel(GTK_TYPE_MESSAGE_DIALOG);
            if (box == nullptr || !ready(GTK_WINDOW(box)))
                return false;
            // The buttons in the order of their set: OK, Yes, No, Cancel.
            std::vector<GtkWidget*> buttons;
            for (int id : {fw::kIdOk, fw::kIdYes, fw::kIdNo, fw::kIdCancel}) {
                if (GtkWidget* b = gtk_dialog_get_widget_for_response(GTK_DIALOG(box), id))
                    buttons.push_back(b);
            }
            gt::sendClick(buttons.at(static_cast<std::size_t>(index)));
            return true;
        });
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
