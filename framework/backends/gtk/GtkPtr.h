#pragma once
// Owning handles for the GLib, GObject and GTK objects the back end creates.
//
// `GObjectPtr<T>` holds one reference; `TopLevelPtr` destroys a toplevel
// window (GTK itself keeps toplevels alive until they are destroyed);
// `FloatingWidgetPtr` sinks and owns a widget that sits in no container.

#include <gtk/gtk.h>

#include <memory>

namespace tavrin::gtk {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<gchar, GFree>;

struct GErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;

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

struct MainLoopUnref {
    void operator()(GMainLoop* loop) const { g_main_loop_unref(loop); }
};
using MainLoopPtr = std::unique_ptr<GMainLoop, MainLoopUnref>;

}  // namespace tavrin::gtk
