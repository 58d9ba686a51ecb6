#pragma once
// Builds the test page around a generated script, writes it safely and has
// it shown in the default browser.
//
//   tavrin::TestPageWriter writer;                      // tvtest.htm here
//   std::string page = tavrin::TestPageWriter::composePage(script, trigger);
//   if (writer.writePage(page)) writer.openPage(openWithDefaultApplication);
//
// The composed page ends its own lines in LF; on disk every line ends in
// exactly CR LF. `writePage` replaces the file whole or not at all. Paths
// cross this interface as UTF-8, as every text of the program does.

#include "generator/ScriptGenerator.h"

#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace tavrin {

// The page "Test Popup" writes, in the current directory.
inline constexpr std::string_view kTestPageName = "tvtest.htm";

// Composes, writes and opens the test page at one path.
class TestPageWriter {
public:
    explicit TestPageWriter(std::string page = std::string(kTestPageName));

    // The page text: the script in the head, and the loader in the page's
    // own body tag (OnLoad, OnClose) or on a button of its own (OnButton).
    static std::string composePage(const GeneratedScript& script, PopupTrigger trigger);

    // Writes `page` to a new file beside the target and renames it over the
    // target once complete. False when any step fails; the previous page is
    // then untouched and no temporary file is left. A symbolic link at the
    // target is replaced, never followed. `error` tells why it failed.
    bool writePage(std::string_view page, std::error_code& error) const;
    bool writePage(std::string_view page) const;

    // Has the page shown by `open`, which is given the page's path as the
    // writer holds it (a relative path is taken from the current directory)
    // and tells whether an application could be started for it, as the
    // platform's "open with the default application" does.
    bool openPage(const std::function<bool(const std::string& path)>& open) const;

    // The page's absolute path, to tell the user where it is.
    std::string absolutePath() const;

private:
    std::string page_;
};

}  // namespace tavrin
