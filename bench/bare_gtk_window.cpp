// The smallest GTK 3 program with a window: the yardstick for tavrin's start-up.

#include <gtk/gtk.h>

int main(int argc, char** argv)
{
    if (!gtk_init_check(&argc, &argv))
        return 1;
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "Bare");
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show(window);
    gtk_main();
    return 0;
}
