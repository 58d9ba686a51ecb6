#pragma once
// Small helpers shared by the back end's widgets: GTK takes only UTF-8 text,
// and three keys count as Enter.

#include "framework/backends/gtk/GtkPtr.h"

#include <string>
#include <string_view>

namespace tavrin::fw::gtk {

// `text` as GTK can show it: unchanged when it is UTF-8, else with its bad bytes replaced.
inline std::string validUtf8(std::string_view text)
{
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
        return std::string(text);
    GCharPtr valid(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
    return valid.get();
}

inline bool isEnterKey(guint keyval)
{
    return keyval == GDK_KEY_Return || keyval == GDK_KEY_KP_Enter || keyval == GDK_KEY_ISO_Enter;
}

}  // namespace tavrin::fw::gtk
