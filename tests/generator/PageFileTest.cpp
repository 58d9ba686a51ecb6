// The test page's file steps on each platform's own calls, through the
// writer: on Linux, and under Wine on Windows, where paths go from UTF-8 to
// the system's wide characters.

#include "generator/TestPageWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace tavrin {
namespace {

namespace fs = std::filesystem;

fs::path fromUtf8(const std::string& text)
{
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> namesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::u8string name = entry.path().filename().u8string();
        names.emplace(name.begin(), name.end());
    }
    return names;
}

// A fresh folder with a name in several scripts, removed with everything in it.
class PageFolder {
public:
    PageFolder()
    {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        utf8_ = (fs::temp_directory_path() / ("tavrin-pagefile-" + std::to_string(stamp))).string() +
                "/P\xC3\xA1gina \xD1\x91\xD0\xB6 \xE2\x9C\x93";
        fs::create_directories(fromUtf8(utf8_));
    }
    ~PageFolder()
    {
        std::error_code ignored;
        fs::remove_all(fromUtf8(utf8_).parent_path(), ignored);
    }
    PageFolder(const PageFolder&) = delete;
    PageFolder& operator=(const PageFolder&) = delete;

    const std::string& utf8() const { return utf8_; }
    fs::path path() const { return fromUtf8(utf8_); }

private:
    std::string utf8_;
};

TEST(PageFile, APageInAFolderNamedInAnyScriptIsWrittenAndReplacedWhole)
{
    PageFolder folder;
    const TestPageWriter writer(folder.utf8() + "/tvtest.htm");
    ASSERT_TRUE(writer.writePage("<p>first</p>\n"));
    EXPECT_EQ(readAll(folder.path() / "tvtest.htm"), "<p>first</p>\r\n");
    ASSERT_TRUE(writer.writePage("<p>second</p>\n"));
    EXPECT_EQ(readAll(folder.path() / "tvtest.htm"), "<p>second</p>\r\n");
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"tvtest.htm"});
    EXPECT_TRUE(fs::equivalent(fromUtf8(writer.absolutePath()), folder.path() / "tvtest.htm"));

    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    const TestPageWriter here;
    EXPECT_TRUE(fs::equivalent(fromUtf8(here.absolutePath()), folder.path() / "tvtest.htm"));
    fs::current_path(previous);
}

TEST(PageFile, AFolderInThePagesPlaceFailsTheWriteAndNothingIsLeftBehind)
{
    PageFolder folder;
    fs::create_directory(folder.path() / "tvtest.htm");
    std::error_code error;
    EXPECT_FALSE(TestPageWriter(folder.utf8() + "/tvtest.htm").writePage("<p>page</p>\n", error));
    EXPECT_TRUE(error);
    EXPECT_TRUE(fs::is_directory(folder.path() / "tvtest.htm"));
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"tvtest.htm"});
}

// Writing into a write-protected page would fail, so replacing it must too;
// a page that may be written keeps its permissions.
TEST(PageFile, AWriteProtectedPageIsKeptAndAWritableOneKeepsItsPermissions)
{
    PageFolder folder;
    const fs::path page = folder.path() / "tvtest.htm";
    const TestPageWriter writer(folder.utf8() + "/tvtest.htm");
    ASSERT_TRUE(writer.writePage("<p>first</p>\n"));

    constexpr fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(page, readOnly);
    std::error_code error;
    EXPECT_FALSE(writer.writePage("<p>second</p>\n", error));
    EXPECT_EQ(error, std::errc::permission_denied) << error.message();
    EXPECT_EQ(readAll(page), "<p>first</p>\r\n");
    EXPECT_EQ(fs::status(page).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"tvtest.htm"});

    fs::permissions(page, readOnly | fs::perms::owner_write);
    const fs::perms writable = fs::status(page).permissions();
    ASSERT_TRUE(writer.writePage("<p>third</p>\n"));
    EXPECT_EQ(readAll(page), "<p>third</p>\r\n");
    EXPECT_EQ(fs::status(page).permissions(), writable);
}

}  // namespace
}  // namespace tavrin
