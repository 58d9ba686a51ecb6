#pragma once
// One dialog built from a template as a GTK window: a header bar with the
// window-menu button and a close button, and a GtkFixed holding the
// controls at their template rectangles.
//
// `GtkBackend::runModal` creates it, lets the framework initialise it and
// runs its nested loop. Each control's widget carries the control's id as
// object data under `kControlIdKey`, by which tests find it.

#include "framework/Backend.h"
#include "framework/backends/gtk/DialogFont.h"
#include "framework/backends/gtk/DropDownCombo.h"
#include "framework/backends/gtk/GtkPtr.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavrin::fw::gtk {

// The object data key under which a control's widget holds its id.
inline constexpr const char* kControlIdKey = "tavrin-control-id";

class GtkBackend;

// A template's dialog as a GTK window, seen by the framework as a fw::Window.
class GtkDialogWindow final : public fw::Window {
public:
    GtkDialogWindow(GtkBackend& backend, const fw::DialogTemplate& tmpl, GtkDialogWindow* owner,
                    fw::WindowEvents& events);
    GtkDialogWindow(const GtkDialogWindow&) = delete;
    GtkDialogWindow& operator=(const GtkDialogWindow&) = delete;
    ~GtkDialogWindow() override;

    // Initialises, shows and runs the dialog until it ends; returns its result.
    int run();

    GtkWindow* gtkWindow() const { return GTK_WINDOW(window_.get()); }
    const DialogFont& font() const { return font_; }

    // A dialog or message box runs modally over this one from `beginModalOver` to `endModalOver`. The dialog
    // takes no input meanwhile, and input it had taken but not yet reported is dropped: a second click queued
    // behind the one that opened the modal dialog must not act once it closes.
    void beginModalOver();
    void endModalOver();

    std::string text(int id) const override;
    void setText(int id, std::string_view text) override;
    int checkState(int id) const override;
    void setCheckState(int id, int state) override;
    bool addListItem(int id, std::string_view item) override;
    int listCount(int id) const override;
    std::string listItem(int id, int index) const override;
    int listSelection(int id) const override;
    void setListSelection(int id, int index) override;
    bool isListDropped(int id) const override;
    void closeList(int id) override;
    int focus() const override;
    void setFocus(int id) override;
    fw::PixelRect frame() const override;
    void moveTo(int x, int y) override;
    bool isVisibleAndNotMinimised() const override;
    void setIcon(int iconId) override;
    bool appendSystemMenuSeparator() override;
    bool appendSystemMenuItem(unsigned command, std::string_view text) override;
    void endDialog(int result) override;

private:
    struct Control {
        fw::ControlTemplate tmpl;
        GtkWidget* placed = nullptr;    // in the GtkFixed
        GtkWidget* focusable = nullptr; // takes the focus and the accessible name
        GtkWidget* label = nullptr;     // label of a static text or group box
        GtkTextBuffer* buffer = nullptr;  // multi-line boxes
        FloatingWidgetPtr partner;      // hidden radio that holds the group's state when cleared
        std::unique_ptr<DropDownCombo> combo;
        std::string rawText;            // captions as set, "&" included
        gulong clickedHandler = 0;
        int wrapWidth = 0;              // wrapping boxes: the width their words are cut at, in Pango units
    };

    void buildTitleBar(const fw::DialogTemplate& tmpl);
    void buildControl(const fw::ControlTemplate& tmpl);
    void linkLabelsAndFocusChain(const fw::DialogTemplate& tmpl);
    void describeGroups(const fw::DialogTemplate& tmpl);
    Control* find(int id);
    const Control* find(int id) const;
    void openSystemMenu();
    // Reports to the framework from the main loop itself rather than from inside the signal that raised it.
    void post(std::function<void(fw::WindowEvents&)> report);
    static gboolean deliverReports(gpointer self);

    static void onClicked(GtkButton* button, gpointer self);
    static gboolean onKeyPress(GtkWidget*, GdkEventKey* event, gpointer self);
    static gboolean onRadioFocus(GtkWidget* radio, GtkDirectionType direction, gpointer);
    static gboolean onDelete(GtkWidget*, GdkEvent*, gpointer self);
    static gboolean onMapped(GtkWidget* widget, GdkEvent*, gpointer self);
    static void onViewAllocated(GtkWidget* view, GdkRectangle* allocation, gpointer self);
    static gboolean rewrap(gpointer self);
    static void onMenuClose(GtkMenuItem*, gpointer self);
    static void onMenuCommand(GtkMenuItem* item, gpointer self);

    GtkBackend& backend_;
    GtkDialogWindow* owner_;
    fw::WindowEvents& events_;
    DialogFont font_;
    std::vector<Control> controls_;  // destroyed after window_ has taken the widgets down
    TopLevelPtr window_;
    GtkWidget* fixed_ = nullptr;
    GtkWidget* menuButton_ = nullptr;
    GtkWidget* menuImage_ = nullptr;
    GtkWidget* menu_ = nullptr;
    MainLoopPtr loop_;
    std::vector<std::function<void(fw::WindowEvents&)>> pendingReports_;
    guint deliverySource_ = 0;
    guint rewrapSource_ = 0;
    int wantedX_ = 0;  // where the framework placed the frame
    int wantedY_ = 0;
    bool placeRequested_ = false;
    int blockedBy_ = 0;  // dialogs running modally over this one
    int modalRuns_ = 0;  // how many have begun
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace tavrin::fw::gtk
