#pragma once
// The marks of ticked check boxes and selected radio buttons in GTK's own
// theme, Adwaita, drawn from its PNG pictures where they look the same as
// its SVG ones.
//
// Adwaita draws each mark from an SVG picture and keeps a PNG picture of the
// same mark as its fallback, yet never uses the fallback. The first SVG loads
// the SVG image loader and its library: about 15 ms of start-up and 8 MB of
// memory as measured by bench/gtk_startup.sh. While the theme is Adwaita
// (light or dark) and every monitor draws at scale 1, a style provider draws
// the PNG marks, recoloured as the theme recolours the SVG ones; at a larger
// scale a PNG would be blurred, so the theme's own rules draw them again.

#include "framework/backends/gtk/GtkPtr.h"

#include <vector>

namespace tavrin::fw::gtk {

class AdwaitaMarks {
public:
    AdwaitaMarks();
    AdwaitaMarks(const AdwaitaMarks&) = delete;
    AdwaitaMarks& operator=(const AdwaitaMarks&) = delete;
    ~AdwaitaMarks();

    // Whether the PNG marks are drawn now.
    bool inUse() const { return inUse_; }

private:
    void update();
    void watch(GObject* object, const char* signal);

    GObjectPtr<GtkCssProvider> provider_;
    std::vector<GObjectPtr<GObject>> watched_;  // the settings, the display and the monitors it had
    bool inUse_ = false;
};

}  // namespace tavrin::fw::gtk
