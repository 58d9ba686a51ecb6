// Opening a page through GIO against a fake default browser: a desktop entry whose
// command records its argument, made the default for text/html through the
// user's own mimeapps.list. No real browser is ever started: the system's
// applications are hidden by pointing the XDG directories at scratch ones.
#include "PageTestSupport.h"

#include "gio/OpenFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// A desktop whose only application is the recording fake (when `withFake`).
void makeDesktop(const ScratchDir& home, bool withFake)
{
    namespace fs = std::filesystem;
    fs::create_directories(home / "data/applications");
    fs::create_directories(home / "config");
    fs::create_directories(home / "system");
    // Type detection needs the MIME database, but none of the system's
    // applications may be seen.
    fs::create_directory_symlink("/usr/share/mime", home / "system/mime");
    if (!withFake)
        return;
    writeFile(home / "record.sh", "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/opened.tmp\"\n"
                                  "mv \"$(dirname \"$0\")/opened.tmp\" \"$(dirname \"$0\")/opened\"\n");
    fs::permissions(home / "record.sh", fs::perms::owner_all);
    writeFile(home / "data/applications/tavrin-fake-browser.desktop",
              "[Desktop Entry]\nType=Application\nName=Fake Browser\nExec=" + (home / "record.sh").string() +
                  " %u\nMimeType=text/html;\n");
    writeFile(home / "config/mimeapps.list", "[Default Applications]\ntext/html=tavrin-fake-browser.desktop\n");
}

// Sets the XDG directories of this process to those of `home`.
void useDesktop(const ScratchDir& home)
{
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_DATA_DIRS", (home / "system").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (home / "system").c_str(), 1);
    unsetenv("XDG_CURRENT_DESKTOP");
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

// Opens `file` in a child whose XDG directories are those of `home`, so
// GIO's caches start empty; returns 1 when GIO started an application.
int openInChild(const ScratchDir& home, const std::filesystem::path& file)
{
    const pid_t child = fork();
    if (child == 0) {
        useDesktop(home);
        _exit(gio::openWithDefaultApplication(file.string()) ? 1 : 0);
    }
    int status = 0;
    if (child == -1 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

std::string waitForRecord(const std::filesystem::path& record)
{
    for (int i = 0; i < 200 && !std::filesystem::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return readFile(record);
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

// tavrin-cli --open, run in a child on the desktop of `home`; returns its exit
// status and leaves what it wrote to standard error in `home`/stderr.
int runCliOpen(const ScratchDir& home, const std::filesystem::path& page)
{
    const pid_t child = fork();
    if (child == 0) {
        useDesktop(home);
        const std::string stderrPath = (home / "stderr").string();
        if (!std::freopen(stderrPath.c_str(), "w", stderr))
            _exit(127);
        execl(TAVRIN_CLI, TAVRIN_CLI, "--trigger", "button", "--page", page.c_str(), "--open", nullptr);
        _exit(127);
    }
    int status = 0;
    if (child == -1 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST(CliOpen, WritesThePageAndShowsItInTheDefaultBrowser)
{
    ScratchDir home;
    makeDesktop(home, true);
    ASSERT_EQ(runCliOpen(home, home / "try.htm"), 0) << readFile(home / "stderr");
    EXPECT_EQ(waitForRecord(home / "opened"), (home / "try.htm").string());
    EXPECT_NE(readFile(home / "try.htm").find("<button OnClick=\"tavrin()\" >"), std::string::npos);
}

TEST(CliOpen, APageNoApplicationCanShowIsAnErrorNamingItsPath)
{
    ScratchDir home;
    makeDesktop(home, false);
    EXPECT_EQ(runCliOpen(home, home / "try.htm"), 1);
    const std::string said = readFile(home / "stderr");
    EXPECT_EQ(said.rfind("tavrin-cli: no application could open " + (home / "try.htm").string() + ": ", 0), 0u)
        << said;
    EXPECT_TRUE(std::filesystem::is_regular_file(home / "try.htm"));
}
