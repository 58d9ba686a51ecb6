#pragma once
// Drives the whole program from inside its own loops: a list of steps, each
// an action or a wait, run from a timer that fires in whatever modal loop is
// current, so a step may open a dialog and the next one act in it.
// Widgets are found as a screen reader finds them: by window title and
// accessible name.

#include "GtkTestSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace tavrin::fw::gtk::test {

class ProgramDriver {
public:
    ProgramDriver() = default;
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;
    ~ProgramDriver();

    // Queues an action run once.
    ProgramDriver& then(std::function<void()> action);
    // Queues a wait until `done` holds; the test fails with `what` after `seconds`.
    ProgramDriver& until(std::string what, std::function<bool()> done, int seconds = 20);
    // Starts the steps with the next main loop; `finished()` tells whether all ran.
    void start();
    bool finished() const { return next_ >= steps_.size(); }
    const std::string& failure() const { return failure_; }

private:
    struct Step {
        std::string what;
        std::function<bool()> run;
        gint64 timeout = 0;  // microseconds
    };
    static gboolean tick(gpointer self);
    std::vector<Step> steps_;
    size_t next_ = 0;
    gint64 stepStarted_ = 0;
    std::string failure_;
    guint source_ = 0;
};

// The shown toplevel window titled `title`; nullptr if there is none.
GtkWindow* windowTitled(const std::string& title);

}  // namespace tavrin::fw::gtk::test
