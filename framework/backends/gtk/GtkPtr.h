#pragma once
// Owning handles for the GTK objects the back end creates, beside GLib's
// own (gio/GlibPtr.h).
//
// `TopLevelPtr` destroys a toplevel window (GTK itself keeps toplevels alive
// until they are destroyed); `FloatingWidgetPtr` sinks and owns a widget
// that sits in no container.

#include "gio/GlibPtr.h"

#include <gtk/gtk.h>

#include <memory>

namespace tavrin::fw::gtk {

using gio::GCharPtr;
using gio::GErrorPtr;
using gio::GObjectPtr;
using gio::MainLoopPtr;

struct WidgetDestroy {
    void operator()(GtkWidget* widget) const { gtk_widget_destroy(widget); }
};
using TopLevelPtr = std::unique_ptr<GtkWidget, WidgetDestroy>;

struct FloatingWidgetRelease {
    void operator()(GtkWidget* widget) const
    {
        gtk_widget_destroy(widget);
        g_object_unref(widget);
    }
};
using FloatingWidgetPtr = std::unique_ptr<GtkWidget, FloatingWidgetRelease>;

inline FloatingWidgetPtr ownFloating(GtkWidget* widget)
{
    return FloatingWidgetPtr(GTK_WIDGET(g_object_ref_sink(widget)));
}

struct FontDescriptionFree {
    void operator()(PangoFontDescription* description) const { pango_font_description_free(description); }
};
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionFree>;

struct FontMetricsUnref {
    void operator()(PangoFontMetrics* metrics) const { pango_font_metrics_unref(metrics); }
};
using FontMetricsPtr = std::unique_ptr<PangoFontMetrics, FontMetricsUnref>;

}  // namespace tavrin::fw::gtk
