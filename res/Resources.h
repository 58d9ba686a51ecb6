#pragma once
// Tavrin's resources as data: dialog templates, their control ids, the
// string table and the icon id.
//
// Dialogs take their templates from here (`mainTemplate()` and friends) and
// name their controls by the ids below, which the templates are made of; the
// application hands `strings()` to the framework.

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

// The main dialog.
enum MainControl : int {
    kQuit = 1,
    kCreatePopup = 1000,
    kOnLoad = 1001,
    kOnClose = 1002,
    kOnButton = 1003,
    kUrl = 1004,
    kDays = 1005,
    kHeight = 1006,
    kWidth = 1007,
    kHelpButton = 1009,
    kPopOver = 1011,
    kPopUnder = 1012,
    kName = 1013,
    kLeft = 1014,
    kTop = 1015,
    kCenter = 1016,
    kDirectories = 1017,
    kMenuBar = 1018,
    kLocation = 1019,
    kResizable = 1020,
    kScrollBars = 1022,
    kStatusBar = 1023,
    kToolbar = 1024,
    kTestPopup = 1025,
    kFooter = 1045,
};

// The About box.
enum AboutControl : int {
    kAboutOk = 1,
};

// The Results dialog.
enum ResultsControl : int {
    kReturn = 1,
    kFunctionsBox = 1030,
    kLoaderBox = 1031,
    kInstructionLine = 1032,
    kCopyLoader = 1033,
    kCopyFunctions = 1034,
};

const fw::DialogTemplate& aboutTemplate();
const fw::DialogTemplate& mainTemplate();
const fw::DialogTemplate& resultsTemplate();
const fw::StringTable& strings();

}  // namespace tavrin::res
