#pragma once
// The "Test Popup" command: generate the script for a record, write the test
// page around it and show it in the default browser.
//
//   tavrin::TestPageOutcome outcome =
//       tavrin::runTestPage(settings, "tvtest.htm", opener, ui);
//
// The caller copies its controls into `settings` before and the record back
// into its controls after, whatever the outcome: the record's window name
// comes back without blanks. Failures have already been told through `ui`.

#include "generator/PageOpener.h"
#include "generator/PopupSettings.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace tavrin {

// What the command needs from the dialog that runs it.
class TestPageUi {
public:
    virtual ~TestPageUi() = default;
    // A modal message box with one OK button and no icon, owned by the dialog.
    virtual void showMessage(std::string_view text, std::string_view caption) = 0;
};

enum class TestPageOutcome {
    Opened,     // the page was written and an application was started for it
    NotSaved,   // the page could not be written; nothing was opened
    NotOpened,  // the page was written but no application could show it
};

inline constexpr std::string_view kSaveErrorText = "Error Saving Test File";
inline constexpr std::string_view kSaveErrorCaption = "Save Test";
inline constexpr std::string_view kOpenErrorCaption = "Test Popup";

// The message shown when no application could open the page at `absolutePath`.
std::string openErrorText(const std::string& absolutePath);

// Generates, composes and writes the page at `page`; on success asks
// `opener` to show it. A page that could not be written is reported with
// "Error Saving Test File" and not opened, so no stale page is shown; a page
// no application could open is reported with its absolute path.
TestPageOutcome runTestPage(PopupSettings& settings, const std::filesystem::path& page, PageOpener& opener,
                            TestPageUi& ui);

}  // namespace tavrin
