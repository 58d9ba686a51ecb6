// The multi-line boxes' text with hidden breaks, so that long lines stay quick (GtkControls.h says how).
#include "framework/backends/gtk/GtkControls.h"

#include <vector>

namespace tavrin::fw::gtk {

namespace {

constexpr const char* kHiddenBreak = "tavrin-hidden-break";

GtkTextTag* hiddenBreakTag(GtkTextBuffer* buffer)
{
    GtkTextTag* tag = gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(buffer), kHiddenBreak);
    return tag ? tag : gtk_text_buffer_create_tag(buffer, kHiddenBreak, "invisible", TRUE, nullptr);
}

// Where a hidden break may go at or after `pos` in `line`: between two characters, and not just before a
// carriage return, which ends a line of its own and would leave an empty line on the screen.
std::size_t breakPoint(std::string_view line, std::size_t pos)
{
    while (pos < line.size() && ((static_cast<unsigned char>(line[pos]) & 0xC0) == 0x80 || line[pos] == '\r'))
        ++pos;
    return pos;
}

// Where a line wrapped at `width` in `context` breaks inside a word: the byte offsets in `piece` at which a
// display line starts although no line may break there. None without a context or a width.
std::vector<std::size_t> wordCuts(std::string_view piece, PangoContext* context, int width)
{
    std::vector<std::size_t> cuts;
    if (!context || width <= 0)
        return cuts;
    GObjectPtr<PangoLayout> layout(pango_layout_new(context));
    pango_layout_set_text(layout.get(), piece.data(), static_cast<int>(piece.size()));
    pango_layout_set_width(layout.get(), width);
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    int attrCount = 0;
    const PangoLogAttr* attrs = pango_layout_get_log_attrs_readonly(layout.get(), &attrCount);
    for (GSList* line = pango_layout_get_lines_readonly(layout.get()); line; line = line->next) {
        auto start = static_cast<std::size_t>(static_cast<PangoLayoutLine*>(line->data)->start_index);
        if (start == 0 || start >= piece.size())
            continue;
        long offset = g_utf8_pointer_to_offset(piece.data(), piece.data() + start);
        if (offset < attrCount && !attrs[offset].is_line_break && piece[start - 1] != '\n' && piece[start - 1] != '\r')
            cuts.push_back(start);
    }
    return cuts;
}

}  // namespace

void setViewText(GtkTextBuffer* buffer, std::string_view text, PangoContext* context, int wrapWidth)
{
    GtkTextTag* hidden = hiddenBreakTag(buffer);
    gtk_text_buffer_set_text(buffer, "", 0);
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(buffer, &end);
    // A piece of a line, then a hidden break.
    auto insertBroken = [&](std::string_view piece) {
        gtk_text_buffer_insert(buffer, &end, piece.data(), static_cast<gint>(piece.size()));
        gtk_text_buffer_insert_with_tags(buffer, &end, "\n", 1, hidden, nullptr);
    };
    auto insert = [&](std::string_view piece) {
        std::size_t from = 0;
        for (std::size_t cut : wordCuts(piece, context, wrapWidth)) {
            insertBroken(piece.substr(from, cut - from));
            from = cut;
        }
        gtk_text_buffer_insert(buffer, &end, piece.data() + from, static_cast<gint>(piece.size() - from));
    };
    while (!text.empty()) {
        std::size_t lineEnd = text.find('\n');
        std::size_t lineLength = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
        std::string_view line = text.substr(0, lineLength);
        text.remove_prefix(lineLength);
        while (line.size() > kViewChunk) {
            std::size_t cut = breakPoint(line, kViewChunk);
            if (cut >= line.size())
                break;
            insert(line.substr(0, cut));
            gtk_text_buffer_insert_with_tags(buffer, &end, "\n", 1, hidden, nullptr);
            line.remove_prefix(cut);
        }
        insert(line);
    }
}

std::string viewText(GtkTextBuffer* buffer)
{
    GtkTextIter start;
    GtkTextIter end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    GCharPtr text(gtk_text_buffer_get_text(buffer, &start, &end, FALSE));
    return text.get();
}

}  // namespace tavrin::fw::gtk
