#pragma once
// Opens a file with the desktop's default application for its type, through
// GIO: "Test Popup" on the GTK back end and tavrin-cli's --open.
//
//   std::string why;
//   if (!tavrin::gio::openWithDefaultApplication("tvtest.htm", &why)) { ... }
//
// The application is handed the file:// URI of the file; a relative path is
// taken from the current directory.

#include <string>

namespace tavrin::gio {

// True when an application could be started for `path` and did not end with
// a failure at once; otherwise `why`, when given, says why.
bool openWithDefaultApplication(const std::string& path, std::string* why = nullptr);

}  // namespace tavrin::gio
