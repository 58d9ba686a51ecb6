#include "ProgramDriver.h"

#include "GtkTestSupport.h"

namespace tavrin::fw::gtk::test {

ProgramDriver::~ProgramDriver()
{
    if (source_ != 0)
        g_source_remove(source_);
}

ProgramDriver& ProgramDriver::then(std::function<void()> action)
{
    steps_.push_back({"action", [action = std::move(action)] {
                          action();
                          return true;
                      }});
    return *this;
}

ProgramDriver& ProgramDriver::until(std::string what, std::function<bool()> done, int seconds)
{
    steps_.push_back({std::move(what), std::move(done), seconds * G_USEC_PER_SEC});
    return *this;
}

void ProgramDriver::start()
{
    stepStarted_ = g_get_monotonic_time();
    source_ = g_timeout_add(40, tick, this);
}

gboolean ProgramDriver::tick(gpointer self)
{
    auto* driver = static_cast<ProgramDriver*>(self);
    if (!driver->failure_.empty()) {
        // Give up as a user would: keep closing whatever dialog is on top until the program ends.
        GList* toplevels = gtk_window_list_toplevels();
        for (GList* item = toplevels; item; item = item->next) {
            if (gtk_widget_get_mapped(GTK_WIDGET(item->data)))
                gtk_window_close(GTK_WINDOW(item->data));
        }
        g_list_free(toplevels);
        return G_SOURCE_CONTINUE;
    }
    if (driver->finished()) {
        driver->source_ = 0;
        return G_SOURCE_REMOVE;
    }
    Step& step = driver->steps_[driver->next_];
    if (step.run()) {
        ++driver->next_;
        driver->stepStarted_ = g_get_monotonic_time();
    } else if (g_get_monotonic_time() - driver->stepStarted_ > step.timeout) {
        driver->failure_ = "timed out waiting for: " + step.what;
    }
    return G_SOURCE_CONTINUE;
}

GtkWindow* windowTitled(const std::string& title)
{
    GList* toplevels = gtk_window_list_toplevels();
    GtkWindow* found = nullptr;
    for (GList* item = toplevels; item && !found; item = item->next) {
        auto* window = GTK_WINDOW(item->data);
        const char* current = gtk_window_get_title(window);
        GdkWindow* gdkWindow = gtk_widget_get_window(GTK_WIDGET(window));
        if (current && title == current && gtk_widget_get_mapped(GTK_WIDGET(window)) && gdkWindow &&
            gdk_window_is_viewable(gdkWindow))
            found = window;
    }
    g_list_free(toplevels);
    return found;
}

}  // namespace tavrin::fw::gtk::test
