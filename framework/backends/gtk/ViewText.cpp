#include "framework/backends/gtk/ViewText.h"

namespace tavrin::fw::gtk {

namespace {

constexpr const char* kHiddenBreak = "tavrin-hidden-break";

GtkTextTag* hiddenBreakTag(GtkTextBuffer* buffer)
{
    GtkTextTagTable* table = gtk_text_buffer_get_tag_table(buffer);
    if (GtkTextTag* tag = gtk_text_tag_table_lookup(table, kHiddenBreak))
        return tag;
    return gtk_text_buffer_create_tag(buffer, kHiddenBreak, "invisible", TRUE, nullptr);
}

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Where a hidden break may go at or after `pos` in `line`: between two characters, and not just before a
// carriage return, which ends a line of its own and would leave an empty line on the screen.
std::size_t breakPoint(std::string_view line, std::size_t pos)
{
    while (pos < line.size() && (isContinuationByte(line[pos]) || line[pos] == '\r'))
        ++pos;
    return pos;
}

}  // namespace

void setViewText(GtkTextBuffer* buffer, std::string_view text)
{
    GtkTextTag* hidden = hiddenBreakTag(buffer);
    gtk_text_buffer_set_text(buffer, "", 0);
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(buffer, &end);
    auto insert = [&](std::string_view piece) {
        gtk_text_buffer_insert(buffer, &end, piece.data(), static_cast<gint>(piece.size()));
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
