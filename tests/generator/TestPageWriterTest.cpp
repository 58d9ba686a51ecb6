#include "generator/TestPageWriter.h"
#include "support/CrLfLines.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

const std::string kPromotionAndEnd = crlfLines({
    "<h4>Try some of our other award winning products:</h4>",
    "<b><a href=\"http://www.tavrin.example/tablesmith/\">Tavrin Tablesmith</a></b>"
    " Draw a table with the mouse and get its HTML, cell spans and all.<br>",
    "<b><a href=\"http://www.tavrin.example/rollover/\">Tavrin Rollover Kit</a></b>"
    " Image buttons that light up under the mouse, in three clicks.<br>",
    "<b><a href=\"http://www.tavrin.example/formwright/\">Tavrin Formwright</a></b>"
    " Mail forms with checked fields, ready to paste.<br>",
    "<b><a href=\"http://www.tavrin.example/colourwell/\">Tavrin Colour Well</a></b>"
    " Pick page, text and link colours and see them together.<br>",
    "<b><a href=\"http://www.tavrin.example/metascribe/\">Tavrin Meta Scribe</a></b>"
    " Writes the meta tags that search engines read.<br>",
    "<b><a href=\"http://www.tavrin.example/linkpatrol/\">Tavrin Link Patrol</a></b>"
    " Walks your whole site and lists every broken link.<br>",
    "<br>Thank you for using Tavrin from Tavrin Software, http://www.tavrin.example/<br>",
    "</font></body></html>",
});

// The default record's page as it stands on disk.
const std::string kDefaultPageOnDisk = crlfLines({
    "<html><head>",
    "<meta charset=\"utf-8\">",
    "<title>Tavrin Test Page</title>",
    "",
    "<script LANGUAGE=\"javascript\">",
    "<!-- Start www.tavrin.example/tavrin/ ",
    "  function tavrin() {",
    "var page = 'http://www.tavrin.example/tavrin/demo.htm' ;",
    "var name = 'PopUp' ;",
    "var options = 'width=200,height=200,' ;",
    "myPopup = window.open(page, name, options) ;",
    "if (myPopup) myPopup.focus() ;",
    "return false;",
    "}",
    "// End www.tavrin.example/tavrin/ -->",
    "</script>",
    "",
    "</head>",
    "<body onLoad=\"tavrin()\" >",
    "<font face=arial>",
    "<h3>Tavrin Test Page.</h3>",
}) + kPromotionAndEnd;

std::string pageFor(PopupSettings s)
{
    const GeneratedScript script = ScriptGenerator::generate(s);
    return TestPageWriter::composePage(script, s.trigger.value_or(PopupTrigger::OnLoad));
}

// The line of `page` that starts with `prefix`.
std::string lineStarting(const std::string& page, const std::string& prefix)
{
    const auto at = page.find("\n" + prefix);
    if (at == std::string::npos)
        return "<no line starting with " + prefix + ">";
    return page.substr(at + 1, page.find('\n', at + 1) - at - 1);
}

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

}  // namespace

TEST(ComposePage, DefaultRecordIsWrittenByteForByte)
{
    ScratchDir dir;
    const TestPageWriter writer(dir / "tvtest.htm");
    ASSERT_TRUE(writer.writePage(pageFor(PopupSettings::defaults())));
    EXPECT_EQ(readFile(dir / "tvtest.htm"), kDefaultPageOnDisk);
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"tvtest.htm"});
}

TEST(ComposePage, OwnLinesEndInLfAndTheScriptKeepsItsCrLf)
{
    PopupSettings s = PopupSettings::defaults();
    const GeneratedScript script = ScriptGenerator::generate(s);
    const std::string page = TestPageWriter::composePage(script, PopupTrigger::OnLoad);
    EXPECT_EQ(page.substr(0, 68), "<html><head>\n<meta charset=\"utf-8\">\n<title>Tavrin Test Page</title>\n");
    EXPECT_NE(page.find("\n" + script.functionsText + "\n</head>\n<body onLoad=\"tavrin()\" >\n"), std::string::npos);
}

TEST(ComposePage, EachTriggerPutsItsLoaderWhereAVisitorSetsItOff)
{
    PopupSettings s = PopupSettings::defaults();
    s.trigger = PopupTrigger::OnClose;
    std::string page = pageFor(s);
    EXPECT_EQ(lineStarting(page, "<body"), "<body onUnload=\"tavrin()\" >");
    EXPECT_EQ(page.find("<button"), std::string::npos);

    s.trigger = PopupTrigger::OnButton;
    page = pageFor(s);
    EXPECT_EQ(lineStarting(page, "<body"), "<body>");
    // The button stands on its own line right after the heading.
    EXPECT_NE(page.find("<h3>Tavrin Test Page.</h3>\n<button OnClick=\"tavrin()\" >Open the pop-up</button><br>\n"
                        "<h4>"),
              std::string::npos);
    EXPECT_LT(page.find("function tavrin()"), page.find("</head>"));
}

TEST(ComposePage, RecordTextsHoldingBodyOrHeadTagsMoveNothing)
{
    PopupSettings s = PopupSettings::defaults();
    s.pageUrl = "page.htm?a=<BoDy>&b=</HEAD><body onLoad=x>";
    s.windowName = "</head><body";
    s.days = "3 <body>";
    const std::string page = pageFor(s);
    // The loader is in the page's own body tag, once, behind the script.
    EXPECT_EQ(lineStarting(page, "<body"), "<body onLoad=\"tavrin()\" >");
    EXPECT_EQ(count(page, "onLoad=\"tavrin()\""), 1u);
    const auto scriptEnd = page.find("</script>\r\n\n</head>\n<body onLoad=\"tavrin()\" >\n");
    EXPECT_NE(scriptEnd, std::string::npos);
    EXPECT_EQ(page.find("</head>"), scriptEnd + 12);
}

TEST(WritePage, EveryLineOnDiskEndsInExactlyCrLf)
{
    PopupSettings s = PopupSettings::defaults();
    s.days = "30";
    s.trigger = PopupTrigger::OnButton;
    ScratchDir dir;
    const TestPageWriter writer(dir / "tvtest.htm");
    ASSERT_TRUE(writer.writePage(pageFor(s)));
    const std::string bytes = readFile(dir / "tvtest.htm");
    EXPECT_EQ(bytes.find("\r\r"), std::string::npos);
    EXPECT_EQ(count(bytes, "\n"), count(bytes, "\r\n"));
    EXPECT_EQ(count(bytes, "\r"), count(bytes, "\r\n"));
    EXPECT_EQ(bytes.substr(bytes.size() - 23), "</font></body></html>\r\n");
    // The line behind the title line and the one in front of </head> are empty.
    EXPECT_NE(bytes.find("<title>Tavrin Test Page</title>\r\n\r\n<script"), std::string::npos);
    EXPECT_NE(bytes.find("</script>\r\n\r\n</head>\r\n"), std::string::npos);
}

TEST(WritePage, TheSecondRunReplacesTheFirstWhole)
{
    ScratchDir dir;
    const TestPageWriter writer(dir / "tvtest.htm");
    PopupSettings big = PopupSettings::defaults();
    big.pageUrl.assign(100'000, 'u');
    big.days = "30";
    ASSERT_TRUE(writer.writePage(pageFor(big)));
    ASSERT_GT(readFile(dir / "tvtest.htm").size(), 100'000u);
    ASSERT_TRUE(writer.writePage(pageFor(PopupSettings::defaults())));
    EXPECT_EQ(readFile(dir / "tvtest.htm"), kDefaultPageOnDisk);
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"tvtest.htm"});
}

TEST(WritePage, ByDefaultWritesTvtestInTheCurrentDirectory)
{
    ScratchDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const TestPageWriter writer;
    const bool written = writer.writePage(pageFor(PopupSettings::defaults()));
    std::filesystem::current_path(previous);
    EXPECT_TRUE(writer.openPage([](const std::string& page) { return page == "tvtest.htm"; }))
        << "the page is opened by the name it was written under";
    ASSERT_TRUE(written);
    EXPECT_EQ(readFile(dir / "tvtest.htm"), kDefaultPageOnDisk);
}

TEST(WritePage, ASymbolicLinkIsReplacedNotFollowed)
{
    ScratchDir dir;
    writeFile(dir / "precious.txt", "keep me");
    std::filesystem::create_symlink(dir / "precious.txt", dir / "tvtest.htm");
    const TestPageWriter writer(dir / "tvtest.htm");
    ASSERT_TRUE(writer.writePage(pageFor(PopupSettings::defaults())));
    EXPECT_EQ(readFile(dir / "precious.txt"), "keep me");
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "tvtest.htm"));
    EXPECT_EQ(readFile(dir / "tvtest.htm"), kDefaultPageOnDisk);
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"precious.txt", "tvtest.htm"}));
}

// The failures below are real ones of the file system, and hold for root.
TEST(WritePageFailure, TargetIsADirectory)
{
    ScratchDir dir;
    std::filesystem::create_directory(dir / "tvtest.htm");
    writeFile(dir / "tvtest.htm" / "inside.txt", "untouched");
    const TestPageWriter writer(dir / "tvtest.htm");
    std::error_code error;
    EXPECT_FALSE(writer.writePage(pageFor(PopupSettings::defaults()), error));
    EXPECT_TRUE(error);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "tvtest.htm"));
    EXPECT_EQ(readFile(dir / "tvtest.htm" / "inside.txt"), "untouched");
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"tvtest.htm"});
}

TEST(WritePageFailure, DirectoryMissingOrNotADirectory)
{
    ScratchDir dir;
    writeFile(dir / "plain", "a file");
    for (const std::filesystem::path& page : {dir / "missing" / "tvtest.htm", dir / "plain" / "tvtest.htm"}) {
        std::error_code error;
        EXPECT_FALSE(TestPageWriter(page).writePage(pageFor(PopupSettings::defaults()), error)) << page;
        EXPECT_TRUE(error) << page;
    }
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"plain"});
    EXPECT_EQ(readFile(dir / "plain"), "a file");
}

// Runs a write of `page` in a child limited to files of 1000 bytes; returns
// 0 for success, 1 for the file-too-large error, 2 for any other error.
int writeUnderSizeLimit(const std::filesystem::path& target, const std::string& page)
{
    // The limit binds this process alone, so the write runs in a child.
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::error_code error;
        const bool written = TestPageWriter(target).writePage(page, error);
        _exit(written ? 0 : error == std::errc::file_too_large ? 1 : 2);
    }
    int status = 0;
    if (child == -1 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST(WritePageFailure, AWriteCutShortByAFileSizeLimitKeepsTheOldPage)
{
    PopupSettings big = PopupSettings::defaults();
    big.pageUrl.assign(50'000, 'u');
    // The small page fails only when the buffer is flushed on close, the big
    // one already while it is written.
    for (const std::string& page : {pageFor(PopupSettings::defaults()), pageFor(big)}) {
        ScratchDir dir;
        const std::string oldPage = "the page of the last run\r\n";
        writeFile(dir / "tvtest.htm", oldPage);
        EXPECT_EQ(writeUnderSizeLimit(dir / "tvtest.htm", page), 1) << "0: reported success, 2: another error";
        EXPECT_EQ(readFile(dir / "tvtest.htm"), oldPage);
        EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"tvtest.htm"});
    }
}

// A small file system of its own, mounted for one test and unmounted after.
class TinyFileSystem {
public:
    explicit TinyFileSystem(const std::filesystem::path& where) : where_(where)
    {
        std::filesystem::create_directory(where_);
        mounted_ = mount("tmpfs", where_.c_str(), "tmpfs", 0, "size=8k") == 0;
    }
    ~TinyFileSystem()
    {
        if (mounted_)
            umount(where_.c_str());
    }
    TinyFileSystem(const TinyFileSystem&) = delete;
    TinyFileSystem& operator=(const TinyFileSystem&) = delete;
    bool mounted() const { return mounted_; }

private:
    std::filesystem::path where_;
    bool mounted_ = false;
};

TEST(WritePageFailure, AFullFileSystemKeepsTheOldPage)
{
    ScratchDir dir;
    const TinyFileSystem disk(dir / "disk");
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a file system needs root";
    const std::string oldPage = "the page of the last run\r\n";
    writeFile(dir / "disk/tvtest.htm", oldPage);
    PopupSettings big = PopupSettings::defaults();
    big.pageUrl.assign(50'000, 'u');
    std::error_code error;
    EXPECT_FALSE(TestPageWriter(dir / "disk/tvtest.htm").writePage(pageFor(big), error));
    EXPECT_EQ(error, std::errc::no_space_on_device) << error.message();
    EXPECT_EQ(readFile(dir / "disk/tvtest.htm"), oldPage);
    EXPECT_EQ(namesIn(dir / "disk"), std::set<std::string>{"tvtest.htm"});
}
