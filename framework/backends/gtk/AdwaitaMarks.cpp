#include "framework/backends/gtk/AdwaitaMarks.h"

#include <algorithm>
#include <string>

namespace tavrin::fw::gtk {

namespace {

constexpr const char* kAssets = "/org/gtk/libgtk/theme/Adwaita/assets/";

// The theme's rules for the marks with its fallback pictures alone. (GTK's -gtk-scaled() would choose by scale
// within CSS, but loses the recolouring: the marks came out dark on the blue box.)
constexpr const char* kPngMarksCss = R"css(
check:checked {
  -gtk-icon-source: -gtk-recolor(url("resource:///org/gtk/libgtk/theme/Adwaita/assets/check-symbolic.symbolic.png"));
}
check:indeterminate, radio:indeterminate {
  -gtk-icon-source: -gtk-recolor(url("resource:///org/gtk/libgtk/theme/Adwaita/assets/dash-symbolic.symbolic.png"));
}
radio:checked {
  -gtk-icon-source: -gtk-recolor(url("resource:///org/gtk/libgtk/theme/Adwaita/assets/bullet-symbolic.symbolic.png"));
}
)css";

// The theme in use is GTK's Adwaita, light or dark, and this GTK holds the PNG marks.
bool isAdwaitaWithPngMarks(GtkSettings* settings)
{
    std::string theme;
    if (const char* forced = g_getenv("GTK_THEME"); forced && *forced) {
        theme = forced;
        theme = theme.substr(0, theme.find(':'));  // the variant (":dark") does not matter
    } else {
        gchar* name = nullptr;
        g_object_get(settings, "gtk-theme-name", &name, nullptr);
        GCharPtr owned(name);
        theme = name ? name : "";
    }
    if (theme != "Adwaita" && theme != "Adwaita-dark")
        return false;
    for (const char* mark : {"check", "dash", "bullet"}) {
        std::string path = std::string(kAssets) + mark + "-symbolic.symbolic.png";
        if (!g_resources_get_info(path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr, nullptr, nullptr))
            return false;
    }
    return true;
}

}  // namespace

AdwaitaMarks::AdwaitaMarks() : provider_(gtk_css_provider_new())
{
    gtk_css_provider_load_from_data(provider_.get(), kPngMarksCss, -1, nullptr);
    GdkDisplay* display = gdk_display_get_default();
    GtkSettings* settings = gtk_settings_get_default();
    if (!display || !settings)
        return;
    watch(G_OBJECT(settings), "notify::gtk-theme-name");
    watch(G_OBJECT(display), "monitor-added");
    watch(G_OBJECT(display), "monitor-removed");
    update();
}

AdwaitaMarks::~AdwaitaMarks()
{
    for (const auto& object : watched_)
        g_signal_handlers_disconnect_by_data(object.get(), this);
    if (inUse_)
        gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider_.get()));
}

void AdwaitaMarks::watch(GObject* object, const char* signal)
{
    g_signal_connect_swapped(object, signal, G_CALLBACK(+[](AdwaitaMarks* self) { self->update(); }), this);
    watched_.emplace_back(G_OBJECT(g_object_ref(object)));
}

// Every monitor is watched for its scale, those added since too.
void AdwaitaMarks::update()
{
    bool use = isAdwaitaWithPngMarks(gtk_settings_get_default());
    GdkDisplay* display = gdk_display_get_default();
    for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
        GObject* monitor = G_OBJECT(gdk_display_get_monitor(display, i));
        if (std::ranges::none_of(watched_, [monitor](const auto& object) { return object.get() == monitor; }))
            watch(monitor, "notify::scale-factor");
        use = use && gdk_monitor_get_scale_factor(GDK_MONITOR(monitor)) == 1;
    }
    if (use == inUse_)
        return;
    GdkScreen* screen = gdk_screen_get_default();
    if (use)
        gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider_.get()),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    else
        gtk_style_context_remove_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider_.get()));
    inUse_ = use;
}

}  // namespace tavrin::fw::gtk
