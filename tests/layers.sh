#!/bin/sh
# What the build cannot see of the layers (docs/architecture.md); it keeps
# our own headers apart itself, each library showing only its own.
# - No toolkit or platform header in the framework's own files, the dialogs,
#   their resources or the generator: some of them lie where every target
#   finds them. The generator's one platform file is PageFile.cpp (the
#   test page's file steps).
# - A quoted include names its header from the top of the tree, where the
#   build checks it against the libraries linked, or lies beside the
#   including file: a path relative to the file's own folder slips past it.
# Lists every offending line.
cd "$(dirname "$0")/.." || exit 2
status=0
forbid() {
  pattern=$1
  shift
  if grep -rnE --include='*.h' --include='*.cpp' "#[ ]*include[ ]*$pattern" "$@"; then
    status=1
  fi
}
forbid '<(gtk|gdk|glib|gio|pango|X11|windows|winsock|winuser|commctrl|shellapi|emscripten)' framework/*.h framework/*.cpp ui res
forbid '<(gtk|gdk|glib|gio|pango|X11|emscripten)' generator
forbid '<(windows|winsock|winuser|commctrl|shellapi)' --exclude=PageFile.cpp generator
forbid '"([^"/]+/)*\.\./' app cli framework generator gio res ui win32
if grep -rnE --include='*.h' --include='*.cpp' '#[ ]*include[ ]*"[^"]*/' app cli framework generator gio res ui win32 |
  grep -vE '#[ ]*include[ ]*"(app|cli|framework|generator|gio|res|ui|win32)/'; then
  status=1
fi
exit $status
