#include "framework/backends/gtk/AdwaitaMarks.h"

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

bool everyMonitorAtScale1(GdkDisplay* display)
{
    for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
        if (gdk_monitor_get_scale_factor(gdk_display_get_monitor(display, i)) != 1)
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
    watch(G_OBJECT(settings), "notify::gtk-theme-name", G_CALLBACK(onChanged));
    watch(G_OBJECT(display), "monitor-added", G_CALLBACK(onMonitorAdded));
    watch(G_OBJECT(display), "monitor-removed", G_CALLBACK(onMonitorRemoved));
    for (int i = 0; i < gdk_display_get_n_monitors(display); ++i)
        watch(G_OBJECT(gdk_display_get_monitor(display, i)), "notify::scale-factor", G_CALLBACK(onChanged));
    update();
}

AdwaitaMarks::~AdwaitaMarks()
{
    for (const auto& object : watched_)
        g_signal_handlers_disconnect_by_data(object.get(), this);
    if (inUse_)
        gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider_.get()));
}

void AdwaitaMarks::watch(GObject* object, const char* signal, GCallback callback)
{
    g_signal_connect(object, signal, callback, this);
    watched_.emplace_back(G_OBJECT(g_object_ref(object)));
}

void AdwaitaMarks::update()
{
    bool use = isAdwaitaWithPngMarks(gtk_settings_get_default()) && everyMonitorAtScale1(gdk_display_get_default());
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

void AdwaitaMarks::onChanged(GObject*, GParamSpec*, gpointer self)
{
    static_cast<AdwaitaMarks*>(self)->update();
}

void AdwaitaMarks::onMonitorAdded(GdkDisplay*, GdkMonitor* monitor, gpointer self)
{
    auto* marks = static_cast<AdwaitaMarks*>(self);
    marks->watch(G_OBJECT(monitor), "notify::scale-factor", G_CALLBACK(onChanged));
    marks->update();
}

void AdwaitaMarks::onMonitorRemoved(GdkDisplay*, GdkMonitor*, gpointer self)
{
    static_cast<AdwaitaMarks*>(self)->update();
}

}  // namespace tavrin::fw::gtk
