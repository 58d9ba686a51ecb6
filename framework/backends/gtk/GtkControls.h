#pragma once
// The controls of a dialog as GTK widgets: one class for each kind of
// control, all seen by the dialog window as a `GtkControl`. Each operation of
// the framework's `Window` that a kind does not have does nothing and answers
// as for a missing control.
//
// Below them, the helpers the controls share: GTK takes only UTF-8 text,
// three keys count as Enter, one-line entries take text of any length
// (UnlimitedEntry.cpp) and multi-line boxes keep long lines quick
// (ViewText.cpp).

#include "framework/Backend.h"
#include "framework/backends/gtk/GtkPtr.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tavrin::fw::gtk {

// The object data key under which a control's widget holds its id, by which tests find it.
inline constexpr const char* kControlIdKey = "tavrin-control-id";

class GtkControl {
public:
    GtkControl(const fw::ControlTemplate& tmpl, GtkWidget* placed, GtkWidget* focusable = nullptr);
    GtkControl(const GtkControl&) = delete;
    GtkControl& operator=(const GtkControl&) = delete;
    virtual ~GtkControl() = default;

    const fw::ControlTemplate& tmpl() const { return tmpl_; }
    GtkWidget* placed() const { return placed_; }        // in the dialog's GtkFixed
    GtkWidget* focusable() const { return focusable_; }  // takes the focus and the accessible name
    // A static text's or group box's label, else nullptr.
    GtkWidget* label() const
    {
        if (GTK_IS_FRAME(placed_))
            return gtk_frame_get_label_widget(GTK_FRAME(placed_));
        return GTK_IS_LABEL(placed_) ? placed_ : nullptr;
    }
    // Whether it takes typing, which puts it in the focus chain and lets a label name it.
    bool takesInput() const { return tmpl_.kind == fw::ControlKind::Edit || tmpl_.kind == fw::ControlKind::ComboBox; }
    // The caption as last set, "&" included.
    const std::string& caption() const { return caption_; }

    virtual std::string text() const { return caption_; }
    virtual void setText(std::string_view) {}
    // Check boxes and radio buttons: 0 clear, 1 ticked, 2 indeterminate.
    virtual int checkState() const { return 0; }
    virtual void setCheckState(int) {}
    // Combo boxes; an index of -1 means no item.
    virtual bool addListItem(std::string_view) { return false; }
    virtual int listCount() const { return 0; }
    virtual std::string listItem(int) const { return {}; }
    virtual int listSelection() const { return -1; }
    virtual void setListSelection(int) {}
    virtual bool isListDropped() const { return false; }
    virtual void closeList() {}

protected:
    fw::ControlTemplate tmpl_;
    GtkWidget* placed_;
    GtkWidget* focusable_;
    std::string caption_;
};

// What building a control needs from its dialog.
struct ControlContext {
    int baseY;                                     // the dialog font's height in pixels
    std::string fontClass;                         // the CSS class of the dialog's font
    std::function<GObjectPtr<GdkPixbuf>(int iconId)> icon;  // an icon at 32 pixels
    std::function<void(int id)> clicked;           // a button was pressed
    std::function<int(int id)> currentListItem;    // the item a combo box's field stands for
};

// The control for `tmpl`, sized `cx` by `cy` pixels (the widget is placed by the caller).
std::unique_ptr<GtkControl> makeControl(const fw::ControlTemplate& tmpl, int cx, int cy, const ControlContext& context);

// The combo box (DropDownCombo.cpp): a field `editHeight` pixels tall over a list `listHeight` pixels tall.
std::unique_ptr<GtkControl> makeDropDownCombo(const fw::ControlTemplate& tmpl, int editHeight, int listHeight,
                                              const ControlContext& context);

// "&" marks the mnemonic in our captions, "_" in GTK's; "&&" is a plain "&".
std::string toMnemonic(std::string_view caption);
// The caption as a screen reader should say it: mnemonic marks and a trailing colon removed.
std::string accessibleName(std::string_view caption);
void setAccessibleName(GtkWidget* widget, std::string_view caption);

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

// One-line entries whose text has no length limit (UnlimitedEntry.cpp).
//
// GTK's own entry buffer stops growing at 65,535 bytes and drops the rest of
// a longer paste without a word. The entries of our dialogs hold their text
// in a buffer that keeps any length, and otherwise look and behave as any
// GtkEntry does. The new entry is floating, as from gtk_entry_new().
GtkWidget* newUnlimitedEntry();

// Text of the multi-line boxes, shown so that a long line stays quick (ViewText.cpp).
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

// Lines longer than this many bytes are shown in pieces of about this size.
inline constexpr std::size_t kViewChunk = 1024;

// Replaces the buffer's text with `text`, which must be valid UTF-8; with a
// `context` and a `wrapWidth` (in Pango units), long words are cut as above.
void setViewText(GtkTextBuffer* buffer, std::string_view text, PangoContext* context = nullptr, int wrapWidth = 0);
// The buffer's text, without the hidden breaks.
std::string viewText(GtkTextBuffer* buffer);

}  // namespace tavrin::fw::gtk
