#!/bin/sh
# Each layer includes only what it may (docs/architecture.md): no toolkit or
# platform header, and no back end, in the framework's own files, the
# dialogs, their resources or the generator; nothing but the standard library
# in the generator, whose one platform file is PageFile.cpp (the test page's
# file steps). Lists every offending line.
cd "$(dirname "$0")/.." || exit 2
status=0
forbid() {
  pattern=$1
  shift
  if grep -rnE --include='*.h' --include='*.cpp' "#[ ]*include[ ]*$pattern" "$@"; then
    status=1
  fi
}
forbid '<(gtk|gdk|glib|gio|pango|X11|windows|winsock|winuser|commctrl|shellapi)' framework/*.h framework/*.cpp ui res
forbid '<(gtk|gdk|glib|gio|pango|X11)' generator
forbid '<(windows|winsock|winuser|commctrl|shellapi)' --exclude=PageFile.cpp --exclude=Utf16.h generator
forbid '"(framework/backends|gio|app|cli)/' framework/*.h framework/*.cpp ui res generator
forbid '"(framework|ui|res)/' generator
exit $status
