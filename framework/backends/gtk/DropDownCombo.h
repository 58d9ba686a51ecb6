#pragma once
// An editable combo box with a small drop-down list, as dialog templates
// describe it: an entry, an arrow button, and a list that drops below the
// entry at a fixed height with a vertical scroll bar. The list opens with
// the field's item highlighted (none when the text stands for no item), and
// closes on Escape, Enter, a pick or a click elsewhere. With the list
// closed, Up and Down step through the items.
//
// Which item a text stands for is the dialog's rule, handed in as `match`.
// Items are kept as strings and only put into a list model the first time
// the list drops, so a long list costs nothing at start-up.

#include "framework/backends/gtk/GtkPtr.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::fw::gtk {

// The Days-style combo: widget() goes into the dialog, entry() takes focus.
class DropDownCombo {
public:
    // The index of the item that a field's text stands for, -1 for none.
    using Match = std::function<int(std::string_view text)>;

    // `styleClass` gives the dropped list, a window of its own, the dialog's font.
    DropDownCombo(int editHeight, int listHeight, Match match, std::string styleClass);
    DropDownCombo(const DropDownCombo&) = delete;
    DropDownCombo& operator=(const DropDownCombo&) = delete;
    ~DropDownCombo();

    GtkWidget* widget() const { return box_; }
    GtkWidget* entry() const { return entry_; }

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
    // The item the field shows: the one picked, else the one its text stands for.
    int currentItem() const;
    void highlight(int index);
    // Moves the highlight of the dropped list by a key that moves through a list; other keys do nothing.
    void moveHighlight(guint keyval);
    // Shows the item `step` places from the current one in the field.
    void step(int step);

    static void onArrowClicked(GtkButton*, gpointer self);
    static void onEntryChanged(GtkEditable*, gpointer self);
    static gboolean onEntryKey(GtkWidget*, GdkEventKey* event, gpointer self);
    static gboolean onPopupKey(GtkWidget*, GdkEventKey* event, gpointer self);
    static gboolean onPopupButton(GtkWidget*, GdkEventButton* event, gpointer self);
    static void onRowActivated(GtkTreeView*, GtkTreePath* path, GtkTreeViewColumn*, gpointer self);

    int listHeight_;
    Match match_;
    std::string styleClass_;
    GtkWidget* box_ = nullptr;     // owned by the dialog once added
    GtkWidget* entry_ = nullptr;
    GtkWidget* button_ = nullptr;
    TopLevelPtr popup_;
    GtkWidget* tree_ = nullptr;    // owned by popup_
    GtkListStore* store_ = nullptr;  // owned by tree_
    std::vector<std::string> items_;
    int filled_ = 0;  // items already in store_
    int selection_ = -1;
    int highlighted_ = -1;
    bool dropped_ = false;
    bool settingText_ = false;
};

}  // namespace tavrin::fw::gtk
