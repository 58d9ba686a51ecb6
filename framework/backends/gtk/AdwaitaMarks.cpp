#include "framework/backends/gtk/AdwaitaMarks.h"

#include <algorithm>
#include <string>
#include <utility>

namespace tavrin::fw::gtk {

namespace {

// Each mark's selector and the resource of its PNG picture.
constexpr std::pair<const char*, const char*> kMarks[] = {
    {"check:checked", "/org/gtk/libgtk/theme/Adwaita/assets/check-symbolic.symbolic.png"},
    {"check:indeterminate, radio:indeterminate", "/org/gtk/libgtk/theme/Adwaita/assets/dash-symbolic.symbolic.png"},
    {"radio:checked", "/org/gtk/libgtk/theme/Adwaita/assets/bullet-symbolic.symbolic.png"}};

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
    return std::ranges::all_of(kMarks, [](const auto& mark) {
        return g_resources_get_info(mark.second, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr, nullptr, nullptr);
    });
}

}  // namespace

AdwaitaMarks::AdwaitaMarks() : provider_(gtk_css_provider_new())
{
    // The theme's rules for the marks with its fallback pictures alone. (GTK's -gtk-scaled() would choose by
    // scale within CSS, but loses the recolouring: the marks came out dark on the blue box.)
    std::string css;
    for (const auto& [selector, picture] : kMarks)
        css += std::string(selector) + " { -gtk-icon-source: -gtk-recolor(url(\"resource://" + picture + "\")); }\n";
    gtk_css_provider_load_from_data(provider_.get(), css.c_str(), -1, nullptr);
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
