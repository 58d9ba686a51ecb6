#include "framework/backends/gtk/GtkControls.h"

namespace tavrin::fw::gtk {

std::string toMnemonic(std::string_view caption)
{
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size() && caption[++i] != '&')
            out += '_';
        out += caption[i] == '_' ? "__" : std::string(1, caption[i]);
    }
    return validUtf8(out);
}

std::string accessibleName(std::string_view caption)
{
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    while (!out.empty() && (out.back() == ':' || out.back() == ' '))
        out.pop_back();
    return validUtf8(out);
}

void setAccessibleName(GtkWidget* widget, std::string_view caption)
{
    if (AtkObject* accessible = gtk_widget_get_accessible(widget))
        atk_object_set_name(accessible, accessibleName(caption).c_str());
}

GtkControl::GtkControl(const fw::ControlTemplate& tmpl, GtkWidget* placed, GtkWidget* focusable)
    : tmpl_(tmpl), placed_(placed), focusable_(focusable ? focusable : placed), caption_(tmpl.caption)
{
    if (placed_)
        g_object_set_data(G_OBJECT(placed_), kControlIdKey, GINT_TO_POINTER(tmpl.id));
}

namespace {

// A push button; check boxes and radio buttons add their state.
class PushButton : public GtkControl {
public:
    PushButton(const fw::ControlTemplate& tmpl, GtkWidget* button, std::function<void(int)> clicked)
        : GtkControl(tmpl, button), clicked_(std::move(clicked))
    {
        g_signal_connect_swapped(button, "clicked", G_CALLBACK(+[](PushButton* self) {
            if (self->tmpl_.id != fw::kNoId)
                self->clicked_(self->tmpl_.id);
        }), this);
        setAccessibleName(button, tmpl.caption);
        if (tmpl.defaultButton)
            gtk_style_context_add_class(gtk_widget_get_style_context(button), "default");
    }
    void setText(std::string_view text) override
    {
        caption_ = text;
        gtk_button_set_label(GTK_BUTTON(placed_), toMnemonic(text).c_str());
        setAccessibleName(placed_, text);
    }

private:
    std::function<void(int)> clicked_;
};

// A check box, or a radio button. Each radio button is a group of its own; a hidden partner holds the group's
// state while it is clear.
class ToggleButton final : public PushButton {
public:
    ToggleButton(const fw::ControlTemplate& tmpl, std::function<void(int)> clicked)
        : PushButton(tmpl,
                     tmpl.kind == fw::ControlKind::CheckBox
                         ? gtk_check_button_new_with_mnemonic(toMnemonic(tmpl.caption).c_str())
                         : gtk_radio_button_new_with_mnemonic(nullptr, toMnemonic(tmpl.caption).c_str()),
                     std::move(clicked))
    {
        if (tmpl.kind == fw::ControlKind::CheckBox)
            return;
        partner_.reset(GTK_WIDGET(g_object_ref_sink(gtk_radio_button_new_from_widget(GTK_RADIO_BUTTON(placed_)))));
        setCheckState(0);
        // An arrow key on a focused radio moves the focus on as from any other control. GTK's radio would take
        // it to the next radio of its group and select that; each of ours is a group of its own, so it would
        // select itself.
        g_signal_connect(placed_, "focus", G_CALLBACK(+[](GtkWidget* radio, GtkDirectionType direction) -> gboolean {
            if (gtk_widget_is_focus(radio) && direction != GTK_DIR_TAB_FORWARD && direction != GTK_DIR_TAB_BACKWARD)
                g_signal_stop_emission_by_name(radio, "focus");
            return FALSE;
        }), nullptr);
    }
    int checkState() const override
    {
        return gtk_toggle_button_get_inconsistent(toggle()) ? 2 : gtk_toggle_button_get_active(toggle()) ? 1 : 0;
    }
    // Setting a state programmatically is no click: the command is not reported.
    void setCheckState(int state) override
    {
        g_signal_handlers_block_matched(placed_, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
        if (!partner_)
            gtk_toggle_button_set_inconsistent(toggle(), state == 2);
        gtk_toggle_button_set_active(partner_ && state != 1 ? GTK_TOGGLE_BUTTON(partner_.get()) : toggle(),
                                     partner_ || state == 1);
        g_signal_handlers_unblock_matched(placed_, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    }

private:
    GtkToggleButton* toggle() const { return GTK_TOGGLE_BUTTON(placed_); }
    GObjectPtr<GtkWidget> partner_;  // in no container
};

class Edit final : public GtkControl {
public:
    explicit Edit(const fw::ControlTemplate& tmpl) : GtkControl(tmpl, newUnlimitedEntry())
    {
        gtk_entry_set_width_chars(GTK_ENTRY(placed_), 1);
        gtk_editable_set_editable(GTK_EDITABLE(placed_), !tmpl.readOnly);
    }
    std::string text() const override { return gtk_entry_get_text(GTK_ENTRY(placed_)); }
    void setText(std::string_view text) override { gtk_entry_set_text(GTK_ENTRY(placed_), validUtf8(text).c_str()); }
};

// A multi-line box: a text view in a scrolled window, wrapped at word boundaries alone; setViewText cuts a word
// too long for a line (see GtkControls.h).
class TextBox final : public GtkControl {
public:
    explicit TextBox(const fw::ControlTemplate& tmpl)
        : GtkControl(tmpl, gtk_scrolled_window_new(nullptr, nullptr), gtk_text_view_new())
    {
        GtkTextView* view = GTK_TEXT_VIEW(focusable_);
        gtk_text_view_set_wrap_mode(view, tmpl.wrap ? GTK_WRAP_WORD : GTK_WRAP_NONE);
        // The width its words are cut at follows the box's; the text is laid out again once the allocation is over.
        if (tmpl.wrap)
            g_signal_connect_swapped(view, "size-allocate", G_CALLBACK(+[](TextBox* self, GdkRectangle* allocation) {
                const int width = (allocation->width - 2 * kMargin - 1) * PANGO_SCALE;
                if (width != self->wrapWidth_ && self->rewrap_ == 0)
                    self->rewrap_ = g_idle_add(G_SOURCE_FUNC(+[](TextBox* box) {
                        box->rewrap_ = 0;
                        if (box->wrapWidth_ > 0)
                            box->setText(box->text());
                        return G_SOURCE_REMOVE;
                    }), self);
                self->wrapWidth_ = width;
            }), this);
        gtk_text_view_set_editable(view, !tmpl.readOnly);
        gtk_text_view_set_accepts_tab(view, FALSE);
        gtk_text_view_set_left_margin(view, kMargin);
        gtk_text_view_set_right_margin(view, kMargin);
        GtkScrolledWindow* scroller = GTK_SCROLLED_WINDOW(placed_);
        gtk_scrolled_window_set_policy(scroller, tmpl.wrap ? GTK_POLICY_NEVER : GTK_POLICY_AUTOMATIC,
                                       tmpl.vScroll ? GTK_POLICY_ALWAYS : GTK_POLICY_EXTERNAL);
        gtk_scrolled_window_set_overlay_scrolling(scroller, FALSE);
        gtk_scrolled_window_set_shadow_type(scroller, GTK_SHADOW_IN);
        gtk_container_add(GTK_CONTAINER(placed_), focusable_);
    }
    ~TextBox() override
    {
        if (rewrap_ != 0)
            g_source_remove(rewrap_);
    }
    std::string text() const override { return viewText(buffer()); }
    void setText(std::string_view text) override
    {
        setViewText(buffer(), validUtf8(text), gtk_widget_get_pango_context(focusable_), wrapWidth_);
    }

private:
    GtkTextBuffer* buffer() const { return gtk_text_view_get_buffer(GTK_TEXT_VIEW(focusable_)); }
    static constexpr int kMargin = 2;
    int wrapWidth_ = 0;  // in Pango units
    guint rewrap_ = 0;
};

// A static text, or a group box with its caption as the frame's label.
class Label final : public GtkControl {
public:
    Label(const fw::ControlTemplate& tmpl, GtkWidget* label, bool wraps)
        : GtkControl(tmpl, tmpl.kind == fw::ControlKind::GroupBox ? gtk_frame_new(nullptr) : label)
    {
        if (tmpl.kind == fw::ControlKind::GroupBox) {
            gtk_frame_set_label_widget(GTK_FRAME(placed_), label);
            gtk_frame_set_label_align(GTK_FRAME(placed_), 0.0f, 0.5f);
            return;
        }
        gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
        gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
        // A text two lines tall or more wraps at its width; a one-line text is clipped there.
        if (wraps) {
            gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
            gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
        } else {
            gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
            gtk_label_set_width_chars(GTK_LABEL(label), 1);
        }
    }
    void setText(std::string_view text) override
    {
        caption_ = text;
        gtk_label_set_text_with_mnemonic(GTK_LABEL(label()), toMnemonic(text).c_str());
    }
};

}  // namespace

std::unique_ptr<GtkControl> makeControl(const fw::ControlTemplate& tmpl, int cx, int cy, const ControlContext& context)
{
    std::unique_ptr<GtkControl> control;
    switch (tmpl.kind) {
    case fw::ControlKind::PushButton:
        control = std::make_unique<PushButton>(tmpl, gtk_button_new_with_mnemonic(toMnemonic(tmpl.caption).c_str()),
                                               context.clicked);
        break;
    case fw::ControlKind::CheckBox:
    case fw::ControlKind::RadioButton:
        control = std::make_unique<ToggleButton>(tmpl, context.clicked);
        break;
    case fw::ControlKind::Edit:
        if (tmpl.multiLine)
            control = std::make_unique<TextBox>(tmpl);
        else
            control = std::make_unique<Edit>(tmpl);
        break;
    case fw::ControlKind::ComboBox: {
        // The template's height is the combo's with its list dropped; the field itself is one line tall.
        const int editHeight = context.baseY + 8;
        control = makeDropDownCombo(tmpl, editHeight, cy > editHeight ? cy - editHeight : editHeight, context);
        cy = editHeight;
        break;
    }
    case fw::ControlKind::GroupBox:
    case fw::ControlKind::Text:
        control = std::make_unique<Label>(tmpl, gtk_label_new_with_mnemonic(toMnemonic(tmpl.caption).c_str()),
                                          cy >= 2 * context.baseY);
        break;
    case fw::ControlKind::Icon: {
        // No picture gives an empty image.
        control = std::make_unique<GtkControl>(tmpl, gtk_image_new_from_pixbuf(context.icon(tmpl.iconId).get()));
        gtk_widget_set_halign(control->placed(), GTK_ALIGN_START);
        gtk_widget_set_valign(control->placed(), GTK_ALIGN_START);
        cx = cy = -1;  // shown at its picture's size
        break;
    }
    }
    gtk_widget_set_size_request(control->placed(), cx, cy);
    return control;
}

}  // namespace tavrin::fw::gtk
