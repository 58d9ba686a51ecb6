#pragma once
// One-line entries whose text has no length limit.
//
// GTK's own entry buffer stops growing at 65,535 bytes and drops the rest of
// a longer paste without a word. The entries of our dialogs hold their text
// in a buffer that keeps any length, and otherwise look and behave as any
// GtkEntry does:
//
//   GtkWidget* entry = newUnlimitedEntry();  // floating, as gtk_entry_new()

#include "framework/backends/gtk/GtkPtr.h"

namespace tavrin::fw::gtk {

// A new one-line entry on an unlimited buffer.
GtkWidget* newUnlimitedEntry();

}  // namespace tavrin::fw::gtk
