#include "generator/ScriptGenerator.h"

#include <algorithm>

namespace tavrin {

namespace {

// The once-only cookie's name for the window name in the script's `name`.
// Percent-encoding leaves letters, digits and "-_.!~*'()" alone, so an
// ordinary window name is its own cookie name; everything a cookie name
// cannot hold (";", "=", ",", white space, control characters, quotes,
// non-ASCII) is encoded, and a nameless window gets a fixed name. It is
// worked out in the browser, from the same string that window.open gets,
// so the page's character set cannot make writer and reader disagree.
constexpr std::string_view kCookieName = "(encodeURIComponent(name) || \"tavrin\")";

// The cookie reader looks for "; <cookie name>=" in "; " + document.cookie
// and returns the value up to the next ";", so only a cookie of exactly that
// name counts; without one it returns undefined.
constexpr std::string_view kCookieReaderHead =
    "function getCookie(name) {\r\n"
    "  var cookieFound = false;\r\n"
    "  var start = 0;\r\n"
    "  var end = 0;\r\n"
    "  var cookieString = \"; \" + document.cookie + \";\";\r\n"
    "  var i = 0;\r\n"
    "  name = \"; \" + ";
constexpr std::string_view kCookieReaderTail =
    " + \"=\";\r\n"
    "   // SCAN THE COOKIE FOR name\r\n"
    "  while (i <= cookieString.length) {\r\n"
    "    start = i;\r\n"
    "    end = start + name.length;\r\n"
    "    if (cookieString.substring(start,end) == name) {\r\n"
    "      cookieFound = true;\r\n"
    "      break;\r\n"
    "    }\r\n"
    "    i++;\r\n"
    "  }\r\n"
    "  // IS name FOUND?\r\n"
    "  if (cookieFound) {\r\n"
    "    return cookieString.substring(end, cookieString.indexOf(\";\", end)); \r\n"
    "  }\r\n"
    "  return ;\r\n"
    "}\r\n";

// Letters, digits, "_", "-" and ".": a window name made only of these is
// written into the cookie line as it stands.
bool isOrdinaryCookieName(std::string_view name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-' || c == '.';
    });
}

// Appends a piece made of fixed text around one typed text.
void appendQuoted(std::string& out, std::string_view before, std::string_view text, char quote,
                  std::string_view after)
{
    out += before;
    appendJsStringContent(out, text, quote);
    out += after;
}

std::string optionItems(const PopupSettings& s)
{
    std::string items;
    auto sized = [&](std::string_view key, const std::string& text) {
        if (readNumber(text) > 0) {
            items += key;
            items += text;
            items += ',';
        }
    };
    sized("width=", s.width);
    sized("height=", s.height);
    if (readNumber(s.top) > 0)
        items += "top=" + s.top + ",screenY=" + s.top + ",";
    if (readNumber(s.left) > 0)
        items += "left=" + s.left + ",screenX=" + s.left + ",";
    for (const WindowFeature& feature : kWindowFeatures) {
        if (s.*feature.flag != 0) {
            items += feature.option;
            items += "=yes,";
        }
    }
    return items;
}

}  // namespace

void appendJsStringContent(std::string& out, std::string_view text, char quote)
{
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        // \x00 rather than \0: a digit after \0 would make an octal escape.
        case '\0': out += "\\x00"; break;
        case '<': out += "\\x3C"; break;
        default:
            if (c == quote)
                out += '\\';
            out += c;
        }
    }
}

GeneratedScript ScriptGenerator::generate(PopupSettings& s)
{
    std::erase(s.windowName, ' ');
    const std::string& name = s.windowName;
    // A negative number of days asks for no cookie, just like 0.
    const std::int32_t days = std::min(readNumber(s.days), kMaxCookieDays);
    const bool cookie = days > 0;

    GeneratedScript out;
    std::string& f = out.functionsText;
    f.reserve(1024 + 2 * (s.pageUrl.size() + name.size() + s.days.size()) +
              4 * (s.width.size() + s.height.size() + s.left.size() + s.top.size()));
    f += "\r\n<script LANGUAGE=\"javascript\">\r\n";
    f += "<!-- Start ";
    f += kHomeAddress;
    f += " \r\n";
    f += "  function tavrin() {\r\n";
    appendQuoted(f, "var page = '", s.pageUrl, '\'', "' ;\r\n");
    appendQuoted(f, "var name = '", name, '\'', "' ;\r\n");
    appendQuoted(f, "var options = '", optionItems(s), '\'', "' ;\r\n");
    if (cookie)
        f += "if (!getCookie(name)) {\r\n";
    f += "myPopup = window.open(page, name, options) ;\r\n";
    // Bring the window to the front only when it is meant to pop over; a
    // blocked pop-up leaves myPopup null, so the call is guarded.
    if (s.placement.value_or(PopupPlacement::Over) == PopupPlacement::Over)
        f += "if (myPopup) myPopup.focus() ;\r\n";
    if (cookie) {
        f += "}\r\n";
        f += "var expires = new Date();\r\n";
        f += "expires.setTime (expires.getTime() + 24 * 60 * 60 * " + std::to_string(days) + " * 1000); \r\n";
        f += "var expiryDate = expires.toGMTString();\r\n";
        if (isOrdinaryCookieName(name)) {
            f += "document.cookie = \"";
            f += name;
            f += '=';
        } else {
            f += "document.cookie = ";
            f += kCookieName;
            f += " + \"=";
        }
        appendJsStringContent(f, s.days, '"');
        f += "; expires=\" + expiryDate;\r\n";
    }
    f += "return false;\r\n";
    f += "}\r\n";
    if (cookie) {
        f += kCookieReaderHead;
        f += kCookieName;
        f += kCookieReaderTail;
    }
    f += "// End ";
    f += kHomeAddress;
    f += " -->\r\n";
    f += "</script>\r\n";

    switch (s.trigger.value_or(PopupTrigger::OnLoad)) {
    case PopupTrigger::OnLoad:
        out.loaderText = " onLoad=\"tavrin()\" ";
        out.instructionText = kBodyInstruction;
        break;
    case PopupTrigger::OnClose:
        out.loaderText = " onUnload=\"tavrin()\" ";
        out.instructionText = kBodyInstruction;
        break;
    case PopupTrigger::OnButton:
        out.loaderText = " OnClick=\"tavrin()\" ";
        out.instructionText = kButtonInstruction;
        break;
    }
    return out;
}

}  // namespace tavrin
