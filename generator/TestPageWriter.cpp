#include "generator/TestPageWriter.h"

#include "generator/PageFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>

namespace tavrin {

namespace {

// The program's texts are UTF-8; without saying so in the page, browsers
// read a page opened from disk or served without a character set as
// Windows-1252, and a typed "é" reaches the pop-up as "Ã©".
constexpr std::string_view kPageTop = "<html><head>\n<meta charset=\"utf-8\">\n<title>Tavrin Test Page</title>";
constexpr std::string_view kHeadEnd = "\n</head>\n<body";
constexpr std::string_view kBodyTop = ">\n<font face=arial>\n<h3>Tavrin Test Page.</h3>\n";
constexpr std::string_view kButtonStart = "<button";
constexpr std::string_view kButtonEnd = ">Open the pop-up</button><br>\n";
constexpr std::string_view kPageRest =
    "<h4>Try some of our other award winning products:</h4>\n"
    "<b><a href=\"http://www.tavrin.example/tablesmith/\">Tavrin Tablesmith</a></b>"
    " Draw a table with the mouse and get its HTML, cell spans and all.<br>\n"
    "<b><a href=\"http://www.tavrin.example/rollover/\">Tavrin Rollover Kit</a></b>"
    " Image buttons that light up under the mouse, in three clicks.<br>\n"
    "<b><a href=\"http://www.tavrin.example/formwright/\">Tavrin Formwright</a></b>"
    " Mail forms with checked fields, ready to paste.<br>\n"
    "<b><a href=\"http://www.tavrin.example/colourwell/\">Tavrin Colour Well</a></b>"
    " Pick page, text and link colours and see them together.<br>\n"
    "<b><a href=\"http://www.tavrin.example/metascribe/\">Tavrin Meta Scribe</a></b>"
    " Writes the meta tags that search engines read.<br>\n"
    "<b><a href=\"http://www.tavrin.example/linkpatrol/\">Tavrin Link Patrol</a></b>"
    " Walks your whole site and lists every broken link.<br>\n"
    "<br>Thank you for using Tavrin from Tavrin Software, http://www.tavrin.example/<br>\n"
    "</font></body></html>\n";

// The page with every line feed that has no carriage return before it
// written as CR LF, so each line on disk ends in exactly CR LF.
std::string withCrLf(std::string_view page)
{
    std::string out;
    out.reserve(page.size() + page.size() / 16 + 64);
    char previous = '\0';
    for (char c : page) {
        if (c == '\n' && previous != '\r')
            out += '\r';
        out += c;
        previous = c;
    }
    return out;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Removes the temporary file unless it has been renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!kept_)
            pagefile::remove(path_);
    }
    const std::string& path() const { return path_; }
    void keep() { kept_ = true; }

private:
    std::string path_;
    bool kept_ = false;
};

std::error_code lastError()
{
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

// A name beside `page` that no other writer uses at the same moment: the clock and a counter.
std::string temporaryPath(const std::string& page)
{
    static std::atomic<unsigned long long> counter{0};
    const auto now = static_cast<unsigned long long>(std::chrono::system_clock::now().time_since_epoch().count());
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".%llx-%llx.tmp", now, counter.fetch_add(1));
    const std::size_t folderEnd = page.find_last_of(pagefile::kSeparators) + 1;  // 0 when there is no folder
    return page.substr(0, folderEnd) + "." + page.substr(folderEnd) + suffix;
}

// Writes all of `bytes` and closes the file, which flushes the buffer: a
// full disk or a size limit shows at either step.
std::error_code writeAndClose(File file, const std::string& bytes)
{
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return lastError();
    errno = 0;
    if (std::fclose(file.release()) != 0)
        return lastError();
    return {};
}

}  // namespace

TestPageWriter::TestPageWriter(std::string page) : page_(std::move(page)) {}

std::string TestPageWriter::composePage(const GeneratedScript& script, PopupTrigger trigger)
{
    const bool button = trigger == PopupTrigger::OnButton;
    std::string page;
    page.reserve(kPageTop.size() + script.functionsText.size() + kHeadEnd.size() + kBodyTop.size() +
                 kButtonStart.size() + kButtonEnd.size() + 2 * script.loaderText.size() + kPageRest.size() + 1);
    // The script goes in front of the line feed that ends the title line.
    page += kPageTop;
    page += '\n';
    page += script.functionsText;
    page += kHeadEnd;
    // The loader goes into the page's own body tag, right after "<body",
    // or onto a button of the page's own when the visitor is to click.
    if (!button)
        page += script.loaderText;
    page += kBodyTop;
    if (button) {
        page += kButtonStart;
        page += script.loaderText;
        page += kButtonEnd;
    }
    page += kPageRest;
    return page;
}

bool TestPageWriter::writePage(std::string_view page, std::error_code& error) const
{
    error.clear();
    const std::string bytes = withCrLf(page);

    File file;
    std::string tempPath;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        tempPath = temporaryPath(page_);
        errno = 0;
        file.reset(pagefile::createNew(tempPath));
        if (!file && errno != EEXIST)
            break;
    }
    if (!file) {
        error = lastError();
        return false;
    }
    TemporaryFile temp(tempPath);

    error = writeAndClose(std::move(file), bytes);
    if (error)
        return false;
    errno = 0;
    if (!pagefile::replace(temp.path(), page_)) {
        error = lastError();
        return false;
    }
    temp.keep();
    return true;
}

bool TestPageWriter::writePage(std::string_view page) const
{
    std::error_code ignored;
    return writePage(page, ignored);
}

bool TestPageWriter::openPage(const std::function<bool(const std::string& path)>& open) const
{
    return open(page_);
}

std::string TestPageWriter::absolutePath() const
{
    return pagefile::absolute(page_);
}

}  // namespace tavrin
