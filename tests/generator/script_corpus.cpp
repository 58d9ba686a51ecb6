// Generates pop-up scripts for many records full of hostile texts and writes
// one JSON object per line: the record as typed and the generated texts.
// Bytes above 0x7F and control bytes are written as \u00XX, so a reader sees
// every byte as one Latin-1 character.
#include "generator/ScriptGenerator.h"

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

void appendJson(std::string& out, const std::string& text)
{
    out += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

}  // namespace

int main()
{
    const std::vector<std::string> pieces = {
        "'", "\"", "\\", "</script>", "</SCRIPT >", "<script>", "<!--", "-->", "<body>", "</head>", "\r", "\n",
        "\r\n", std::string(1, '\0'), std::string("\0" "7", 2), "\t", "\xe9", "\xff", "\x80", " ", "  ", "a", "7",
        "12", "-3", "0", "+", "px", " days", "\\x3C", "\\u2028", "${x}", "`", "\x7f", "\x1b", "\xe2\x80\xa8",
    };
    std::mt19937 rng(20261208);
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    auto hostile = [&] {
        std::string text;
        const std::size_t parts = pick(7);
        for (std::size_t i = 0; i < parts; ++i)
            text += pieces[pick(pieces.size())];
        if (pick(40) == 0)
            text += std::string(100'000, 'x') + pieces[pick(pieces.size())];
        return text;
    };
    auto numberish = [&] {
        static const std::vector<std::string> numbers = {"", "0", "7", "30", "-3", " 12px", "99999999999", "1e3"};
        return pick(3) == 0 ? hostile() : numbers[pick(numbers.size())] + (pick(2) ? hostile() : "");
    };

    std::string line;
    for (int n = 0; n < 400; ++n) {
        tavrin::PopupSettings s;
        s.pageUrl = hostile();
        s.windowName = hostile();
        s.width = numberish();
        s.height = numberish();
        s.left = numberish();
        s.top = numberish();
        s.days = numberish();
        s.directories = static_cast<std::int32_t>(pick(2));
        s.location = static_cast<std::int32_t>(pick(2));
        s.menuBar = static_cast<std::int32_t>(pick(2));
        s.resizable = static_cast<std::int32_t>(pick(2));
        s.scrollBars = static_cast<std::int32_t>(pick(2));
        s.statusBar = static_cast<std::int32_t>(pick(2));
        s.toolbar = static_cast<std::int32_t>(pick(2));
        s.placement = pick(2) ? tavrin::PopupPlacement::Over : tavrin::PopupPlacement::Under;
        const tavrin::PopupSettings typed = s;
        const tavrin::GeneratedScript out = tavrin::ScriptGenerator::generate(s);

        line.clear();
        line += '{';
        const std::pair<const char*, const std::string*> texts[] = {
            {"url", &typed.pageUrl}, {"name", &typed.windowName}, {"width", &typed.width},
            {"height", &typed.height}, {"left", &typed.left}, {"top", &typed.top},
            {"days", &typed.days}, {"functions", &out.functionsText},
        };
        for (const auto& [key, text] : texts) {
            line += '"';
            line += key;
            line += "\":";
            appendJson(line, *text);
            line += ',';
        }
        line += "\"features\":[";
        for (std::int32_t f : {s.directories, s.location, s.menuBar, s.resizable, s.scrollBars, s.statusBar,
                               s.toolbar})
            line += f ? "1," : "0,";
        line.back() = ']';
        line += ",\"over\":";
        line += s.placement == tavrin::PopupPlacement::Over ? "true" : "false";
        line += "}\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
