#include "cli/GioPageOpener.h"

#include <gio/gio.h>

#include <filesystem>
#include <memory>

namespace tavrin {

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};
struct GErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};

}  // namespace

bool GioPageOpener::open(const std::string& file)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(file, ec);
    const std::unique_ptr<GFile, GObjectUnref> gfile(g_file_new_for_path(ec ? file.c_str() : absolute.c_str()));
    const std::unique_ptr<char, GFree> uri(g_file_get_uri(gfile.get()));
    GError* raw = nullptr;
    const bool started = g_app_info_launch_default_for_uri(uri.get(), nullptr, &raw) != FALSE;
    const std::unique_ptr<GError, GErrorFree> error(raw);
    lastError_ = error ? error->message : "";
    return started;
}

}  // namespace tavrin
