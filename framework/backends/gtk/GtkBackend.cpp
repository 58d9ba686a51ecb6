#include "framework/backends/gtk/GtkBackend.h"

#include "framework/backends/gtk/GtkDialogWindow.h"
#include "gio/OpenFile.h"

namespace tavrin::fw::gtk {

namespace {

// Sizes that let controls sit inside their template rectangles: the default
// theme's minimum sizes and paddings are larger than a dialog unit layout.
constexpr const char* kDialogCss = R"css(
.tavrin-client entry { min-height: 0; min-width: 0; padding: 0 3px; border-radius: 0; }
.tavrin-client button { min-height: 0; min-width: 0; padding: 0 1px; }
.tavrin-client button.default { border-color: #202020; box-shadow: inset 0 0 0 1px #202020; }
.tavrin-client .tavrin-combo button { padding: 0; min-width: 0; }
.tavrin-client checkbutton, .tavrin-client radiobutton { min-height: 0; padding: 0; }
.tavrin-client check, .tavrin-client radio { min-width: 13px; min-height: 13px; margin: 0 4px 0 0; padding: 0; }
.tavrin-client frame > border { border-radius: 0; }
.tavrin-client scrolledwindow { border-radius: 0; }
.tavrin-client scrollbar slider, .tavrin-dropdown scrollbar slider { min-width: 6px; min-height: 12px; }
.tavrin-client textview text { background-color: transparent; }
.tavrin-dialog headerbar { min-height: 0; padding: 0 4px; }
.tavrin-dialog headerbar button { min-height: 18px; min-width: 18px; padding: 2px; margin: 2px 0; }
.tavrin-dropdown treeview { padding: 0; }
)css";

// A message box's buttons in the order shown, each with the result it reports. Enter presses the last one;
// closing the box without a button answers as the first (Cancel where there is one, else the only or the No).
std::vector<std::pair<const char*, int>> buttonSet(fw::MbButtons buttons)
{
    switch (buttons) {
    case fw::MbButtons::Ok:
        return {{"_OK", fw::kIdOk}};
    case fw::MbButtons::OkCancel:
        return {{"_Cancel", fw::kIdCancel}, {"_OK", fw::kIdOk}};
    case fw::MbButtons::YesNoCancel:
        return {{"_Cancel", fw::kIdCancel}, {"_No", fw::kIdNo}, {"_Yes", fw::kIdYes}};
    case fw::MbButtons::YesNo:
        break;
    }
    return {{"_No", fw::kIdNo}, {"_Yes", fw::kIdYes}};
}

// The icons are numbered None, Error, Question, Exclamation, Information in steps of 0x10.
GtkMessageType messageType(fw::MbIcon icon)
{
    constexpr GtkMessageType kTypes[] = {GTK_MESSAGE_OTHER, GTK_MESSAGE_ERROR, GTK_MESSAGE_QUESTION,
                                         GTK_MESSAGE_WARNING, GTK_MESSAGE_INFO};
    const auto index = static_cast<std::size_t>(icon) / 0x10;
    return index < std::size(kTypes) ? kTypes[index] : GTK_MESSAGE_OTHER;
}

}  // namespace

void takeToolkitArguments(int& argc, char**& argv)
{
    // No dialog draws with OpenGL, yet GDK probes it as it opens an X display, loading the GL driver (and, for
    // a software renderer, a compiler): most of a bare window's start-up time and memory on a machine without
    // a graphics card. Unless the user set GDK_GL, the probe is switched off. GDK reads the variable while it
    // parses its arguments; it is gone again before any thread or child process could see it.
    if (!g_getenv("GDK_GL")) {
        g_setenv("GDK_GL", "disable", TRUE);
        gdk_parse_args(&argc, &argv);
        g_unsetenv("GDK_GL");
    }
    gtk_parse_args(&argc, &argv);
}

bool initToolkit(int& argc, char**& argv)
{
    takeToolkitArguments(argc, argv);
    // The first font map starts reading fontconfig's configuration on a thread of its own: started here, that
    // runs while GTK opens the display rather than when the first dialog measures its font.
    pango_cairo_font_map_get_default();
    return gtk_init_check(&argc, &argv);
}

GtkBackend::GtkBackend() : provider_(gtk_css_provider_new()), css_(kDialogCss)
{
    gtk_css_provider_load_from_data(provider_.get(), kDialogCss, -1, nullptr);
    if (GdkScreen* screen = gdk_screen_get_default())
        gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider_.get()),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

GtkBackend::~GtkBackend()
{
    // Hand our clipboard text to a clipboard manager, where there is one, so it outlives the program.
    if (copied_)
        gtk_clipboard_store(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
    if (GdkScreen* screen = gdk_screen_get_default())
        gtk_style_context_remove_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider_.get()));
}

void GtkBackend::addIcon(int iconId, const char* const* xpm)
{
    GObjectPtr<GdkPixbuf> picture(gdk_pixbuf_new_from_xpm_data(const_cast<const char**>(xpm)));
    if (!picture)
        return;
    icons_[iconId].push_back(std::move(picture));
}

GObjectPtr<GdkPixbuf> GtkBackend::icon(int iconId, int size) const
{
    // The picture of that size, else the largest one scaled to it.
    auto found = icons_.find(iconId);
    if (found == icons_.end())
        return {};
    GdkPixbuf* largest = nullptr;
    for (const auto& picture : found->second) {
        int width = gdk_pixbuf_get_width(picture.get());
        if (width == size && gdk_pixbuf_get_height(picture.get()) == size)
            return GObjectPtr<GdkPixbuf>(GDK_PIXBUF(g_object_ref(picture.get())));
        if (!largest || width > gdk_pixbuf_get_width(largest))
            largest = picture.get();
    }
    return GObjectPtr<GdkPixbuf>(gdk_pixbuf_scale_simple(largest, size, size, GDK_INTERP_NEAREST));
}

std::string GtkBackend::fontClass(const std::string& family, int pixelSize)
{
    auto [found, added] = fontClasses_.try_emplace(family + "/" + std::to_string(pixelSize));
    if (added) {
        const std::string& name = found->second = "tavrin-font-" + std::to_string(fontClasses_.size());
        css_ += "." + name + ", ." + name + " * { font-family: \"" + family +
                "\"; font-size: " + std::to_string(pixelSize) + "px; }\n";
        gtk_css_provider_load_from_data(provider_.get(), css_.c_str(), -1, nullptr);
    }
    return found->second;
}

GtkHeaderBar* GtkBackend::dressAsDialog(GtkWindow* window, std::string_view caption, bool closeBox,
                                        const DialogFont& font)
{
    GtkHeaderBar* titleBar = GTK_HEADER_BAR(gtk_header_bar_new());
    gtk_header_bar_set_title(titleBar, validUtf8(caption).c_str());
    gtk_header_bar_set_decoration_layout(titleBar, closeBox ? ":close" : ":");
    gtk_header_bar_set_show_close_button(titleBar, closeBox);
    gtk_widget_show(GTK_WIDGET(titleBar));
    gtk_window_set_titlebar(window, GTK_WIDGET(titleBar));
    gtk_window_set_title(window, validUtf8(caption).c_str());
    gtk_window_set_resizable(window, FALSE);
    GtkStyleContext* style = gtk_widget_get_style_context(GTK_WIDGET(window));
    gtk_style_context_add_class(style, "tavrin-dialog");
    gtk_style_context_add_class(style, fontClass(font.family, font.pixelSize).c_str());
    return titleBar;
}

int GtkBackend::runModal(const fw::DialogTemplate& tmpl, fw::Window* owner, fw::WindowEvents& events)
{
    GtkDialogWindow window(*this, tmpl, dynamic_cast<GtkDialogWindow*>(owner), events);
    return window.run();
}

fw::PixelRect GtkBackend::workArea() const
{
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
    if (!monitor && display)
        monitor = gdk_display_get_monitor(display, 0);
    if (!monitor)
        return {0, 0, 0, 0};
    GdkRectangle area;
    gdk_monitor_get_workarea(monitor, &area);
    return {area.x, area.y, area.width, area.height};
}

int GtkBackend::messageBox(fw::Window* owner, std::string_view text, std::string_view caption, fw::MbButtons buttons,
                           fw::MbIcon icon)
{
    auto* parent = dynamic_cast<GtkDialogWindow*>(owner);
    TopLevelPtr dialog(gtk_message_dialog_new(parent ? parent->gtkWindow() : nullptr, GTK_DIALOG_MODAL,
                                              messageType(icon), GTK_BUTTONS_NONE, "%s", std::string(text).c_str()));
    GtkWindow* window = GTK_WINDOW(dialog.get());
    if (!parent)
        gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    // It looks like the dialogs: their title bar with a close box alone, their size fixed, their font, and its
    // text can be selected and copied (a path in it, say).
    dressAsDialog(window, caption, true, parent ? parent->font() : dialogFont("MS Sans Serif", 8));
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_container_foreach(GTK_CONTAINER(gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog.get()))),
                          [](GtkWidget* text, gpointer) {
                              if (GTK_IS_LABEL(text))
                                  gtk_label_set_selectable(GTK_LABEL(text), TRUE);
                          },
                          nullptr);
    const auto set = buttonSet(buttons);
    for (const auto& [label, result] : set)
        gtk_dialog_add_button(GTK_DIALOG(dialog.get()), label, result);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog.get()), set.back().second);
    // The focus on the default button, not on the text.
    gtk_widget_grab_focus(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog.get()), set.back().second));
    if (parent)
        parent->beginModalOver();
    int response = gtk_dialog_run(GTK_DIALOG(dialog.get()));
    if (parent)
        parent->endModalOver();
    return response > 0 ? response : set.front().second;
}

fw::ClipboardResult GtkBackend::copyText(fw::Window&, std::string_view text)
{
    // Plain text up to the first zero byte, as a zero-terminated text entry would hold it.
    std::string_view plain = text.substr(0, text.find('\0'));
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    gtk_clipboard_set_text(clipboard, plain.data(), static_cast<gint>(plain.size()));
    gtk_clipboard_set_can_store(clipboard, nullptr, 0);
    copied_ = true;
    return fw::ClipboardResult::Copied;
}

bool GtkBackend::openWithDefaultApplication(const std::string& path)
{
    return gio::openWithDefaultApplication(path);
}

bool GtkBackend::startSockets()
{
    // POSIX sockets need no start-up.
    return true;
}

}  // namespace tavrin::fw::gtk
