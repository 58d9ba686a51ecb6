#pragma once
// One dialog built from a template as a GTK window: a header bar with the
// window-menu button and a close button, and a GtkFixed holding the
// controls at their template rectangles.
//
// `GtkBackend::runModal` creates it, lets the framework initialise it and
// runs its nested loop. It reports input to the framework and does what the
// framework asks; each control's own class (GtkControls.h) holds its state.

#include "framework/Backend.h"
#include "framework/backends/gtk/DialogFont.h"
#include "framework/backends/gtk/GtkControls.h"
#include "framework/backends/gtk/ReportQueue.h"
#include "framework/backends/gtk/WindowMenu.h"

#include <map>
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
    ~GtkDialogWindow() override = default;

    // Initialises, shows and runs the dialog until it ends; returns its result.
    int run();

    GtkWindow* gtkWindow() const { return GTK_WINDOW(window_.get()); }
    const DialogFont& font() const { return font_; }

    // A dialog or message box runs modally over this one from `beginModalOver` to `endModalOver` (see
    // ReportQueue::beginModal).
    void beginModalOver() { reports_.beginModal(); }
    void endModalOver() { reports_.endModal(); }

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
    void linkLabelsAndFocusChain(const fw::DialogTemplate& tmpl);
    void describeGroups(const fw::DialogTemplate& tmpl);
    // The control with `id`; one that supports nothing when there is none.
    GtkControl& control(int id) const;

    static gboolean onKeyPress(GtkWidget*, GdkEventKey* event, gpointer self);
    static gboolean onDelete(GtkWidget*, GdkEvent*, gpointer self);

    GtkBackend& backend_;
    GtkDialogWindow* owner_;
    fw::WindowEvents& events_;
    DialogFont font_;
    ReportQueue reports_;
    // Destroyed after window_ has taken the widgets down.
    std::vector<std::unique_ptr<GtkControl>> controls_;  // in template order
    std::map<int, GtkControl*> byId_;
    std::unique_ptr<GtkControl> none_;
    std::unique_ptr<WindowMenu> menu_;
    TopLevelPtr window_;
    GtkWidget* titleBar_ = nullptr;
    GtkWidget* fixed_ = nullptr;
    MainLoopPtr loop_;
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace tavrin::fw::gtk
