#include "framework/backends/gtk/DialogFont.h"

#include "framework/backends/gtk/GtkPtr.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>

namespace tavrin::fw::gtk {

namespace {

// The template's font where fontconfig has it itself rather than a substitute for it. The font map lists its
// families once and keeps them; loading a font to see what fontconfig substitutes costs a match over every
// installed font.
std::string familyFor(PangoFontMap* map, const std::string& templateFont)
{
    if (pango_font_map_get_family(map, templateFont.c_str()))
        return templateFont;
    if (templateFont == "MS Sans Serif" && pango_font_map_get_family(map, "Liberation Sans"))
        return "Liberation Sans";
    return "Sans";
}

double screenDpi()
{
    GdkScreen* screen = gdk_screen_get_default();
    double dpi = screen ? gdk_screen_get_resolution(screen) : -1.0;
    return dpi > 0 ? dpi : 96.0;
}

// The desktop's text size over GTK's default one: a user who makes the desktop's text larger (or smaller) gets
// the dialogs' text, and with it their layout, larger (or smaller) alike.
double desktopTextScale()
{
    constexpr double kDefaultPoints = 10.0;  // GTK's own default, "Sans 10"
    GtkSettings* settings = gtk_settings_get_default();
    if (!settings)
        return 1.0;
    gchar* raw = nullptr;
    g_object_get(settings, "gtk-font-name", &raw, nullptr);
    GCharPtr name(raw);
    if (!name)
        return 1.0;
    FontDescriptionPtr description(pango_font_description_from_string(name.get()));
    double size = static_cast<double>(pango_font_description_get_size(description.get())) / PANGO_SCALE;
    if (pango_font_description_get_size_is_absolute(description.get()))
        size = size * 72.0 / screenDpi();
    return size > 0 ? size / kDefaultPoints : 1.0;
}

DialogFont measure(const std::string& templateFont, int points, double scale)
{
    PangoFontMap* map = pango_cairo_font_map_get_default();
    double dpi = screenDpi();
    GObjectPtr<PangoContext> context(pango_font_map_create_context(map));
    pango_cairo_context_set_resolution(context.get(), dpi);

    DialogFont font;
    font.family = familyFor(map, templateFont);
    font.pixelSize = static_cast<int>(std::lround(points * scale * dpi / 72.0));
    FontDescriptionPtr description(pango_font_description_new());
    pango_font_description_set_family(description.get(), font.family.c_str());
    pango_font_description_set_absolute_size(description.get(), font.pixelSize * PANGO_SCALE);
    pango_context_set_font_description(context.get(), description.get());

    FontMetricsPtr metrics(pango_context_get_metrics(context.get(), description.get(), nullptr));
    font.baseY = std::max(1, PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(metrics.get())) +
                                 PANGO_PIXELS_CEIL(pango_font_metrics_get_descent(metrics.get())));

    GObjectPtr<PangoLayout> layout(pango_layout_new(context.get()));
    pango_layout_set_text(layout.get(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", -1);
    int width = 0;
    pango_layout_get_pixel_size(layout.get(), &width, nullptr);
    font.baseX = std::max(1, (width / 26 + 1) / 2);
    return font;
}

}  // namespace

DialogFont dialogFont(const std::string& templateFont, int points)
{
    static std::map<std::tuple<std::string, int, double>, DialogFont> cache;
    const double scale = desktopTextScale();
    auto [found, added] = cache.try_emplace(std::make_tuple(templateFont, points, scale));
    if (added)
        found->second = measure(templateFont, points, scale);
    return found->second;
}

}  // namespace tavrin::fw::gtk
