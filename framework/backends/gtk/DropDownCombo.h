#pragma once
// An editable combo box with a small drop-down list, as dialog templates
// describe it: an entry, an arrow button, and a list that drops below the
// entry at a fixed height with a vertical scroll bar, opens at the current
// item and closes on Escape, Enter, a pick or a click elsewhere.
//
// Items are kept as strings and only put into a list model the first time
// the list drops, so a long list costs nothing at start-up.

#include "framework/backends/gtk/GtkPtr.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavrin::gtk {

// The Days-style combo: widget() goes into the dialog, entry() takes focus.
class DropDownCombo {
public:
    DropDownCombo(int editHeight, int listHeight);
    DropDownCombo(const DropDownCombo&) = delete;
    DropDownCombo& operator=(const DropDownCombo&) = delete;
    ~DropDownCombo();

    GtkWidget* widget() const { return box_; }
    GtkWidget* entry() const { return entry_; }
    GtkWidget* arrowButton() const { return button_; }
    // The drop-down's own window, for tests; nullptr until it first drops.
    GtkWidget* popup() const { return popup_.get(); }
    GtkWidget* list() const { return tree_; }

    std::string text() const;
    void setText(std::string_view text);

    void addItem(std::string_view item);
    int count() const { return static_cast<int>(items_.size()); }
    std::string item(int index) const;
    int selection() const { return selection_; }
    void select(int index);

    bool isDropped() const { return dropped_; }
    void drop();
    void close();

private:
    void buildPopup();
    void fillList();
    void pick(int index);

    static void onArrowClicked(GtkButton*, gpointer self);
    static void onEntryChanged(GtkEditable*, gpointer self);
    static gboolean onEntryKey(GtkWidget*, GdkEventKey* event, gpointer self);
    static gboolean onPopupKey(GtkWidget*, GdkEventKey* event, gpointer self);
    static gboolean onPopupButton(GtkWidget*, GdkEventButton* event, gpointer self);
    static void onRowActivated(GtkTreeView*, GtkTreePath* path, GtkTreeViewColumn*, gpointer self);

    int listHeight_;
    GtkWidget* box_ = nullptr;     // owned by the dialog once added
    GtkWidget* entry_ = nullptr;
    GtkWidget* button_ = nullptr;
    TopLevelPtr popup_;
    GtkWidget* tree_ = nullptr;    // owned by popup_
    GtkListStore* store_ = nullptr;  // owned by tree_
    std::vector<std::string> items_;
    int filled_ = 0;  // items already in store_
    int selection_ = -1;
    bool dropped_ = false;
    bool settingText_ = false;
};

}  // namespace tavrin::gtk
