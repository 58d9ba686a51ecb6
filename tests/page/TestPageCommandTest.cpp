#include "PageTestSupport.h"

#include "generator/TestPageCommand.h"
#include "generator/TestPageWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// Records the messages and opens of one command, in order.
struct Recorder : PageOpener, TestPageUi {
    std::vector<std::string> events;
    bool canOpen = true;

    bool open(const std::string& file) override
    {
        events.push_back("open " + file);
        return canOpen;
    }
    void showMessage(std::string_view text, std::string_view caption) override
    {
        events.push_back("message " + std::string(caption) + ": " + std::string(text));
    }
};

PopupSettings namedRecord()
{
    PopupSettings s = PopupSettings::defaults();
    s.windowName = " My Pop up ";
    return s;
}

}  // namespace

TEST(TestPageCommand, WritesThePageOfTheRecordAndOpensIt)
{
    ScratchDir dir;
    Recorder r;
    PopupSettings s = namedRecord();
    s.trigger = PopupTrigger::OnButton;
    EXPECT_EQ(runTestPage(s, dir / "tvtest.htm", r, r), TestPageOutcome::Opened);
    EXPECT_EQ(r.events, std::vector<std::string>{"open " + (dir / "tvtest.htm").string()});
    EXPECT_EQ(s.windowName, "MyPopup");
    const std::string onDisk = readFile(dir / "tvtest.htm");
    EXPECT_NE(onDisk.find("var name = 'MyPopup' ;\r\n"), std::string::npos);
    EXPECT_NE(onDisk.find("<button OnClick=\"tavrin()\" >"), std::string::npos);
}

TEST(TestPageCommand, APageThatCannotBeWrittenIsReportedAndNotOpened)
{
    ScratchDir dir;
    std::filesystem::create_directory(dir / "tvtest.htm");
    Recorder r;
    PopupSettings s = namedRecord();
    EXPECT_EQ(runTestPage(s, dir / "tvtest.htm", r, r), TestPageOutcome::NotSaved);
    EXPECT_EQ(r.events, std::vector<std::string>{"message Save Test: Error Saving Test File"});
    EXPECT_EQ(s.windowName, "MyPopup");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "tvtest.htm"));
}

TEST(TestPageCommand, APageNoApplicationCouldOpenIsReportedWithItsFullPath)
{
    ScratchDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    Recorder r;
    r.canOpen = false;
    PopupSettings s = namedRecord();
    const TestPageOutcome outcome = runTestPage(s, kTestPageName, r, r);
    std::filesystem::current_path(previous);

    EXPECT_EQ(outcome, TestPageOutcome::NotOpened);
    const std::string absolute = (std::filesystem::canonical(dir.path()) / "tvtest.htm").string();
    EXPECT_EQ(r.events, (std::vector<std::string>{"open tvtest.htm", "message Test Popup: " + openErrorText(absolute)}));
    EXPECT_NE(openErrorText(absolute).find(absolute), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "tvtest.htm"));
}
