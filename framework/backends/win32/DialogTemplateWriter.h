#pragma once
// Turns a dialog template into the binary DLGTEMPLATE that the Win32 dialog
// manager builds a dialog from: dialog units as they stand, the template's
// font through DS_SETFONT, controls in template order (and so in tab order).

#include "framework/Template.h"

#include <windows.h>

#include <vector>

namespace tavrin::fw::win32 {

// The DLGTEMPLATE in memory; its data() is DWORD-aligned as the system needs.
std::vector<DWORD> writeDialogTemplate(const DialogTemplate& tmpl);

// Whether control `index` starts a group for the dialog manager's arrow keys.
bool startsGroup(const std::vector<ControlTemplate>& controls, size_t index);

// Window style and class atom of one control, as written into the template.
DWORD controlStyle(const ControlTemplate& control, bool group);
WORD controlClassAtom(ControlKind kind);

}  // namespace tavrin::fw::win32
