// The buffer behind newUnlimitedEntry (GtkControls.h): one-line entries whose text has no length limit.
#include "framework/backends/gtk/GtkControls.h"

#include <algorithm>

namespace tavrin::fw::gtk {

namespace {

G_DECLARE_FINAL_TYPE(UnlimitedBuffer, unlimited_buffer, TAVRIN, UNLIMITED_BUFFER, GtkEntryBuffer)

// The text as UTF-8 bytes, and its length in characters, which is how GTK counts positions.
struct _UnlimitedBuffer {
    GtkEntryBuffer parent;
    GString* text;
    guint chars;
};

G_DEFINE_TYPE(UnlimitedBuffer, unlimited_buffer, GTK_TYPE_ENTRY_BUFFER)

guint insertText(GtkEntryBuffer* buffer, guint position, const gchar* chars, guint count)
{
    UnlimitedBuffer* b = TAVRIN_UNLIMITED_BUFFER(buffer);
    position = std::min(position, b->chars);
    gsize at = static_cast<gsize>(g_utf8_offset_to_pointer(b->text->str, position) - b->text->str);
    gsize bytes = static_cast<gsize>(g_utf8_offset_to_pointer(chars, count) - chars);
    g_string_insert_len(b->text, static_cast<gssize>(at), chars, static_cast<gssize>(bytes));
    b->chars += count;
    gtk_entry_buffer_emit_inserted_text(buffer, position, chars, count);
    return count;
}

guint deleteText(GtkEntryBuffer* buffer, guint position, guint count)
{
    UnlimitedBuffer* b = TAVRIN_UNLIMITED_BUFFER(buffer);
    position = std::min(position, b->chars);
    count = std::min(count, b->chars - position);
    if (count == 0)
        return 0;
    const gchar* start = g_utf8_offset_to_pointer(b->text->str, position);
    const gchar* end = g_utf8_offset_to_pointer(start, count);
    g_string_erase(b->text, start - b->text->str, end - start);
    b->chars -= count;
    gtk_entry_buffer_emit_deleted_text(buffer, position, count);
    return count;
}

void unlimited_buffer_class_init(UnlimitedBufferClass* klass)
{
    G_OBJECT_CLASS(klass)->finalize = [](GObject* object) {
        g_string_free(TAVRIN_UNLIMITED_BUFFER(object)->text, TRUE);
        G_OBJECT_CLASS(unlimited_buffer_parent_class)->finalize(object);
    };
    GtkEntryBufferClass* buffer = GTK_ENTRY_BUFFER_CLASS(klass);
    buffer->get_text = [](GtkEntryBuffer* self, gsize* bytes) -> const gchar* {
        if (bytes)
            *bytes = TAVRIN_UNLIMITED_BUFFER(self)->text->len;
        return TAVRIN_UNLIMITED_BUFFER(self)->text->str;
    };
    buffer->get_length = [](GtkEntryBuffer* self) { return TAVRIN_UNLIMITED_BUFFER(self)->chars; };
    buffer->insert_text = insertText;
    buffer->delete_text = deleteText;
}

void unlimited_buffer_init(UnlimitedBuffer* buffer)
{
    buffer->text = g_string_new("");
    buffer->chars = 0;
}

}  // namespace

GtkWidget* newUnlimitedEntry()
{
    // The entry takes a reference of its own to the buffer.
    const GObjectPtr<GtkEntryBuffer> buffer(GTK_ENTRY_BUFFER(g_object_new(unlimited_buffer_get_type(), nullptr)));
    return gtk_entry_new_with_buffer(buffer.get());
}

}  // namespace tavrin::fw::gtk
