#pragma once
// One dialog built from a template as a GTK window: a header bar with the
// window-menu button and a close button, and a GtkFixed holding the
// controls at their template rectangles.
//
// `GtkBackend::runModal` creates it, lets the framework initialise it and
// runs its nested loop. It reports input to the framework and does what the
// framework asks; each control's own class (GtkControls.h) holds its state.
//
// The window menu is a button at the start of the header bar showing the
// window's icon, whose menu holds "Close" (reported as command 2,
// fw::kIdCancel, as the close box is) and then what the dialog appends
// (reported to `onWindowMenuCommand`).
//
// Reports (clicks, keys, menu commands) are queued and delivered from the
// main loop itself rather than from inside the signal that raised them. Every
// report may run a nested modal loop; run from inside a signal, that loop
// would stall the source the signal came from (the accessibility bridge's
// D-Bus source, for one, cannot recurse, so a screen reader would go deaf
// while the nested dialog is open).

#include "framework/Backend.h"
#include "framework/backends/gtk/DialogFont.h"
#include "framework/backends/gtk/GtkControls.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace tavrin::fw::gtk {

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

    // A dialog or message box runs modally over this one from `beginModalOver` to `endModalOver`. The window
    // takes no input meanwhile, and input it had taken but not yet reported is dropped: a second click queued
    // behind the one that opened the modal dialog must not act once it closes.
    void beginModalOver();
    void endModalOver() { --modalOver_; }

    std::string text(int id) const override { return control(id).text(); }
    void setText(int id, std::string_view text) override { control(id).setText(text); }
    int checkState(int id) const override { return control(id).checkState(); }
    void setCheckState(int id, int state) override { control(id).setCheckState(state); }
    bool addListItem(int id, std::string_view item) override { return control(id).addListItem(item); }
    int listCount(int id) const override { return control(id).listCount(); }
    std::string listItem(int id, int index) const override { return control(id).listItem(index); }
    int listSelection(int id) const override { return control(id).listSelection(); }
    void setListSelection(int id, int index) override { control(id).setListSelection(index); }
    bool isListDropped(int id) const override { return control(id).isListDropped(); }
    void closeList(int id) override { control(id).closeList(); }
    int focus() const override;
    void setFocus(int id) override;
    fw::PixelRect frame() const override;
    void moveTo(int x, int y) override { gtk_window_move(gtkWindow(), x, y); }
    bool isVisibleAndNotMinimised() const override;
    void setIcon(int iconId) override;
    bool appendSystemMenuSeparator() override;
    bool appendSystemMenuItem(unsigned command, std::string_view text) override;
    void openWindowMenu() override;
    void endDialog(int result) override;

private:
    using Report = std::function<void(fw::WindowEvents&)>;
    void addWindowMenu(GtkHeaderBar* titleBar);
    bool appendToMenu(GtkWidget* item);
    // Labels, names and descriptions for screen readers, and the focus chain.
    void describeControls(const fw::DialogTemplate& tmpl);
    // The control with `id`; one that supports nothing when there is none.
    GtkControl& control(int id) const;
    // Queues `report`, unless a modal dialog runs over the window.
    void post(Report report);
    static gboolean deliver(gpointer self);
    static gboolean onKey(GtkDialogWindow* self, GdkEventKey* event);
    static gboolean cancel(GtkDialogWindow* self);

    GtkBackend& backend_;
    GtkDialogWindow* owner_;
    fw::WindowEvents& events_;
    DialogFont font_;
    // Destroyed after window_ has taken the widgets down.
    std::vector<std::unique_ptr<GtkControl>> controls_;  // in template order
    mutable GtkControl none_{fw::ControlTemplate{}, nullptr};
    TopLevelPtr window_;
    GtkWidget* fixed_ = nullptr;
    GtkWidget* menuButton_ = nullptr;  // nullptr for a dialog without a window menu
    MainLoopPtr loop_;
    std::deque<Report> pending_;
    guint deliverySource_ = 0;
    int modalOver_ = 0;  // dialogs running modally over the window
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace tavrin::fw::gtk
