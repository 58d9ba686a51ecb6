#pragma once
// Control ids of Tavrin's dialogs, one enum per dialog, with a list of each
// enum's values so a test can check that they are unique within the dialog.

namespace tavrin::ui {

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
