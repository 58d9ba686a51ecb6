#pragma once
// Text of the multi-line boxes, shown so that a long line stays quick.
//
// A text view lays out each line as one paragraph, and wrapping a long line
// that has no blank in it costs time that grows with the square of its
// length: a script holding a pasted address of a megabyte would keep the
// Results dialog busy for minutes. `setViewText` therefore shows a line
// longer than `kViewChunk` bytes as several paragraphs, separated by line
// breaks that are hidden; `viewText` reads the text without them, so it is
// always exactly the text that was set, as is what a user selects and copies.
//
// A wrapping view breaks lines at word boundaries alone (Pango draws a hyphen
// that is not in the text wherever it breaks inside a word, and GTK 3 cannot
// turn that off). Given the view's Pango context and wrap width, a word too
// long for a line is cut by the same hidden breaks where it reaches the width.

#include "framework/backends/gtk/GtkPtr.h"

#include <string>
#include <string_view>

namespace tavrin::fw::gtk {

// Lines longer than this many bytes are shown in pieces of about this size.
inline constexpr std::size_t kViewChunk = 1024;

// Replaces the buffer's text with `text`, which must be valid UTF-8; with a
// `context` and a `wrapWidth` (in Pango units), long words are cut as above.
void setViewText(GtkTextBuffer* buffer, std::string_view text, PangoContext* context = nullptr, int wrapWidth = 0);
// The buffer's text, without the hidden breaks.
std::string viewText(GtkTextBuffer* buffer);

}  // namespace tavrin::fw::gtk
