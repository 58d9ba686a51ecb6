#include "framework/backends/gtk/DialogFont.h"

#include "framework/backends/gtk/GtkPtr.h"

#include <cmath>
#include <map>
#include <utility>

namespace tavrin::fw::gtk {

namespace {

// Whether fontconfig has `name` itself rather than a substitute for it. The font map lists its families once
// and keeps them; loading a font to see what fontconfig substitutes costs a match over every installed font.
bool hasFamily(PangoFontMap* map, const char* name)
{
    return pango_font_map_get_family(map, name) != nullptr;
}

std::string familyFor(PangoFontMap* map, const std::string& templateFont)
{
    if (hasFamily(map, templateFont.c_str()))
        return templateFont;
    if (templateFont == "MS Sans Serif" && hasFamily(map, "Liberation Sans"))
        return "Liberation Sans";
    return "Sans";
}

DialogFont measure(const std::string& templateFont, int points)
{
    PangoFontMap* map = pango_cairo_font_map_get_default();
    GdkScreen* screen = gdk_screen_get_default();
    double dpi = screen ? gdk_screen_get_resolution(screen) : -1.0;
    if (dpi <= 0)
        dpi = 96.0;
    GObjectPtr<PangoContext> context(pango_font_map_create_context(map));
    pango_cairo_context_set_resolution(context.get(), dpi);

    DialogFont font;
    font.family = familyFor(map, templateFont);
    font.pixelSize = static_cast<int>(std::lround(points * dpi / 72.0));
    FontDescriptionPtr description(pango_font_description_new());
    pango_font_description_set_family(description.get(), font.family.c_str());
    pango_font_description_set_absolute_size(description.get(), font.pixelSize * PANGO_SCALE);
    pango_context_set_font_description(context.get(), description.get());

    FontMetricsPtr metrics(pango_context_get_metrics(context.get(), description.get(), nullptr));
    font.baseY = PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(metrics.get())) +
                 PANGO_PIXELS_CEIL(pango_font_metrics_get_descent(metrics.get()));

    GObjectPtr<PangoLayout> layout(pango_layout_new(context.get()));
    pango_layout_set_text(layout.get(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", -1);
    int width = 0;
    pango_layout_get_pixel_size(layout.get(), &width, nullptr);
    font.baseX = (width / 26 + 1) / 2;
    if (font.baseX < 1)
        font.baseX = 1;
    if (font.baseY < 1)
        font.baseY = 1;
    return font;
}

}  // namespace

DialogFont dialogFont(const std::string& templateFont, int points)
{
    static std::map<std::pair<std::string, int>, DialogFont> cache;
    auto key = std::make_pair(templateFont, points);
    auto found = cache.find(key);
    if (found == cache.end())
        found = cache.emplace(key, measure(templateFont, points)).first;
    return found->second;
}

}  // namespace tavrin::fw::gtk
