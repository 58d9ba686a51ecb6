// Opening a page through GIO, on a desktop whose default browser is a fake
// that records what it is asked to open.
#include "gio/OpenFile.h"
#include "support/FakeDesktop.h"

#include <gtest/gtest.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// Opens `file` on the desktop of `home`; 1 when GIO started an application.
int openInChild(const ScratchDir& home, const std::filesystem::path& file)
{
    return inChildOnDesktop(home, [&] { return gio::openWithDefaultApplication(file.string()) ? 1 : 0; });
}

}  // namespace

TEST(OpenWithDefaultApplication, StartsTheDefaultApplicationOnTheFilesAbsolutePath)
{
    ScratchDir home;
    makeDesktop(home, true);
    std::filesystem::create_directory(home / "my pages");
    writeFile(home / "my pages/tvtest.htm", "<html></html>\r\n");
    ASSERT_EQ(openInChild(home, home / "my pages/tvtest.htm"), 1);
    // GIO hands a local file's URI to the application as its path.
    EXPECT_EQ(waitForRecord(home / "opened"), (home / "my pages/tvtest.htm").string());
}

TEST(OpenWithDefaultApplication, ARelativeNameIsTakenFromTheCurrentDirectory)
{
    ScratchDir home;
    makeDesktop(home, true);
    writeFile(home / "tvtest.htm", "<html></html>\r\n");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(home.path());
    const int started = openInChild(home, "tvtest.htm");
    std::filesystem::current_path(previous);
    ASSERT_EQ(started, 1);
    EXPECT_EQ(waitForRecord(home / "opened"), (home / "tvtest.htm").string());
}

TEST(OpenWithDefaultApplication, ReportsFailureWhenNoApplicationHandlesPages)
{
    ScratchDir home;
    makeDesktop(home, false);
    writeFile(home / "tvtest.htm", "<html></html>\r\n");
    EXPECT_EQ(openInChild(home, home / "tvtest.htm"), 0);
}
