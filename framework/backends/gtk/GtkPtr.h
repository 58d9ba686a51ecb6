#pragma once
// Owning handles for the GTK objects the back end creates, beside GLib's
// own (gio/GlibPtr.h).
//
// `TopLevelPtr` destroys a toplevel window (GTK itself keeps toplevels alive
// until they are destroyed).

#include "gio/GlibPtr.h"

#include <gtk/gtk.h>

#include <memory>

namespace tavrin::fw::gtk {

using gio::GCharPtr;
using gio::GErrorPtr;
using gio::GObjectPtr;
using gio::MainLoopPtr;

// A deleter that calls `fn`.
template <auto fn>
struct Calls {
    void operator()(auto* object) const { fn(object); }
};
using TopLevelPtr = std::unique_ptr<GtkWidget, Calls<gtk_widget_destroy>>;
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, Calls<pango_font_description_free>>;
using FontMetricsPtr = std::unique_ptr<PangoFontMetrics, Calls<pango_font_metrics_unref>>;
using TreePathPtr = std::unique_ptr<GtkTreePath, Calls<gtk_tree_path_free>>;

}  // namespace tavrin::fw::gtk
