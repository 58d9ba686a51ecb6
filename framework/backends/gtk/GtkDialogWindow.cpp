#include "framework/backends/gtk/GtkDialogWindow.h"

#include "framework/backends/gtk/GtkBackend.h"

#include <algorithm>

namespace tavrin::fw::gtk {

GtkDialogWindow::GtkDialogWindow(GtkBackend& backend, const fw::DialogTemplate& tmpl, GtkDialogWindow* owner,
                                 fw::WindowEvents& events)
    : backend_(backend), owner_(owner), events_(events), font_(dialogFont(tmpl.fontName, tmpl.fontPoints)),
      window_(gtk_window_new(GTK_WINDOW_TOPLEVEL))
{
    GtkWindow* window = gtkWindow();
    GtkHeaderBar* titleBar = backend_.dressAsDialog(window, tmpl.caption, tmpl.systemMenu, font_);
    if (tmpl.systemMenu)
        addWindowMenu(titleBar);
    gtk_window_set_skip_taskbar_hint(window, !tmpl.appWindow);
    if (!tmpl.appWindow)
        gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    if (owner_) {
        gtk_window_set_transient_for(window, owner_->gtkWindow());
        gtk_window_set_modal(window, TRUE);
    }

    fixed_ = gtk_fixed_new();
    gtk_style_context_add_class(gtk_widget_get_style_context(fixed_), "tavrin-client");
    gtk_widget_set_size_request(fixed_, font_.toPixelsX(tmpl.cx), font_.toPixelsY(tmpl.cy));
    gtk_container_add(GTK_CONTAINER(window), fixed_);

    const ControlContext context{
        font_.baseY, backend_.fontClass(font_.family, font_.pixelSize),
        [this](int iconId) { return backend_.icon(iconId, 32); },
        [this](int id) { post([id](fw::WindowEvents& e) { e.onCommand(id); }); },
        [this](int id) { return events_.onListItemRequest(id); }};
    for (const fw::ControlTemplate& c : tmpl.controls) {
        controls_.push_back(makeControl(c, font_.toPixelsX(c.rect.cx), font_.toPixelsY(c.rect.cy), context));
        GtkControl& control = *controls_.back();
        gtk_widget_set_can_focus(control.focusable(), c.tabStop || control.takesInput());
        gtk_fixed_put(GTK_FIXED(fixed_), control.placed(), font_.toPixelsX(c.rect.x), font_.toPixelsY(c.rect.y));
    }
    describeControls(tmpl);

    g_signal_connect_swapped(window, "key-press-event", G_CALLBACK(onKey), this);
    // The close box cancels; the window itself goes when the modal run ends.
    g_signal_connect_swapped(window, "delete-event", G_CALLBACK(cancel), this);
    gtk_widget_show_all(fixed_);
}

GtkDialogWindow::~GtkDialogWindow()
{
    if (deliverySource_ != 0)
        g_source_remove(deliverySource_);
}

void GtkDialogWindow::describeControls(const fw::DialogTemplate& tmpl)
{
    // A static text or group box labels the next control that takes input, as its mnemonic moves the focus
    // there; a box with no text in front of it is named after the group box around it.
    //
    // A screen reader reads a dialog as a flat set of controls: each control in a group box carries the box's
    // caption as its description, and each radio button is a member of the radios in its group box (not of
    // the two-button group, with a hidden partner, that the back end makes of it).
    if (AtkObject* accessible = gtk_widget_get_accessible(window_.get()); accessible && !tmpl.appWindow)
        atk_object_set_role(accessible, ATK_ROLE_DIALOG);
    auto controlOf = [&](const fw::ControlTemplate* c) {
        return controls_[static_cast<size_t>(c - tmpl.controls.data())].get();
    };
    GList* chain = nullptr;
    for (size_t i = 0; i < controls_.size(); ++i) {
        const GtkControl& control = *controls_[i];
        const fw::ControlTemplate& c = tmpl.controls[i];
        if (!c.tabStop && !control.takesInput())
            continue;
        chain = g_list_append(chain, control.placed());
        const fw::ControlTemplate* box = fw::groupBoxOf(tmpl, c);
        const GtkControl* label = box ? controlOf(box) : nullptr;
        if (i > 0 && controls_[i - 1]->label())
            label = controls_[i - 1].get();
        if (label && control.takesInput()) {
            setAccessibleName(control.focusable(), label->caption());
            if (label->tmpl().kind == fw::ControlKind::Text)
                gtk_label_set_mnemonic_widget(GTK_LABEL(label->label()), control.focusable());
            if (c.kind == fw::ControlKind::ComboBox) {
                // The combo box itself carries the name, and is labelled by its label, as is its field.
                AtkObject* combo = gtk_widget_get_accessible(control.placed());
                AtkObject* labelObject = gtk_widget_get_accessible(label->label());
                setAccessibleName(control.placed(), label->caption());
                atk_object_add_relationship(combo, ATK_RELATION_LABELLED_BY, labelObject);
                atk_object_add_relationship(labelObject, ATK_RELATION_LABEL_FOR, combo);
            }
        }
        if (!box)
            continue;
        std::string context = accessibleName(box->caption);
        for (GtkWidget* widget : {control.placed(), control.focusable()}) {
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
            members.insert(members.begin(), gtk_widget_get_accessible(controlOf(radio)->placed()));
        // The radio's own relation set fills in its GTK group the first time it is asked for; replace that.
        GObjectPtr<AtkRelationSet> relations(atk_object_ref_relation_set(gtk_widget_get_accessible(control.placed())));
        if (AtkRelation* own = atk_relation_set_get_relation_by_type(relations.get(), ATK_RELATION_MEMBER_OF))
            atk_relation_set_remove(relations.get(), own);
        GObjectPtr<AtkRelation> group(
            atk_relation_new(members.data(), static_cast<gint>(members.size()), ATK_RELATION_MEMBER_OF));
        atk_relation_set_add(relations.get(), group.get());
    }
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_container_set_focus_chain(GTK_CONTAINER(fixed_), chain);
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_list_free(chain);
}

GtkControl& GtkDialogWindow::control(int id) const
{
    auto found = std::ranges::find_if(controls_, [id](const auto& c) { return c->tmpl().id == id; });
    return found != controls_.end() && id != fw::kNoId ? **found : none_;
}

int GtkDialogWindow::run()
{
    // Realised first, so that its size is final when the framework centres it.
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
    for (const auto& control : controls_)
        control->closeList();
    gtk_widget_hide(window_.get());
    if (owner_) {
        owner_->endModalOver();
        gtk_window_present(owner_->gtkWindow());
    }
    return result_;
}

int GtkDialogWindow::focus() const
{
    GtkWidget* focused = gtk_window_get_focus(gtkWindow());
    for (const auto& control : controls_) {
        if (focused && (focused == control->placed() || gtk_widget_is_ancestor(focused, control->placed())))
            return control->tmpl().id;
    }
    return fw::kNoId;
}

void GtkDialogWindow::setFocus(int id)
{
    if (GtkWidget* widget = control(id).focusable())
        gtk_widget_grab_focus(widget);
}

fw::PixelRect GtkDialogWindow::frame() const
{
    // The visible frame, title bar and client area, without the shadow or resize border that a client-side
    // frame keeps around them: the rectangle gtk_window_move places and gtk_window_get_position reads.
    fw::PixelRect rect;
    gtk_window_get_position(gtkWindow(), &rect.x, &rect.y);
    GtkAllocation title;
    GtkAllocation client;
    gtk_widget_get_allocation(gtk_window_get_titlebar(gtkWindow()), &title);
    gtk_widget_get_allocation(fixed_, &client);
    rect.cx = std::max(title.x + title.width, client.x + client.width) - title.x;
    rect.cy = client.y + client.height - title.y;
    return rect;
}

bool GtkDialogWindow::isVisibleAndNotMinimised() const
{
    GdkWindow* gdkWindow = gtk_widget_get_window(window_.get());
    return gtk_widget_get_visible(window_.get()) && gdkWindow &&
           (gdk_window_get_state(gdkWindow) & GDK_WINDOW_STATE_ICONIFIED) == 0;
}

void GtkDialogWindow::setIcon(int iconId)
{
    const GObjectPtr<GdkPixbuf> small = backend_.icon(iconId, 16);
    const GObjectPtr<GdkPixbuf> big = backend_.icon(iconId, 32);
    if (!small || !big)
        return;
    GList* list = g_list_append(g_list_append(nullptr, small.get()), big.get());
    gtk_window_set_icon_list(gtkWindow(), list);
    g_list_free(list);
    if (menuButton_)
        gtk_image_set_from_pixbuf(GTK_IMAGE(gtk_button_get_image(GTK_BUTTON(menuButton_))), small.get());
}

// A run ends with the first result it is given; nothing more is reported.
void GtkDialogWindow::endDialog(int result)
{
    if (ended_)
        return;
    result_ = result;
    ended_ = true;
    if (loop_)
        g_main_loop_quit(loop_.get());
}

// Enter (with the control that has the focus as it is pressed), Escape and Alt+Space go to the framework;
// Alt+Space at once, as a menu it opens needs the key's event.
gboolean GtkDialogWindow::onKey(GtkDialogWindow* self, GdkEventKey* event)
{
    const auto modifiers = event->state & gtk_accelerator_get_default_mod_mask();
    if (self->modalOver_ > 0)
        return TRUE;
    if (isEnterKey(event->keyval) && (modifiers & ~GDK_SHIFT_MASK) == 0)
        self->post([focusId = self->focus()](fw::WindowEvents& e) { e.onEnterKey(focusId); });
    else if (event->keyval == GDK_KEY_Escape && modifiers == 0)
        self->post([](fw::WindowEvents& e) { e.onEscapeKey(); });
    else if (event->keyval == GDK_KEY_space && modifiers == GDK_MOD1_MASK)
        self->events_.onAltSpaceKey();
    else
        return FALSE;
    return TRUE;
}

gboolean GtkDialogWindow::cancel(GtkDialogWindow* self)
{
    self->post([](fw::WindowEvents& e) { e.onCommand(fw::kIdCancel); });
    return TRUE;
}

}  // namespace tavrin::fw::gtk
