#include "framework/backends/gtk/DropDownCombo.h"

#include "framework/backends/gtk/GtkText.h"
#include "framework/backends/gtk/UnlimitedEntry.h"

#include <algorithm>

namespace tavrin::fw::gtk {

namespace {

bool isUpKey(guint keyval)
{
    return keyval == GDK_KEY_Up || keyval == GDK_KEY_KP_Up;
}

bool isDownKey(guint keyval)
{
    return keyval == GDK_KEY_Down || keyval == GDK_KEY_KP_Down;
}

}  // namespace

DropDownCombo::DropDownCombo(int editHeight, int listHeight, Match match, std::string styleClass)
    : listHeight_(listHeight), match_(std::move(match)), styleClass_(std::move(styleClass))
{
    box_ = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_style_context_add_class(gtk_widget_get_style_context(box_), GTK_STYLE_CLASS_LINKED);
    gtk_style_context_add_class(gtk_widget_get_style_context(box_), "tavrin-combo");
    entry_ = newUnlimitedEntry();
    gtk_entry_set_width_chars(GTK_ENTRY(entry_), 1);
    gtk_widget_set_hexpand(entry_, TRUE);
    button_ = gtk_button_new_from_icon_name("pan-down-symbolic", GTK_ICON_SIZE_MENU);
    gtk_widget_set_can_focus(button_, FALSE);
    gtk_widget_set_size_request(button_, editHeight * 3 / 4, editHeight);
    gtk_box_pack_start(GTK_BOX(box_), entry_, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box_), button_, FALSE, FALSE, 0);
    g_signal_connect(button_, "clicked", G_CALLBACK(onArrowClicked), this);
    g_signal_connect(entry_, "changed", G_CALLBACK(onEntryChanged), this);
    g_signal_connect(entry_, "key-press-event", G_CALLBACK(onEntryKey), this);
    // A screen reader meets a combo box holding the field and a named arrow; the dialog names the combo.
    atk_object_set_role(gtk_widget_get_accessible(box_), ATK_ROLE_COMBO_BOX);
    atk_object_set_name(gtk_widget_get_accessible(button_), "Open list");
}

DropDownCombo::~DropDownCombo()
{
    close();
}

std::string DropDownCombo::text() const
{
    return gtk_entry_get_text(GTK_ENTRY(entry_));
}

void DropDownCombo::setText(std::string_view text)
{
    settingText_ = true;
    gtk_entry_set_text(GTK_ENTRY(entry_), validUtf8(text).c_str());
    settingText_ = false;
}

void DropDownCombo::addItem(std::string_view item)
{
    items_.emplace_back(item);
}

std::string DropDownCombo::item(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return items_[static_cast<size_t>(index)];
}

void DropDownCombo::select(int index)
{
    selection_ = index >= 0 && index < count() ? index : -1;
    setText(selection_ >= 0 ? items_[static_cast<size_t>(selection_)] : std::string());
}

void DropDownCombo::buildPopup()
{
    popup_.reset(gtk_window_new(GTK_WINDOW_POPUP));
    GtkWidget* popup = popup_.get();
    gtk_window_set_type_hint(GTK_WINDOW(popup), GDK_WINDOW_TYPE_HINT_COMBO);
    gtk_style_context_add_class(gtk_widget_get_style_context(popup), "tavrin-dropdown");
    gtk_style_context_add_class(gtk_widget_get_style_context(popup), styleClass_.c_str());

    store_ = gtk_list_store_new(1, G_TYPE_STRING);
    tree_ = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store_));
    g_object_unref(store_);  // the tree view holds it from here on
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(tree_), FALSE);
    gtk_tree_view_set_enable_search(GTK_TREE_VIEW(tree_), FALSE);
    gtk_tree_view_set_activate_on_single_click(GTK_TREE_VIEW(tree_), TRUE);
    GtkCellRenderer* renderer = gtk_cell_renderer_text_new();
    g_object_set(renderer, "ypad", 0, NULL);
    GtkTreeViewColumn* column = gtk_tree_view_column_new_with_attributes("", renderer, "text", 0, NULL);
    gtk_tree_view_column_set_sizing(column, GTK_TREE_VIEW_COLUMN_FIXED);
    gtk_tree_view_append_column(GTK_TREE_VIEW(tree_), column);
    gtk_tree_view_set_fixed_height_mode(GTK_TREE_VIEW(tree_), TRUE);

    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER, GTK_POLICY_ALWAYS);
    gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(scroller), FALSE);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(scroller), tree_);
    gtk_container_add(GTK_CONTAINER(popup), scroller);

    g_signal_connect(popup, "key-press-event", G_CALLBACK(onPopupKey), this);
    g_signal_connect(popup, "button-press-event", G_CALLBACK(onPopupButton), this);
    g_signal_connect(tree_, "row-activated", G_CALLBACK(onRowActivated), this);
}

void DropDownCombo::fillList()
{
    for (; filled_ < count(); ++filled_) {
        GtkTreeIter iter;
        gtk_list_store_insert_with_values(store_, &iter, -1, 0, validUtf8(items_[static_cast<size_t>(filled_)]).c_str(),
                                          -1);
    }
}

void DropDownCombo::drop()
{
    if (dropped_ || !gtk_widget_get_realized(box_))
        return;
    if (!popup_)
        buildPopup();
    fillList();

    GtkWidget* popup = popup_.get();
    GtkWidget* toplevel = gtk_widget_get_toplevel(box_);
    if (GTK_IS_WINDOW(toplevel))
        gtk_window_set_transient_for(GTK_WINDOW(popup), GTK_WINDOW(toplevel));
    GtkAllocation box;
    gtk_widget_get_allocation(box_, &box);
    int x = 0;
    int y = 0;
    gdk_window_get_origin(gtk_widget_get_window(box_), &x, &y);
    gtk_widget_set_size_request(popup, box.width, listHeight_);
    gtk_window_move(GTK_WINDOW(popup), x + box.x, y + box.y + box.height);
    gtk_widget_show_all(popup);

    // Open with the field's item highlighted at the top, or with nothing highlighted at the top of the list, so
    // that Enter then keeps the typed text. The list takes the focus so that a screen reader follows the
    // highlight; GTK highlights the first row as it does, so the highlight is set after.
    gtk_widget_grab_focus(tree_);
    highlight(currentItem());
    if (highlighted_ >= 0) {
        GtkTreePath* path = gtk_tree_path_new_from_indices(highlighted_, -1);
        gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(tree_), path, nullptr, TRUE, 0.0f, 0.0f);
        gtk_tree_path_free(path);
    } else {
        gtk_tree_view_scroll_to_point(GTK_TREE_VIEW(tree_), 0, 0);
    }

    // Take the pointer and keyboard so a click elsewhere, Escape or Enter close the list.
    gtk_grab_add(popup);
    GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(popup));
    gdk_seat_grab(seat, gtk_widget_get_window(popup), GDK_SEAT_CAPABILITY_ALL, TRUE, nullptr, nullptr, nullptr,
                  nullptr);
    dropped_ = true;
}

void DropDownCombo::close()
{
    if (!dropped_)
        return;
    dropped_ = false;
    GtkWidget* popup = popup_.get();
    gdk_seat_ungrab(gdk_display_get_default_seat(gtk_widget_get_display(popup)));
    gtk_grab_remove(popup);
    gtk_widget_hide(popup);
}

void DropDownCombo::pick(int index)
{
    close();
    if (index >= 0 && index < count()) {
        select(index);
        gtk_widget_grab_focus(entry_);
    }
}

int DropDownCombo::currentItem() const
{
    if (selection_ >= 0)
        return selection_;
    return match_ ? match_(text()) : -1;
}

void DropDownCombo::highlight(int index)
{
    highlighted_ = index >= 0 && index < count() ? index : -1;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(tree_));
    if (highlighted_ < 0) {
        gtk_tree_selection_unselect_all(selection);
        return;
    }
    GtkTreePath* path = gtk_tree_path_new_from_indices(highlighted_, -1);
    gtk_tree_view_set_cursor(GTK_TREE_VIEW(tree_), path, nullptr, FALSE);
    gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(tree_), path, nullptr, FALSE, 0.0f, 0.0f);
    gtk_tree_path_free(path);
}

void DropDownCombo::moveHighlight(guint keyval)
{
    // From no highlight, Up and Down go to the first item.
    int page = 1;
    GtkTreePath* first = nullptr;
    GtkTreePath* last = nullptr;
    if (gtk_tree_view_get_visible_range(GTK_TREE_VIEW(tree_), &first, &last)) {
        page = std::max(1, gtk_tree_path_get_indices(last)[0] - gtk_tree_path_get_indices(first)[0]);
        gtk_tree_path_free(first);
        gtk_tree_path_free(last);
    }
    int from = highlighted_;
    int to = 0;
    if (isUpKey(keyval))
        to = from - 1;
    else if (isDownKey(keyval))
        to = from < 0 ? 0 : from + 1;
    else if (keyval == GDK_KEY_Page_Up || keyval == GDK_KEY_KP_Page_Up)
        to = from - page;
    else if (keyval == GDK_KEY_Page_Down || keyval == GDK_KEY_KP_Page_Down)
        to = from < 0 ? page - 1 : from + page;
    else if (keyval == GDK_KEY_Home || keyval == GDK_KEY_KP_Home)
        to = 0;
    else if (keyval == GDK_KEY_End || keyval == GDK_KEY_KP_End)
        to = count() - 1;
    else
        return;
    if (count() > 0)
        highlight(std::clamp(to, 0, count() - 1));
}

void DropDownCombo::step(int step)
{
    // As a closed drop-down list does on Windows: from no item, either key shows the first one.
    if (count() == 0)
        return;
    int current = currentItem();
    select(current < 0 ? 0 : std::clamp(current + step, 0, count() - 1));
    gtk_editable_select_region(GTK_EDITABLE(entry_), 0, -1);
}

void DropDownCombo::onArrowClicked(GtkButton*, gpointer self)
{
    auto* combo = static_cast<DropDownCombo*>(self);
    gtk_widget_grab_focus(combo->entry_);
    if (combo->dropped_)
        combo->close();
    else
        combo->drop();
}

void DropDownCombo::onEntryChanged(GtkEditable*, gpointer self)
{
    // Typing into the field leaves no item selected, as a picked item would no longer be shown.
    auto* combo = static_cast<DropDownCombo*>(self);
    if (!combo->settingText_)
        combo->selection_ = -1;
}

gboolean DropDownCombo::onEntryKey(GtkWidget*, GdkEventKey* event, gpointer self)
{
    // F4, Alt+Down or Alt+Up drops the list and Up or Down steps through its items, as on Windows; neither
    // arrow moves the focus away.
    auto* combo = static_cast<DropDownCombo*>(self);
    bool alt = (event->state & GDK_MOD1_MASK) != 0;
    bool arrow = isUpKey(event->keyval) || isDownKey(event->keyval);
    if (event->keyval == GDK_KEY_F4 || (alt && arrow)) {
        combo->drop();
        return TRUE;
    }
    if (arrow) {
        combo->step(isUpKey(event->keyval) ? -1 : 1);
        return TRUE;
    }
    return FALSE;
}

gboolean DropDownCombo::onPopupKey(GtkWidget*, GdkEventKey* event, gpointer self)
{
    auto* combo = static_cast<DropDownCombo*>(self);
    bool alt = (event->state & GDK_MOD1_MASK) != 0;
    if (event->keyval == GDK_KEY_Escape || event->keyval == GDK_KEY_F4 || event->keyval == GDK_KEY_Tab ||
        (alt && (isUpKey(event->keyval) || isDownKey(event->keyval)))) {
        combo->close();
        return TRUE;
    }
    if (isEnterKey(event->keyval)) {
        // Enter picks the highlighted item; with none it only closes the list and the typed text stays.
        if (combo->highlighted_ >= 0)
            combo->pick(combo->highlighted_);
        else
            combo->close();
        return TRUE;
    }
    // Every other key stays here, so that the list never moves or selects a row by itself.
    combo->moveHighlight(event->keyval);
    return TRUE;
}

gboolean DropDownCombo::onPopupButton(GtkWidget* popup, GdkEventButton* event, gpointer self)
{
    // A press outside the list (in another window, or outside ours while we hold the grab) closes it.
    auto* combo = static_cast<DropDownCombo*>(self);
    GdkWindow* ours = gtk_widget_get_window(popup);
    bool inside = event->window && gdk_window_get_toplevel(event->window) == ours;
    if (inside) {
        int width = gdk_window_get_width(ours);
        int height = gdk_window_get_height(ours);
        double rootX = event->x_root;
        double rootY = event->y_root;
        int originX = 0;
        int originY = 0;
        gdk_window_get_origin(ours, &originX, &originY);
        inside = rootX >= originX && rootY >= originY && rootX < originX + width && rootY < originY + height;
    }
    if (!inside) {
        combo->close();
        return TRUE;
    }
    return FALSE;
}

void DropDownCombo::onRowActivated(GtkTreeView*, GtkTreePath* path, GtkTreeViewColumn*, gpointer self)
{
    static_cast<DropDownCombo*>(self)->pick(gtk_tree_path_get_indices(path)[0]);
}

}  // namespace tavrin::fw::gtk
