#pragma once
// A dialog's window menu: a button at the start of its header bar showing
// the window's icon, whose menu holds "Close" and then what the dialog
// appends. "Close" reports command 2 (fw::kIdCancel), as the close box does;
// an appended entry reports its command to `onWindowMenuCommand`.

#include "framework/backends/gtk/GtkPtr.h"
#include "framework/backends/gtk/ReportQueue.h"

#include <string_view>

namespace tavrin::fw::gtk {

class WindowMenu {
public:
    // Packs the button into `header`; `icon` (16 pixels, may be nullptr) shows on it.
    WindowMenu(GtkHeaderBar* header, GdkPixbuf* icon, ReportQueue& reports);
    WindowMenu(const WindowMenu&) = delete;
    WindowMenu& operator=(const WindowMenu&) = delete;

    void setIcon(GdkPixbuf* icon) { gtk_image_set_from_pixbuf(GTK_IMAGE(image_), icon); }
    void appendSeparator();
    void append(unsigned command, std::string_view text);
    void open() { gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(button_), TRUE); }

private:
    static void onClose(GtkMenuItem*, gpointer self);
    static void onCommand(GtkMenuItem* item, gpointer self);

    ReportQueue& reports_;
    GtkWidget* menu_;    // owned by button_
    GtkWidget* button_;  // owned by the header bar
    GtkWidget* image_;   // owned by button_
};

}  // namespace tavrin::fw::gtk
