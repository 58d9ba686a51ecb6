// An editable combo box with a small drop-down list, as dialog templates
// describe it: an entry, an arrow button, and a list that drops below the
// entry at a fixed height with a vertical scroll bar. F4, Alt+Down, Alt+Up
// or the arrow drop the list; it opens with the field's item highlighted
// (none when the text stands for no item), moves the highlight by the arrow,
// page, Home and End keys, and closes on Escape, Enter (which picks the
// highlighted item), a click on an item (which picks it) or a click
// elsewhere. With the list closed, Up and Down step through the items.
//
// The list is a pop-up window of its own, which a GTK 3 popover cannot be:
// a popover is drawn inside its dialog and cannot reach past the dialog's
// edge, where the Days list hangs. Which item the field shows is the
// dialog's rule, asked through `currentItem`. Items are kept as strings and
// only put into a list model the first time the list drops, so a long list
// costs nothing at start-up.

#include "framework/backends/gtk/GtkControls.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tavrin::fw::gtk {

namespace {

// A keypad key as the key it stands for: KP_Up as Up, KP_End as End.
guint unKeypad(guint keyval)
{
    return keyval >= GDK_KEY_KP_Home && keyval <= GDK_KEY_KP_End ? keyval - GDK_KEY_KP_Home + GDK_KEY_Home : keyval;
}

class DropDownCombo final : public GtkControl {
public:
    DropDownCombo(const fw::ControlTemplate& tmpl, int editHeight, int listHeight, const ControlContext& context)
        : GtkControl(tmpl, gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0), newUnlimitedEntry()), listHeight_(listHeight),
          styleClass_(context.fontClass), currentItem_([current = context.currentListItem, id = tmpl.id] {
              return current(id);
          })
    {
        gtk_style_context_add_class(gtk_widget_get_style_context(placed_), GTK_STYLE_CLASS_LINKED);
        gtk_style_context_add_class(gtk_widget_get_style_context(placed_), "tavrin-combo");
        gtk_entry_set_width_chars(GTK_ENTRY(focusable_), 1);
        GtkWidget* button = gtk_button_new_from_icon_name("pan-down-symbolic", GTK_ICON_SIZE_MENU);
        gtk_widget_set_can_focus(button, FALSE);
        gtk_widget_set_size_request(button, editHeight * 3 / 4, editHeight);
        gtk_box_pack_start(GTK_BOX(placed_), focusable_, TRUE, TRUE, 0);
        gtk_box_pack_start(GTK_BOX(placed_), button, FALSE, FALSE, 0);
        g_signal_connect_swapped(button, "clicked", G_CALLBACK(+[](DropDownCombo* self) {
            gtk_widget_grab_focus(self->focusable_);
            self->isListDropped() ? self->closeList() : self->drop();
        }), this);
        // Typing into the field leaves no item selected, as a picked item would no longer be shown.
        g_signal_connect_swapped(focusable_, "changed", G_CALLBACK(+[](DropDownCombo* self) { self->selection_ = -1; }),
                                 this);
        g_signal_connect_swapped(focusable_, "key-press-event", G_CALLBACK(onEntryKey), this);
        // A screen reader meets a combo box holding the field and a named arrow; the dialog names the combo.
        atk_object_set_role(gtk_widget_get_accessible(placed_), ATK_ROLE_COMBO_BOX);
        atk_object_set_name(gtk_widget_get_accessible(button), "Open list");
    }
    ~DropDownCombo() override { closeList(); }

    std::string text() const override { return gtk_entry_get_text(GTK_ENTRY(focusable_)); }
    void setText(std::string_view text) override
    {
        const int selection = selection_;
        gtk_entry_set_text(GTK_ENTRY(focusable_), validUtf8(text).c_str());
        selection_ = selection;
    }
    bool addListItem(std::string_view item) override
    {
        items_.emplace_back(item);
        return true;
    }
    int listCount() const override { return static_cast<int>(items_.size()); }
    std::string listItem(int index) const override
    {
        return index >= 0 && index < listCount() ? items_[static_cast<size_t>(index)] : std::string();
    }
    int listSelection() const override { return selection_; }
    void setListSelection(int index) override
    {
        selection_ = index >= 0 && index < listCount() ? index : -1;
        setText(listItem(selection_));
    }
    bool isListDropped() const override { return popup_ && gtk_widget_get_visible(popup_.get()); }
    void closeList() override
    {
        if (!isListDropped())
            return;
        gdk_seat_ungrab(gdk_display_get_default_seat(gtk_widget_get_display(popup_.get())));
        gtk_grab_remove(popup_.get());
        gtk_widget_hide(popup_.get());
    }

private:
    void buildList()
    {
        popup_.reset(gtk_window_new(GTK_WINDOW_POPUP));
        gtk_window_set_type_hint(GTK_WINDOW(popup_.get()), GDK_WINDOW_TYPE_HINT_COMBO);
        gtk_style_context_add_class(gtk_widget_get_style_context(popup_.get()), "tavrin-dropdown");
        gtk_style_context_add_class(gtk_widget_get_style_context(popup_.get()), styleClass_.c_str());
        const GObjectPtr<GtkListStore> store(gtk_list_store_new(1, G_TYPE_STRING));  // the tree view holds it too
        tree_ = GTK_TREE_VIEW(gtk_tree_view_new_with_model(GTK_TREE_MODEL(store.get())));
        gtk_tree_view_set_headers_visible(tree_, FALSE);
        gtk_tree_view_set_enable_search(tree_, FALSE);
        gtk_tree_view_set_activate_on_single_click(tree_, TRUE);
        GtkCellRenderer* renderer = gtk_cell_renderer_text_new();
        g_object_set(renderer, "ypad", 0, NULL);
        gtk_tree_view_insert_column_with_attributes(tree_, 0, "", renderer, "text", 0, NULL);
        gtk_tree_view_column_set_sizing(gtk_tree_view_get_column(tree_, 0), GTK_TREE_VIEW_COLUMN_FIXED);
        gtk_tree_view_set_fixed_height_mode(tree_, TRUE);
        GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
        gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER, GTK_POLICY_ALWAYS);
        gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(scroller), FALSE);
        gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
        gtk_container_add(GTK_CONTAINER(scroller), GTK_WIDGET(tree_));
        gtk_container_add(GTK_CONTAINER(popup_.get()), scroller);
        g_signal_connect_swapped(popup_.get(), "key-press-event", G_CALLBACK(onListKey), this);
        g_signal_connect(popup_.get(), "button-press-event", G_CALLBACK(onListButton), this);
        g_signal_connect_swapped(tree_, "row-activated", G_CALLBACK(+[](DropDownCombo* self, GtkTreePath* path) {
            self->pick(gtk_tree_path_get_indices(path)[0]);
        }), this);
    }

    void drop()
    {
        if (isListDropped() || !gtk_widget_get_realized(placed_))
            return;
        if (!popup_)
            buildList();
        GtkListStore* store = GTK_LIST_STORE(gtk_tree_view_get_model(tree_));
        for (int row = gtk_tree_model_iter_n_children(GTK_TREE_MODEL(store), nullptr); row < listCount(); ++row)
            gtk_list_store_insert_with_values(store, nullptr, -1, 0, validUtf8(items_[size_t(row)]).c_str(), -1);

        // Just below the field, as wide as the combo box.
        GtkWindow* popup = GTK_WINDOW(popup_.get());
        if (GtkWidget* toplevel = gtk_widget_get_toplevel(placed_); GTK_IS_WINDOW(toplevel))
            gtk_window_set_transient_for(popup, GTK_WINDOW(toplevel));
        GtkAllocation box;
        gtk_widget_get_allocation(placed_, &box);
        int x = 0;
        int y = 0;
        gdk_window_get_origin(gtk_widget_get_window(placed_), &x, &y);
        gtk_widget_set_size_request(popup_.get(), box.width, listHeight_);
        gtk_window_move(popup, x + box.x, y + box.y + box.height);
        gtk_widget_show_all(popup_.get());

        // Open with the field's item highlighted at the top, or with nothing highlighted at the top of the list,
        // so that Enter then keeps the typed text. The list takes the focus so that a screen reader follows the
        // highlight; GTK highlights the first row as it does, so the highlight is set after.
        gtk_widget_grab_focus(GTK_WIDGET(tree_));
        const int current = currentItem_();
        highlight(current);
        const TreePathPtr top(gtk_tree_path_new_from_indices(std::max(current, 0), -1));
        gtk_tree_view_scroll_to_cell(tree_, top.get(), nullptr, TRUE, 0.0f, 0.0f);

        // Take the pointer and keyboard so a click elsewhere, Escape or Enter close the list.
        gtk_grab_add(popup_.get());
        gdk_seat_grab(gdk_display_get_default_seat(gtk_widget_get_display(popup_.get())),
                      gtk_widget_get_window(popup_.get()), GDK_SEAT_CAPABILITY_ALL, TRUE, nullptr, nullptr, nullptr,
                      nullptr);
    }

    // The highlighted row, -1 for none.
    int highlighted() const
    {
        GtkTreeModel* model = nullptr;
        GtkTreeIter row;
        if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(tree_), &model, &row))
            return -1;
        const GCharPtr path(gtk_tree_model_get_string_from_iter(model, &row));
        return std::atoi(path.get());
    }

    void highlight(int index)
    {
        if (index >= 0 && index < listCount())
            gtk_tree_view_set_cursor(tree_, TreePathPtr(gtk_tree_path_new_from_indices(index, -1)).get(), nullptr,
                                     FALSE);
        else
            gtk_tree_selection_unselect_all(gtk_tree_view_get_selection(tree_));
    }

    void pick(int index)
    {
        closeList();
        if (index >= 0) {
            setListSelection(index);
            gtk_widget_grab_focus(focusable_);
        }
    }

    // F4, Alt+Down or Alt+Up drops the list; Up or Down shows the item before or after the field's (from no item,
    // the first), as a closed drop-down list does on Windows. Neither arrow moves the focus away.
    static gboolean onEntryKey(DropDownCombo* combo, GdkEventKey* event)
    {
        const guint key = unKeypad(event->keyval);
        const bool arrow = key == GDK_KEY_Up || key == GDK_KEY_Down;
        if (key == GDK_KEY_F4 || (arrow && (event->state & GDK_MOD1_MASK))) {
            combo->drop();
        } else if (arrow && combo->listCount() > 0) {
            const int current = combo->currentItem_();
            const int step = key == GDK_KEY_Up ? -1 : 1;
            combo->setListSelection(current < 0 ? 0 : std::clamp(current + step, 0, combo->listCount() - 1));
            gtk_editable_select_region(GTK_EDITABLE(combo->focusable_), 0, -1);
        }
        return key == GDK_KEY_F4 || arrow;
    }

    // The list moves its highlight by the arrow, page, Home and End keys, from no highlight Up and Down to the
    // first item; every other key stays here, so that the list never selects a row by itself.
    static gboolean onListKey(DropDownCombo* combo, GdkEventKey* event)
    {
        const guint key = unKeypad(event->keyval);
        const bool alt = (event->state & GDK_MOD1_MASK) != 0;
        const bool arrow = key == GDK_KEY_Up || key == GDK_KEY_Down;
        if (isEnterKey(key)) {
            combo->pick(combo->highlighted());  // with no item highlighted it only closes; the typed text stays
        } else if (key == GDK_KEY_Escape || key == GDK_KEY_F4 || key == GDK_KEY_Tab || (alt && arrow)) {
            combo->closeList();
        } else if (arrow && combo->highlighted() < 0) {
            combo->highlight(0);
        } else if (key >= GDK_KEY_Home && key <= GDK_KEY_End && key != GDK_KEY_Left && key != GDK_KEY_Right) {
            return alt || (event->state & GDK_CONTROL_MASK) != 0;
        }
        return TRUE;
    }

    // A press outside the list closes it: one in another of our windows comes here through the grab, one
    // outside all of them at a point outside ours.
    static gboolean onListButton(GtkWidget* popup, GdkEventButton* event, gpointer self)
    {
        GdkWindow* ours = gtk_widget_get_window(popup);
        const bool inside = event->window && gdk_window_get_toplevel(event->window) == ours &&
                            (event->window != ours ||
                             (event->x >= 0 && event->y >= 0 && event->x < gdk_window_get_width(ours) &&
                              event->y < gdk_window_get_height(ours)));
        if (!inside)
            static_cast<DropDownCombo*>(self)->closeList();
        return !inside;
    }

    int listHeight_;
    std::string styleClass_;
    std::function<int()> currentItem_;
    TopLevelPtr popup_;
    GtkTreeView* tree_ = nullptr;  // owned by popup_; it holds the list's model
    std::vector<std::string> items_;
    int selection_ = -1;
};

}  // namespace

std::unique_ptr<GtkControl> makeDropDownCombo(const fw::ControlTemplate& tmpl, int editHeight, int listHeight,
                                              const ControlContext& context)
{
    return std::make_unique<DropDownCombo>(tmpl, editHeight, listHeight, context);
}

}  // namespace tavrin::fw::gtk
