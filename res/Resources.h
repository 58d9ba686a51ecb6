#pragma once
// Tavrin's resources as data: dialog templates, string table and the icon id.
//
// Dialogs take their templates from here (`mainTemplate()` and friends);
// the application hands `strings()` to the framework. Control ids appear
// here as plain numbers; ui/ControlIds.h names them, and a test keeps the
// two in step.

#include "framework/App.h"
#include "framework/Template.h"

namespace tavrin::res {

inline constexpr int kAboutDialog = 100;
inline constexpr int kMainDialog = 102;
inline constexpr int kResultsDialog = 131;

inline constexpr int kAboutMenuString = 101;
inline constexpr int kSocketsFailedString = 103;

// The application icon, a 32 x 32 and a 16 x 16 picture.
inline constexpr int kAppIcon = 128;

const fw::DialogTemplate& aboutTemplate();
const fw::DialogTemplate& mainTemplate();
const fw::DialogTemplate& resultsTemplate();
// Every dialog template by id; nullptr for an unknown id.
const fw::DialogTemplate* dialogTemplate(int id);
const fw::StringTable& strings();

}  // namespace tavrin::res
