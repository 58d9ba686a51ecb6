#pragma once
// A desktop of the tests' own, for opening pages: its only application, when
// there is one, is a fake browser whose command records its argument, made
// the default for text/html through the user's own mimeapps.list. No real
// browser is ever started: the system's applications are hidden by pointing
// the XDG directories at scratch ones.

#include "support/Files.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavrin::test {

// A desktop whose only application is the recording fake (when `withFake`),
// which ends with `exitStatus` once it has recorded.
inline void makeDesktop(const ScratchDir& home, bool withFake, int exitStatus = 0)
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
                                  "mv \"$(dirname \"$0\")/opened.tmp\" \"$(dirname \"$0\")/opened\"\n"
                                  "exit " + std::to_string(exitStatus) + "\n");
    fs::permissions(home / "record.sh", fs::perms::owner_all);
    writeFile(home / "data/applications/tavrin-fake-browser.desktop",
              "[Desktop Entry]\nType=Application\nName=Fake Browser\nExec=" + (home / "record.sh").string() +
                  " %u\nMimeType=text/html;\n");
    writeFile(home / "config/mimeapps.list", "[Default Applications]\ntext/html=tavrin-fake-browser.desktop\n");
}

// Sets the XDG directories of this process to those of `home`.
inline void useDesktop(const ScratchDir& home)
{
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_DATA_DIRS", (home / "system").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (home / "system").c_str(), 1);
    unsetenv("XDG_CURRENT_DESKTOP");
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

// Runs `body` in a child process on the desktop of `home`, so that GIO's
// caches start empty; returns the exit status `body` gives, or -1.
inline int inChildOnDesktop(const ScratchDir& home, const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child == 0) {
        useDesktop(home);
        _exit(body());
    }
    int status = 0;
    if (child == -1 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// What the fake browser was asked to open, once it has been started.
inline std::string waitForRecord(const std::filesystem::path& record)
{
    for (int i = 0; i < 200 && !std::filesystem::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return readFile(record);
}

}  // namespace tavrin::test
