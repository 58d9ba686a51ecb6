#include "framework/backends/gtk/ReportQueue.h"

namespace tavrin::fw::gtk {

ReportQueue::~ReportQueue()
{
    if (source_ != 0)
        g_source_remove(source_);
}

void ReportQueue::post(Report report)
{
    if (blocked())
        return;
    pending_.push_back(std::move(report));
    if (source_ == 0)
        source_ = g_idle_add_full(G_PRIORITY_HIGH_IDLE, deliver, this, nullptr);
}

void ReportQueue::beginModal()
{
    ++blockedBy_;
    ++modalRuns_;
    pending_.clear();
}

gboolean ReportQueue::deliver(gpointer self)
{
    auto* queue = static_cast<ReportQueue*>(self);
    queue->source_ = 0;
    std::vector<Report> reports;
    reports.swap(queue->pending_);
    const int modalRuns = queue->modalRuns_;
    for (const Report& report : reports) {
        // Once a report has run a modal dialog over the window, the input queued behind it is dropped.
        if (queue->stopped_ || queue->modalRuns_ != modalRuns)
            break;
        report(queue->events_);
    }
    return G_SOURCE_REMOVE;
}

}  // namespace tavrin::fw::gtk
