#pragma once
// What a dialog reports to the framework (clicks, keys, menu commands),
// delivered from the main loop itself rather than from inside the signal that
// raised it.
//
// Every report may run a nested modal loop. Run from inside a signal, that
// loop would stall the source the signal came from; the accessibility
// bridge's D-Bus source, for one, cannot recurse, so a screen reader would go
// deaf while the nested dialog is open.

#include "framework/Backend.h"
#include "framework/backends/gtk/GtkPtr.h"

#include <functional>
#include <vector>

namespace tavrin::fw::gtk {

class ReportQueue {
public:
    using Report = std::function<void(fw::WindowEvents&)>;

    explicit ReportQueue(fw::WindowEvents& events) : events_(events) {}
    ReportQueue(const ReportQueue&) = delete;
    ReportQueue& operator=(const ReportQueue&) = delete;
    ~ReportQueue();

    // Queues `report`, unless a modal dialog runs over the window.
    void post(Report report);
    // A dialog or message box runs modally over the window from `beginModal` to `endModal`. The window takes no
    // input meanwhile, and input it had taken but not yet reported is dropped: a second click queued behind the
    // one that opened the modal dialog must not act once it closes.
    void beginModal();
    void endModal() { --blockedBy_; }
    bool blocked() const { return blockedBy_ > 0; }
    // The dialog has ended; nothing more is reported.
    void stop() { stopped_ = true; }

private:
    static gboolean deliver(gpointer self);

    fw::WindowEvents& events_;
    std::vector<Report> pending_;
    guint source_ = 0;
    int blockedBy_ = 0;   // dialogs running modally over the window
    int modalRuns_ = 0;   // how many have begun
    bool stopped_ = false;
};

}  // namespace tavrin::fw::gtk
