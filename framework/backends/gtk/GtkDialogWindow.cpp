#include "framework/backends/gtk/GtkDialogWindow.h"

#include "framework/Dialog.h"
#include "framework/backends/gtk/GtkBackend.h"
#include "framework/backends/gtk/GtkText.h"
#include "framework/backends/gtk/UnlimitedEntry.h"
#include "framework/backends/gtk/ViewText.h"

namespace tavrin::fw::gtk {

namespace {

constexpr const char* kCommandKey = "tavrin-command";

// "&" marks the mnemonic in our captions, "_" in GTK's; "&&" is a plain "&".
std::string toMnemonic(std::string_view caption)
{
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        char c = caption[i];
        if (c == '&' && i + 1 < caption.size()) {
            ++i;
            out += caption[i] == '&' ? "&" : "_";
            if (caption[i] != '&')
                out += caption[i] == '_' ? "__" : std::string(1, caption[i]);
        } else if (c == '_') {
            out += "__";
        } else {
            out += c;
        }
    }
    return validUtf8(out);
}

// The caption as a screen reader should say it: mnemonic marks removed.
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

}  // namespace

GtkDialogWindow::GtkDialogWindow(GtkBackend& backend, const fw::DialogTemplate& tmpl, GtkDialogWindow* owner,
                                 fw::WindowEvents& events)
    : backend_(backend), owner_(owner), events_(events), font_(dialogFont(tmpl.fontName, tmpl.fontPoints))
{
    window_.reset(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    GtkWindow* window = gtkWindow();
    GtkStyleContext* style = gtk_widget_get_style_context(window_.get());
    gtk_style_context_add_class(style, "tavrin-dialog");
    gtk_style_context_add_class(style, backend_.fontClass(font_.family, font_.pixelSize).c_str());
    gtk_window_set_title(window, validUtf8(tmpl.caption).c_str());
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_skip_taskbar_hint(window, !tmpl.appWindow);
    if (!tmpl.appWindow)
        gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    if (owner_) {
        gtk_window_set_transient_for(window, owner_->gtkWindow());
        gtk_window_set_modal(window, TRUE);
    }
    buildTitleBar(tmpl);

    fixed_ = gtk_fixed_new();
    gtk_style_context_add_class(gtk_widget_get_style_context(fixed_), "tavrin-client");
    gtk_widget_set_size_request(fixed_, font_.toPixelsX(tmpl.cx), font_.toPixelsY(tmpl.cy));
    gtk_container_add(GTK_CONTAINER(window), fixed_);

    controls_.reserve(tmpl.controls.size());
    for (const fw::ControlTemplate& control : tmpl.controls)
        buildControl(control);
    linkLabelsAndFocusChain(tmpl);
    describeGroups(tmpl);

    g_signal_connect(window, "key-press-event", G_CALLBACK(onKeyPress), this);
    g_signal_connect(window, "delete-event", G_CALLBACK(onDelete), this);
    g_signal_connect(window, "map-event", G_CALLBACK(onMapped), this);
    gtk_widget_show_all(fixed_);
}

GtkDialogWindow::~GtkDialogWindow()
{
    if (deliverySource_ != 0)
        g_source_remove(deliverySource_);
    if (rewrapSource_ != 0)
        g_source_remove(rewrapSource_);
}

void GtkDialogWindow::buildTitleBar(const fw::DialogTemplate& tmpl)
{
    GtkWidget* header = gtk_header_bar_new();
    gtk_header_bar_set_title(GTK_HEADER_BAR(header), validUtf8(tmpl.caption).c_str());
    gtk_header_bar_set_decoration_layout(GTK_HEADER_BAR(header), tmpl.systemMenu ? ":close" : ":");
    gtk_header_bar_set_show_close_button(GTK_HEADER_BAR(header), tmpl.systemMenu);
    if (tmpl.systemMenu) {
        // The window icon opens the window menu: "Close", then what the dialog appends.
        menu_ = gtk_menu_new();
        GtkWidget* close = gtk_menu_item_new_with_mnemonic("_Close");
        g_signal_connect(close, "activate", G_CALLBACK(onMenuClose), this);
        gtk_menu_shell_append(GTK_MENU_SHELL(menu_), close);
        gtk_widget_show_all(menu_);

        menuButton_ = gtk_menu_button_new();
        gtk_widget_set_can_focus(menuButton_, FALSE);
        gtk_button_set_relief(GTK_BUTTON(menuButton_), GTK_RELIEF_NONE);
        gtk_style_context_add_class(gtk_widget_get_style_context(menuButton_), "tavrin-window-menu");
        gtk_menu_button_set_popup(GTK_MENU_BUTTON(menuButton_), menu_);
        if (GdkPixbuf* pixbuf = backend_.icon(backend_.defaultIconId(), 16))
            menuImage_ = gtk_image_new_from_pixbuf(pixbuf);
        else
            menuImage_ = gtk_image_new_from_icon_name("open-menu-symbolic", GTK_ICON_SIZE_MENU);
        gtk_button_set_image(GTK_BUTTON(menuButton_), menuImage_);
        setAccessibleName(menuButton_, "Window menu");
        gtk_header_bar_pack_start(GTK_HEADER_BAR(header), menuButton_);
    }
    gtk_widget_show_all(header);
    gtk_window_set_titlebar(gtkWindow(), header);
}

void GtkDialogWindow::buildControl(const fw::ControlTemplate& tmpl)
{
    Control control;
    control.tmpl = tmpl;
    control.rawText = tmpl.caption;
    int x = font_.toPixelsX(tmpl.rect.x);
    int y = font_.toPixelsY(tmpl.rect.y);
    int cx = font_.toPixelsX(tmpl.rect.cx);
    int cy = font_.toPixelsY(tmpl.rect.cy);
    GtkWidget* widget = nullptr;

    switch (tmpl.kind) {
    case fw::ControlKind::PushButton:
        widget = gtk_button_new_with_mnemonic(toMnemonic(tmpl.caption).c_str());
        if (tmpl.defaultButton)
            gtk_style_context_add_class(gtk_widget_get_style_context(widget), "default");
        break;
    case fw::ControlKind::CheckBox:
        widget = gtk_check_button_new_with_mnemonic(toMnemonic(tmpl.caption).c_str());
        break;
    case fw::ControlKind::RadioButton:
        // Each radio is a group of its own; a hidden partner holds the group's state when the radio is cleared.
        widget = gtk_radio_button_new_with_mnemonic(nullptr, toMnemonic(tmpl.caption).c_str());
        control.partner = ownFloating(gtk_radio_button_new_from_widget(GTK_RADIO_BUTTON(widget)));
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(control.partner.get()), TRUE);
        g_signal_connect(widget, "focus", G_CALLBACK(onRadioFocus), nullptr);
        break;
    case fw::ControlKind::Edit:
        if (tmpl.multiLine) {
            GtkWidget* view = gtk_text_view_new();
            // Wrapped at word boundaries alone; setViewText cuts a word too long for a line (see ViewText.h).
            gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), tmpl.wrap ? GTK_WRAP_WORD : GTK_WRAP_NONE);
            if (tmpl.wrap)
                g_signal_connect(view, "size-allocate", G_CALLBACK(onViewAllocated), this);
            gtk_text_view_set_editable(GTK_TEXT_VIEW(view), !tmpl.readOnly);
            gtk_text_view_set_accepts_tab(GTK_TEXT_VIEW(view), FALSE);
            gtk_text_view_set_left_margin(GTK_TEXT_VIEW(view), 2);
            gtk_text_view_set_right_margin(GTK_TEXT_VIEW(view), 2);
            widget = gtk_scrolled_window_new(nullptr, nullptr);
            gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(widget),
                                           tmpl.wrap ? GTK_POLICY_NEVER : GTK_POLICY_AUTOMATIC,
                                           tmpl.vScroll ? GTK_POLICY_ALWAYS : GTK_POLICY_EXTERNAL);
            gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(widget), FALSE);
            gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(widget), GTK_SHADOW_IN);
            gtk_container_add(GTK_CONTAINER(widget), view);
            control.focusable = view;
            control.buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
        } else {
            widget = newUnlimitedEntry();
            gtk_entry_set_width_chars(GTK_ENTRY(widget), 1);
            gtk_editable_set_editable(GTK_EDITABLE(widget), !tmpl.readOnly);
        }
        break;
    case fw::ControlKind::ComboBox: {
        int editHeight = font_.baseY + 8;
        // The field's text stands for an item by the dialog's own combo rule.
        DropDownCombo::Match match = [this, id = tmpl.id](std::string_view text) {
            return fw::findListPrefix(*this, id, text);
        };
        control.combo = std::make_unique<DropDownCombo>(editHeight, cy > editHeight ? cy - editHeight : editHeight,
                                                        std::move(match),
                                                        backend_.fontClass(font_.family, font_.pixelSize));
        widget = control.combo->widget();
        control.focusable = control.combo->entry();
        cy = editHeight;
        break;
    }
    case fw::ControlKind::GroupBox:
        widget = gtk_frame_new(nullptr);
        control.label = gtk_label_new_with_mnemonic(toMnemonic(tmpl.caption).c_str());
        gtk_frame_set_label_widget(GTK_FRAME(widget), control.label);
        gtk_frame_set_label_align(GTK_FRAME(widget), 0.0f, 0.5f);
        break;
    case fw::ControlKind::Text: {
        widget = gtk_label_new_with_mnemonic(toMnemonic(tmpl.caption).c_str());
        control.label = widget;
        gtk_label_set_xalign(GTK_LABEL(widget), 0.0f);
        gtk_label_set_yalign(GTK_LABEL(widget), 0.0f);
        // A text two lines tall or more wraps at its width; a one-line text is clipped there.
        if (cy >= 2 * font_.baseY) {
            gtk_label_set_line_wrap(GTK_LABEL(widget), TRUE);
            gtk_label_set_line_wrap_mode(GTK_LABEL(widget), PANGO_WRAP_WORD_CHAR);
        } else {
            gtk_label_set_ellipsize(GTK_LABEL(widget), PANGO_ELLIPSIZE_END);
            gtk_label_set_width_chars(GTK_LABEL(widget), 1);
        }
        break;
    }
    case fw::ControlKind::Icon:
        if (GdkPixbuf* pixbuf = backend_.icon(tmpl.iconId, 32))
            widget = gtk_image_new_from_pixbuf(pixbuf);
        else
            widget = gtk_image_new();
        gtk_widget_set_halign(widget, GTK_ALIGN_START);
        gtk_widget_set_valign(widget, GTK_ALIGN_START);
        cx = cy = -1;
        break;
    }

    if (!control.focusable)
        control.focusable = widget;
    if (GTK_IS_BUTTON(widget)) {
        control.clickedHandler = g_signal_connect(widget, "clicked", G_CALLBACK(onClicked), this);
        setAccessibleName(widget, tmpl.caption);
    }
    g_object_set_data(G_OBJECT(widget), kControlIdKey, GINT_TO_POINTER(tmpl.id));
    gtk_widget_set_can_focus(control.focusable, tmpl.tabStop || GTK_IS_ENTRY(control.focusable) ||
                                                    GTK_IS_TEXT_VIEW(control.focusable));
    gtk_widget_set_size_request(widget, cx, cy);
    gtk_fixed_put(GTK_FIXED(fixed_), widget, x, y);
    control.placed = widget;
    controls_.push_back(std::move(control));
}

void GtkDialogWindow::linkLabelsAndFocusChain(const fw::DialogTemplate& tmpl)
{
    // A static text or group box labels the next control that takes input, as its mnemonic moves the focus
    // there; a box with no text in front of it is named after the group box around it.
    GList* chain = nullptr;
    for (size_t i = 0; i < controls_.size(); ++i) {
        Control& control = controls_[i];
        bool takesInput = control.tmpl.kind == fw::ControlKind::Edit || control.tmpl.kind == fw::ControlKind::ComboBox;
        if (control.tmpl.tabStop || takesInput)
            chain = g_list_append(chain, control.placed);
        if (!takesInput)
            continue;
        const Control* label = nullptr;
        if (i > 0 && controls_[i - 1].label)
            label = &controls_[i - 1];
        if (const fw::ControlTemplate* box = label ? nullptr : fw::groupBoxOf(tmpl, tmpl.controls[i]))
            label = &controls_[static_cast<size_t>(box - tmpl.controls.data())];
        if (label) {
            setAccessibleName(control.focusable, label->rawText);
            if (label->tmpl.kind == fw::ControlKind::Text)
                gtk_label_set_mnemonic_widget(GTK_LABEL(label->label), control.focusable);
            if (control.combo) {
                // The combo box itself carries the name, and is labelled by its label, as is its field.
                AtkObject* combo = gtk_widget_get_accessible(control.placed);
                setAccessibleName(control.placed, label->rawText);
                atk_object_add_relationship(combo, ATK_RELATION_LABELLED_BY, gtk_widget_get_accessible(label->label));
                atk_object_add_relationship(gtk_widget_get_accessible(label->label), ATK_RELATION_LABEL_FOR, combo);
            }
        }
    }
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_container_set_focus_chain(GTK_CONTAINER(fixed_), chain);
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_list_free(chain);
}

void GtkDialogWindow::describeGroups(const fw::DialogTemplate& tmpl)
{
    // A screen reader reads a dialog as a flat set of controls: each control in a group box carries the box's
    // caption as its description, and each radio button is a member of the radios in its group box (not of
    // the two-button group, with a hidden partner, that the back end makes of it).
    if (AtkObject* accessible = gtk_widget_get_accessible(window_.get()); accessible && !tmpl.appWindow)
        atk_object_set_role(accessible, ATK_ROLE_DIALOG);
    for (size_t i = 0; i < controls_.size(); ++i) {
        Control& control = controls_[i];
        const fw::ControlTemplate& c = tmpl.controls[i];
        bool takesFocus = c.tabStop || c.kind == fw::ControlKind::Edit || c.kind == fw::ControlKind::ComboBox;
        const fw::ControlTemplate* box = fw::groupBoxOf(tmpl, c);
        if (!box || !takesFocus)
            continue;
        std::string context = accessibleName(box->caption);
        for (GtkWidget* widget : {control.placed, control.focusable}) {
            AtkObject* accessible = gtk_widget_get_accessible(widget);
            const char* name = atk_object_get_name(accessible);
            if (!name || context != name)
                atk_object_set_description(accessible, context.c_str());
        }
        if (c.kind != fw::ControlKind::RadioButton)
            continue;
        // Listed last to first, as GTK lists a radio group and as screen readers expect.
        std::vector<AtkObject*> members;
        for (const fw::ControlTemplate* radio : fw::radioSetOf(tmpl, c))
            members.insert(members.begin(),
                           gtk_widget_get_accessible(controls_[static_cast<size_t>(radio - tmpl.controls.data())].placed));
        AtkObject* accessible = gtk_widget_get_accessible(control.placed);
        // The radio's own relation set fills in its GTK group the first time it is asked for; replace that.
        GObjectPtr<AtkRelationSet> relations(atk_object_ref_relation_set(accessible));
        if (AtkRelation* own = atk_relation_set_get_relation_by_type(relations.get(), ATK_RELATION_MEMBER_OF))
            atk_relation_set_remove(relations.get(), own);
        GObjectPtr<AtkRelation> group(
            atk_relation_new(members.data(), static_cast<gint>(members.size()), ATK_RELATION_MEMBER_OF));
        atk_relation_set_add(relations.get(), group.get());
    }
}

GtkDialogWindow::Control* GtkDialogWindow::find(int id)
{
    if (id == fw::kNoId)
        return nullptr;
    for (Control& control : controls_) {
        if (control.tmpl.id == id)
            return &control;
    }
    return nullptr;
}

const GtkDialogWindow::Control* GtkDialogWindow::find(int id) const
{
    return const_cast<GtkDialogWindow*>(this)->find(id);
}

int GtkDialogWindow::run()
{
    // Realised first, so that its size and the placement of its client-side frame are final when the
    // framework centres it.
    gtk_widget_realize(window_.get());
    if (!events_.onWindowCreated(*this))
        return -1;
    if (ended_)
        return result_;

    gtk_widget_show(window_.get());
    gtk_window_present(gtkWindow());
    if (owner_)
        owner_->beginModalOver();
    loop_.reset(g_main_loop_new(nullptr, FALSE));
    g_main_loop_run(loop_.get());
    loop_.reset();
    for (Control& control : controls_) {
        if (control.combo)
            control.combo->close();
    }
    gtk_widget_hide(window_.get());
    if (owner_) {
        owner_->endModalOver();
        gtk_window_present(owner_->gtkWindow());
    }
    return result_;
}

void GtkDialogWindow::beginModalOver()
{
    ++blockedBy_;
    ++modalRuns_;
    pendingReports_.clear();
}

void GtkDialogWindow::endModalOver()
{
    --blockedBy_;
}

std::string GtkDialogWindow::text(int id) const
{
    const Control* control = find(id);
    if (!control)
        return {};
    if (control->combo)
        return control->combo->text();
    if (control->buffer)
        return viewText(control->buffer);
    if (GTK_IS_ENTRY(control->placed))
        return gtk_entry_get_text(GTK_ENTRY(control->placed));
    return control->rawText;
}

void GtkDialogWindow::setText(int id, std::string_view text)
{
    Control* control = find(id);
    if (!control)
        return;
    std::string valid = validUtf8(text);
    if (control->combo) {
        control->combo->setText(text);
    } else if (control->buffer) {
        setViewText(control->buffer, valid, gtk_widget_get_pango_context(control->focusable), control->wrapWidth);
    } else if (GTK_IS_ENTRY(control->placed)) {
        gtk_entry_set_text(GTK_ENTRY(control->placed), valid.c_str());
    } else {
        control->rawText = text;
        if (GTK_IS_BUTTON(control->placed)) {
            gtk_button_set_label(GTK_BUTTON(control->placed), toMnemonic(text).c_str());
            setAccessibleName(control->placed, text);
        } else if (control->label) {
            gtk_label_set_text_with_mnemonic(GTK_LABEL(control->label), toMnemonic(text).c_str());
        }
    }
}

int GtkDialogWindow::checkState(int id) const
{
    const Control* control = find(id);
    if (!control || !GTK_IS_TOGGLE_BUTTON(control->placed))
        return 0;
    GtkToggleButton* button = GTK_TOGGLE_BUTTON(control->placed);
    if (gtk_toggle_button_get_inconsistent(button))
        return 2;
    return gtk_toggle_button_get_active(button) ? 1 : 0;
}

void GtkDialogWindow::setCheckState(int id, int state)
{
    Control* control = find(id);
    if (!control || !GTK_IS_TOGGLE_BUTTON(control->placed))
        return;
    // Setting a state programmatically is no click: keep the command from being reported.
    g_signal_handler_block(control->placed, control->clickedHandler);
    GtkToggleButton* button = GTK_TOGGLE_BUTTON(control->placed);
    if (control->partner) {
        GtkWidget* active = state == 1 ? control->placed : control->partner.get();
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(active), TRUE);
    } else {
        gtk_toggle_button_set_inconsistent(button, state == 2);
        gtk_toggle_button_set_active(button, state == 1);
    }
    g_signal_handler_unblock(control->placed, control->clickedHandler);
}

bool GtkDialogWindow::addListItem(int id, std::string_view item)
{
    Control* control = find(id);
    if (!control || !control->combo)
        return false;
    control->combo->addItem(item);
    return true;
}

int GtkDialogWindow::listCount(int id) const
{
    const Control* control = find(id);
    return control && control->combo ? control->combo->count() : 0;
}

std::string GtkDialogWindow::listItem(int id, int index) const
{
    const Control* control = find(id);
    return control && control->combo ? control->combo->item(index) : std::string();
}

int GtkDialogWindow::listSelection(int id) const
{
    const Control* control = find(id);
    return control && control->combo ? control->combo->selection() : -1;
}

void GtkDialogWindow::setListSelection(int id, int index)
{
    if (Control* control = find(id); control && control->combo)
        control->combo->select(index);
}

bool GtkDialogWindow::isListDropped(int id) const
{
    const Control* control = find(id);
    return control && control->combo && control->combo->isDropped();
}

void GtkDialogWindow::closeList(int id)
{
    if (Control* control = find(id); control && control->combo)
        control->combo->close();
}

int GtkDialogWindow::focus() const
{
    GtkWidget* focused = gtk_window_get_focus(gtkWindow());
    if (!focused)
        return fw::kNoId;
    for (const Control& control : controls_) {
        if (focused == control.placed || gtk_widget_is_ancestor(focused, control.placed))
            return control.tmpl.id;
    }
    return fw::kNoId;
}

void GtkDialogWindow::setFocus(int id)
{
    if (Control* control = find(id))
        gtk_widget_grab_focus(control->focusable);
}

fw::PixelRect GtkDialogWindow::frame() const
{
    GdkWindow* gdkWindow = gtk_widget_get_window(window_.get());
    if (gdkWindow && gtk_widget_get_mapped(window_.get())) {
        GdkRectangle rect;
        gdk_window_get_frame_extents(gdkWindow, &rect);
        return {rect.x, rect.y, rect.width, rect.height};
    }
    // Not shown yet: where it will be mapped, at the size its contents ask for.
    fw::PixelRect rect;
    gtk_window_get_position(gtkWindow(), &rect.x, &rect.y);
    GtkRequisition natural;
    gtk_widget_get_preferred_size(window_.get(), nullptr, &natural);
    rect.cx = natural.width;
    rect.cy = natural.height;
    return rect;
}

void GtkDialogWindow::moveTo(int x, int y)
{
    gtk_window_move(gtkWindow(), x, y);
    wantedX_ = x;
    wantedY_ = y;
    placeRequested_ = true;
}

gboolean GtkDialogWindow::onMapped(GtkWidget* widget, GdkEvent*, gpointer self)
{
    // GTK may offset a client-side-decorated window by a shadow it does not draw on a screen without
    // compositing; put the frame where the framework placed it.
    auto* window = static_cast<GtkDialogWindow*>(self);
    if (window->placeRequested_) {
        GdkRectangle frame;
        GdkWindow* gdkWindow = gtk_widget_get_window(widget);
        gdk_window_get_frame_extents(gdkWindow, &frame);
        if (frame.x != window->wantedX_ || frame.y != window->wantedY_)
            gdk_window_move(gdkWindow, window->wantedX_, window->wantedY_);
        window->placeRequested_ = false;
    }
    return FALSE;
}

void GtkDialogWindow::onViewAllocated(GtkWidget* view, GdkRectangle* allocation, gpointer self)
{
    // The width its words are cut at follows the box's; the text is laid out again once the allocation is over.
    auto* window = static_cast<GtkDialogWindow*>(self);
    int width = (allocation->width - gtk_text_view_get_left_margin(GTK_TEXT_VIEW(view)) -
                 gtk_text_view_get_right_margin(GTK_TEXT_VIEW(view)) - 1) *
                PANGO_SCALE;
    for (Control& control : window->controls_) {
        if (control.focusable == view && control.wrapWidth != width) {
            control.wrapWidth = width;
            if (window->rewrapSource_ == 0)
                window->rewrapSource_ = g_idle_add(rewrap, window);
        }
    }
}

gboolean GtkDialogWindow::rewrap(gpointer self)
{
    auto* window = static_cast<GtkDialogWindow*>(self);
    window->rewrapSource_ = 0;
    for (Control& control : window->controls_) {
        if (control.buffer && control.wrapWidth > 0)
            setViewText(control.buffer, viewText(control.buffer), gtk_widget_get_pango_context(control.focusable),
                        control.wrapWidth);
    }
    return G_SOURCE_REMOVE;
}

bool GtkDialogWindow::isVisibleAndNotMinimised() const
{
    GdkWindow* gdkWindow = gtk_widget_get_window(window_.get());
    return gtk_widget_get_visible(window_.get()) && gdkWindow &&
           (gdk_window_get_state(gdkWindow) & GDK_WINDOW_STATE_ICONIFIED) == 0;
}

void GtkDialogWindow::setIcon(int iconId)
{
    GdkPixbuf* small = backend_.icon(iconId, 16);
    GdkPixbuf* big = backend_.icon(iconId, 32);
    if (!small || !big)
        return;
    GList* list = g_list_append(g_list_append(nullptr, small), big);
    gtk_window_set_icon_list(gtkWindow(), list);
    g_list_free(list);
    if (menuImage_)
        gtk_image_set_from_pixbuf(GTK_IMAGE(menuImage_), small);
}

bool GtkDialogWindow::appendSystemMenuSeparator()
{
    if (!menu_)
        return false;
    GtkWidget* separator = gtk_separator_menu_item_new();
    gtk_widget_show(separator);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu_), separator);
    return true;
}

bool GtkDialogWindow::appendSystemMenuItem(unsigned command, std::string_view text)
{
    if (!menu_)
        return false;
    GtkWidget* item = gtk_menu_item_new_with_mnemonic(toMnemonic(text).c_str());
    g_object_set_data(G_OBJECT(item), kCommandKey, GUINT_TO_POINTER(command));
    g_signal_connect(item, "activate", G_CALLBACK(onMenuCommand), this);
    gtk_widget_show(item);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu_), item);
    return true;
}

void GtkDialogWindow::endDialog(int result)
{
    result_ = result;
    ended_ = true;
    if (loop_)
        g_main_loop_quit(loop_.get());
}

void GtkDialogWindow::openSystemMenu()
{
    if (menuButton_)
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(menuButton_), TRUE);
}

void GtkDialogWindow::post(std::function<void(fw::WindowEvents&)> report)
{
    // Every click, key and menu command the dialog reports may run a nested modal loop. Run from inside the
    // signal that raised it, that loop would stall the source the signal came from; the accessibility bridge's
    // D-Bus source, for one, cannot recurse, so a screen reader would go deaf while the nested dialog is open.
    if (blockedBy_ > 0)
        return;  // no input while a modal dialog runs over this one
    pendingReports_.push_back(std::move(report));
    if (deliverySource_ == 0)
        deliverySource_ = g_idle_add_full(G_PRIORITY_HIGH_IDLE, deliverReports, this, nullptr);
}

gboolean GtkDialogWindow::deliverReports(gpointer self)
{
    auto* window = static_cast<GtkDialogWindow*>(self);
    window->deliverySource_ = 0;
    std::vector<std::function<void(fw::WindowEvents&)>> reports;
    reports.swap(window->pendingReports_);
    const int modalRuns = window->modalRuns_;
    for (const auto& report : reports) {
        // Once a report has run a modal dialog over this one, the input queued behind it is dropped.
        if (window->ended_ || window->modalRuns_ != modalRuns)
            break;
        report(window->events_);
    }
    return G_SOURCE_REMOVE;
}

void GtkDialogWindow::onClicked(GtkButton* button, gpointer self)
{
    // A push button, check box or radio button was pressed.
    int id = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), kControlIdKey));
    if (id != fw::kNoId)
        static_cast<GtkDialogWindow*>(self)->post([id](fw::WindowEvents& events) { events.onCommand(id); });
}

gboolean GtkDialogWindow::onKeyPress(GtkWidget*, GdkEventKey* event, gpointer self)
{
    // Enter and Escape go to the framework, Enter with the control that has the focus as it is pressed;
    // Alt+Space opens the window menu.
    auto* window = static_cast<GtkDialogWindow*>(self);
    GdkModifierType modifiers = static_cast<GdkModifierType>(event->state & gtk_accelerator_get_default_mod_mask());
    if (window->blockedBy_ > 0)
        return TRUE;
    if (isEnterKey(event->keyval) && (modifiers & ~GDK_SHIFT_MASK) == 0) {
        window->post([focusId = window->focus()](fw::WindowEvents& events) { events.onEnterKey(focusId); });
        return TRUE;
    }
    if (event->keyval == GDK_KEY_Escape && modifiers == 0) {
        window->post([](fw::WindowEvents& events) { events.onEscapeKey(); });
        return TRUE;
    }
    if (event->keyval == GDK_KEY_space && modifiers == GDK_MOD1_MASK) {
        window->openSystemMenu();
        return TRUE;
    }
    return FALSE;
}

gboolean GtkDialogWindow::onRadioFocus(GtkWidget* radio, GtkDirectionType direction, gpointer)
{
    // An arrow key on a focused radio moves the focus on as from any other control. GTK's radio would take it to
    // the next radio of its group and select that; each of ours is a group of its own, so it would select itself.
    if (gtk_widget_is_focus(radio) && direction != GTK_DIR_TAB_FORWARD && direction != GTK_DIR_TAB_BACKWARD)
        g_signal_stop_emission_by_name(radio, "focus");
    return FALSE;
}

gboolean GtkDialogWindow::onDelete(GtkWidget*, GdkEvent*, gpointer self)
{
    // The close box cancels; the window itself goes when the modal run ends.
    auto* window = static_cast<GtkDialogWindow*>(self);
    if (window->blockedBy_ == 0)
        window->post([](fw::WindowEvents& events) { events.onCommand(fw::kIdCancel); });
    return TRUE;
}

void GtkDialogWindow::onMenuClose(GtkMenuItem*, gpointer self)
{
    // "Close" on the window menu cancels, as the close box does.
    static_cast<GtkDialogWindow*>(self)->post([](fw::WindowEvents& events) { events.onCommand(fw::kIdCancel); });
}

void GtkDialogWindow::onMenuCommand(GtkMenuItem* item, gpointer self)
{
    // An entry the dialog appended to the window menu.
    unsigned command = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), kCommandKey));
    static_cast<GtkDialogWindow*>(self)->post(
        [command](fw::WindowEvents& events) { events.onWindowMenuCommand(command); });
}

}  // namespace tavrin::fw::gtk
