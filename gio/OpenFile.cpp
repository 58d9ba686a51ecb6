#include "gio/OpenFile.h"

#include "gio/GlibPtr.h"

#include <gio/gdesktopappinfo.h>

#include <sys/wait.h>

namespace tavrin::gio {

namespace {

// How long a started application is watched: one that ends with a failure
// within this time (a browser that refuses to run as root, or finds no
// display) has shown nothing. One that hands the page to a browser already
// running and ends well is a success.
constexpr gint64 kWatchMicroseconds = 2 * G_USEC_PER_SEC;

// Waits for the started process `pid` to end, for a while; false with `why`
// set when it ended with a failure. A process still running is reaped by the
// main loop whenever it ends.
bool endedWell(GPid pid, const char* name, std::string& why)
{
    const gint64 end = g_get_monotonic_time() + kWatchMicroseconds;
    int status = 0;
    pid_t ended = 0;
    while ((ended = waitpid(pid, &status, WNOHANG)) == 0 && g_get_monotonic_time() < end)
        g_usleep(10000);
    if (ended == 0) {
        g_child_watch_add(pid, [](GPid child, gint, gpointer) { g_spawn_close_pid(child); }, nullptr);
        return true;
    }
    g_spawn_close_pid(pid);
    if (ended != pid || (WIFEXITED(status) && WEXITSTATUS(status) == 0))
        return true;
    why = std::string(name) + (WIFEXITED(status) ? " ended at once with exit status " +
                                                       std::to_string(WEXITSTATUS(status))
                                                 : " was ended at once by signal " + std::to_string(WTERMSIG(status)));
    return false;
}

}  // namespace

bool openWithDefaultApplication(const std::string& path, std::string* why)
{
    const GObjectPtr<GFile> file(g_file_new_for_path(path.c_str()));
    const GCharPtr uri(g_file_get_uri(file.get()));
    std::string reason;
    bool started = false;
    GError* raw = nullptr;
    const GObjectPtr<GAppInfo> app(g_file_query_default_handler(file.get(), nullptr, &raw));
    if (app && G_IS_DESKTOP_APP_INFO(app.get())) {
        // Started as a child of ours, not reaped by GLib, so its end can be seen.
        GList uris{uri.get(), nullptr, nullptr};
        GPid pid = 0;
        started = g_desktop_app_info_launch_uris_as_manager(
                      G_DESKTOP_APP_INFO(app.get()), &uris, nullptr,
                      GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr, nullptr,
                      [](GDesktopAppInfo*, GPid child, gpointer out) { *static_cast<GPid*>(out) = child; }, &pid,
                      &raw) != FALSE;
        if (started && pid > 0)
            started = endedWell(pid, g_app_info_get_name(app.get()), reason);
    } else if (app) {
        GList uris{uri.get(), nullptr, nullptr};
        started = g_app_info_launch_uris(app.get(), &uris, nullptr, &raw) != FALSE;
    }
    const GErrorPtr error(raw);
    if (why != nullptr)
        *why = error ? error->message : reason;
    return started;
}

}  // namespace tavrin::gio
