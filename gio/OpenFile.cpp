#include "gio/OpenFile.h"

#include "gio/GlibPtr.h"

namespace tavrin::gio {

bool openWithDefaultApplication(const std::string& path, std::string* why)
{
    const GObjectPtr<GFile> file(g_file_new_for_path(path.c_str()));
    const GCharPtr uri(g_file_get_uri(file.get()));
    GError* raw = nullptr;
    const bool started = g_app_info_launch_default_for_uri(uri.get(), nullptr, &raw) != FALSE;
    const GErrorPtr error(raw);
    if (why != nullptr)
        *why = error ? error->message : "";
    return started;
}

}  // namespace tavrin::gio
