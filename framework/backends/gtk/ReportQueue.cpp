// The queue of reports to the framework: input is reported from an idle
// call, never from inside a signal, as a report may run a nested modal loop.
// While a modal dialog runs over the window it takes no input, and input it
// had queued but not reported is dropped.
#include "framework/backends/gtk/GtkDialogWindow.h"

namespace tavrin::fw::gtk {

void GtkDialogWindow::beginModalOver()
{
    ++modalOver_;
    pending_.clear();
}

void GtkDialogWindow::post(Report report)
{
    if (modalOver_ > 0)
        return;
    pending_.push_back(std::move(report));
    if (deliverySource_ == 0)
        deliverySource_ = g_idle_add_full(G_PRIORITY_HIGH_IDLE, deliver, this, nullptr);
}

gboolean GtkDialogWindow::deliver(gpointer self)
{
    auto* window = static_cast<GtkDialogWindow*>(self);
    window->deliverySource_ = 0;
    // Each report leaves the queue as it runs. One that runs a modal dialog over the window empties the queue
    // (beginModalOver), so the input queued behind it is dropped.
    while (!window->pending_.empty() && !window->ended_) {
        const Report report = std::move(window->pending_.front());
        window->pending_.pop_front();
        report(window->events_);
    }
    return G_SOURCE_REMOVE;
}

}  // namespace tavrin::fw::gtk
