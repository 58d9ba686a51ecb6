#include "framework/backends/gtk/WindowMenu.h"

#include "framework/backends/gtk/GtkControls.h"

namespace tavrin::fw::gtk {

namespace {

constexpr const char* kCommandKey = "tavrin-command";

}  // namespace

WindowMenu::WindowMenu(GtkHeaderBar* header, GdkPixbuf* icon, ReportQueue& reports)
    : reports_(reports), menu_(gtk_menu_new()), button_(gtk_menu_button_new()),
      image_(icon ? gtk_image_new_from_pixbuf(icon) : gtk_image_new_from_icon_name("open-menu-symbolic",
                                                                                   GTK_ICON_SIZE_MENU))
{
    GtkWidget* close = gtk_menu_item_new_with_mnemonic("_Close");
    g_signal_connect(close, "activate", G_CALLBACK(onClose), this);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu_), close);
    gtk_widget_show_all(menu_);
    gtk_widget_set_can_focus(button_, FALSE);
    gtk_button_set_relief(GTK_BUTTON(button_), GTK_RELIEF_NONE);
    gtk_style_context_add_class(gtk_widget_get_style_context(button_), "tavrin-window-menu");
    gtk_menu_button_set_popup(GTK_MENU_BUTTON(button_), menu_);
    gtk_button_set_image(GTK_BUTTON(button_), image_);
    setAccessibleName(button_, "Window menu");
    gtk_header_bar_pack_start(header, button_);
}

void WindowMenu::appendSeparator()
{
    GtkWidget* separator = gtk_separator_menu_item_new();
    gtk_widget_show(separator);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu_), separator);
}

void WindowMenu::append(unsigned command, std::string_view text)
{
    GtkWidget* item = gtk_menu_item_new_with_mnemonic(toMnemonic(text).c_str());
    g_object_set_data(G_OBJECT(item), kCommandKey, GUINT_TO_POINTER(command));
    g_signal_connect(item, "activate", G_CALLBACK(onCommand), this);
    gtk_widget_show(item);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu_), item);
}

void WindowMenu::onClose(GtkMenuItem*, gpointer self)
{
    static_cast<WindowMenu*>(self)->reports_.post([](fw::WindowEvents& events) { events.onCommand(fw::kIdCancel); });
}

void WindowMenu::onCommand(GtkMenuItem* item, gpointer self)
{
    unsigned command = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), kCommandKey));
    static_cast<WindowMenu*>(self)->reports_.post(
        [command](fw::WindowEvents& events) { events.onWindowMenuCommand(command); });
}

}  // namespace tavrin::fw::gtk
