// The window menu: a button at the start of the title bar showing the
// window's icon. Its menu holds Close (command 2) and the entries the
// program appends, each reported with its command.
#include "framework/backends/gtk/GtkDialogWindow.h"

#include "framework/backends/gtk/GtkBackend.h"

namespace tavrin::fw::gtk {

void GtkDialogWindow::addWindowMenu(GtkHeaderBar* titleBar)
{
    GtkWidget* menu = gtk_menu_new();
    GtkWidget* close = gtk_menu_item_new_with_mnemonic("_Close");
    g_signal_connect_swapped(close, "activate", G_CALLBACK(cancel), this);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), close);
    gtk_widget_show_all(menu);
    menuButton_ = gtk_menu_button_new();
    gtk_widget_set_can_focus(menuButton_, FALSE);
    gtk_button_set_relief(GTK_BUTTON(menuButton_), GTK_RELIEF_NONE);
    gtk_style_context_add_class(gtk_widget_get_style_context(menuButton_), "tavrin-window-menu");
    gtk_menu_button_set_popup(GTK_MENU_BUTTON(menuButton_), menu);
    const GObjectPtr<GdkPixbuf> icon = backend_.icon(backend_.defaultIconId(), 16);
    gtk_button_set_image(GTK_BUTTON(menuButton_), icon ? gtk_image_new_from_pixbuf(icon.get())
                                                       : gtk_image_new_from_icon_name("open-menu-symbolic",
                                                                                      GTK_ICON_SIZE_MENU));
    setAccessibleName(menuButton_, "Window menu");
    gtk_widget_show_all(menuButton_);
    gtk_header_bar_pack_start(titleBar, menuButton_);
}

bool GtkDialogWindow::appendToMenu(GtkWidget* item)
{
    if (item) {
        gtk_widget_show(item);
        gtk_menu_shell_append(GTK_MENU_SHELL(gtk_menu_button_get_popup(GTK_MENU_BUTTON(menuButton_))), item);
    }
    return item != nullptr;
}

bool GtkDialogWindow::appendSystemMenuSeparator()
{
    return appendToMenu(menuButton_ ? gtk_separator_menu_item_new() : nullptr);
}

bool GtkDialogWindow::appendSystemMenuItem(unsigned command, std::string_view text)
{
    GtkWidget* item = menuButton_ ? gtk_menu_item_new_with_mnemonic(toMnemonic(text).c_str()) : nullptr;
    if (item) {
        g_object_set_data(G_OBJECT(item), "tavrin-command", GUINT_TO_POINTER(command));
        g_signal_connect_swapped(item, "activate", G_CALLBACK(+[](GtkDialogWindow* self, GtkMenuItem* item) {
            const unsigned command = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), "tavrin-command"));
            self->post([command](fw::WindowEvents& e) { e.onWindowMenuCommand(command); });
        }), this);
    }
    return appendToMenu(item);
}

void GtkDialogWindow::openWindowMenu()
{
    if (menuButton_)
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(menuButton_), TRUE);
}

}  // namespace tavrin::fw::gtk
