#pragma once
// Control ids of Tavrin's dialogs, one enum per dialog, with a list of each
// enum's values so a test can check that they are unique within the dialog.

namespace tavrin::ui {

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
inline constexpr int kMainControls[] = {
    kQuit,      kCreatePopup, kOnLoad,      kOnClose,  kOnButton,   kUrl,      kDays,       kHeight,
    kWidth,     kHelpButton,  kPopOver,     kPopUnder, kName,       kLeft,     kTop,        kCenter,
    kDirectories, kMenuBar,   kLocation,    kResizable, kScrollBars, kStatusBar, kToolbar,  kTestPopup,
    kFooter,
};

// The About box.
enum AboutControl : int {
    kAboutOk = 1,
};
inline constexpr int kAboutControls[] = {kAboutOk};

// The Results dialog.
enum ResultsControl : int {
    kReturn = 1,
    kFunctionsBox = 1030,
    kLoaderBox = 1031,
    kInstructionLine = 1032,
    kCopyLoader = 1033,
    kCopyFunctions = 1034,
};
inline constexpr int kResultsControls[] = {kReturn, kFunctionsBox, kLoaderBox, kInstructionLine, kCopyLoader,
                                           kCopyFunctions};

}  // namespace tavrin::ui
