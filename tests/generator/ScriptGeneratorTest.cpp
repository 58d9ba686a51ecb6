#include "generator/ScriptGenerator.h"
#include "support/CrLfLines.h"

#include <gtest/gtest.h>

#include <string>

using namespace tavrin;
using tavrin::test::crlfLines;

namespace {

const std::string kStart = "<!-- Start www.tavrin.example/tavrin/ ";
const std::string kEnd = "// End www.tavrin.example/tavrin/ -->";

// The cookie line of a window name that cannot stand as a cookie name, days 30.
const std::string kEncodedCookieLine =
    "document.cookie = (encodeURIComponent(name) || \"tavrin\") + \"=30; expires=\" + expiryDate;";

const std::string kCookieReader = crlfLines({
    "function getCookie(name) {",
    "  var cookieFound = false;",
    "  var start = 0;",
    "  var end = 0;",
    "  var cookieString = \"; \" + document.cookie + \";\";",
    "  var i = 0;",
    "  name = \"; \" + (encodeURIComponent(name) || \"tavrin\") + \"=\";",
    "   // SCAN THE COOKIE FOR name",
    "  while (i <= cookieString.length) {",
    "    start = i;",
    "    end = start + name.length;",
    "    if (cookieString.substring(start,end) == name) {",
    "      cookieFound = true;",
    "      break;",
    "    }",
    "    i++;",
    "  }",
    "  // IS name FOUND?",
    "  if (cookieFound) {",
    "    return cookieString.substring(end, cookieString.indexOf(\";\", end)); ",
    "  }",
    "  return ;",
    "}",
});

std::string lineStartingWith(const std::string& text, const std::string& prefix)
{
    const auto at = text.find("\r\n" + prefix);
    if (at == std::string::npos)
        return "<no line starting with " + prefix + ">";
    return text.substr(at + 2, text.find("\r\n", at + 2) - at - 2);
}

std::string optionsLine(PopupSettings s)
{
    return lineStartingWith(ScriptGenerator::generate(s).functionsText, "var options");
}

bool hasCookieCode(const std::string& f)
{
    return f.find("getCookie") != std::string::npos || f.find("document.cookie") != std::string::npos;
}

PopupSettings example2()
{
    PopupSettings s = PopupSettings::defaults();
    s.pageUrl = "popup.htm";
    s.windowName = "My Popup";
    s.width = "300";
    s.height = "250";
    s.top = "100";
    s.left = "50";
    s.days = "30";
    s.resizable = 1;
    s.scrollBars = 1;
    s.trigger = PopupTrigger::OnClose;
    s.placement = PopupPlacement::Over;
    return s;
}

}  // namespace

TEST(WorkedExamples, DefaultRecord)
{
    PopupSettings s = PopupSettings::defaults();
    const GeneratedScript out = ScriptGenerator::generate(s);
    EXPECT_EQ(out.functionsText, crlfLines({
                                     "",
                                     "<script LANGUAGE=\"javascript\">",
                                     kStart,
                                     "  function tavrin() {",
                                     "var page = 'http://www.tavrin.example/tavrin/demo.htm' ;",
                                     "var name = 'PopUp' ;",
                                     "var options = 'width=200,height=200,' ;",
                                     "myPopup = window.open(page, name, options) ;",
                                     "if (myPopup) myPopup.focus() ;",
                                     "return false;",
                                     "}",
                                     kEnd,
                                     "</script>",
                                 }));
    EXPECT_EQ(out.loaderText, " onLoad=\"tavrin()\" ");
    EXPECT_EQ(out.instructionText, "Paste this code into your body tag just before it closes with >");
}

TEST(WorkedExamples, CookieOnCloseWithPositionAndFeatures)
{
    PopupSettings s = example2();
    const GeneratedScript out = ScriptGenerator::generate(s);
    EXPECT_EQ(out.functionsText,
              crlfLines({
                  "",
                  "<script LANGUAGE=\"javascript\">",
                  kStart,
                  "  function tavrin() {",
                  "var page = 'popup.htm' ;",
                  "var name = 'MyPopup' ;",
                  "var options = "
                  "'width=300,height=250,top=100,screenY=100,left=50,screenX=50,resizable=yes,scrollbars=yes,' ;",
                  "if (!getCookie(name)) {",
                  "myPopup = window.open(page, name, options) ;",
                  "if (myPopup) myPopup.focus() ;",
                  "}",
                  "var expires = new Date();",
                  "expires.setTime (expires.getTime() + 24 * 60 * 60 * 30 * 1000); ",
                  "var expiryDate = expires.toGMTString();",
                  "document.cookie = \"MyPopup=30; expires=\" + expiryDate;",
                  "return false;",
                  "}",
              }) + kCookieReader +
                  crlfLines({kEnd, "</script>"}));
    EXPECT_EQ(s.windowName, "MyPopup");
    EXPECT_EQ(out.loaderText, " onUnload=\"tavrin()\" ");
    EXPECT_EQ(out.instructionText, "Paste this code into your body tag just before it closes with >");
}

TEST(WindowName, BlanksAreStrippedEverywhereAndStoredBack)
{
    PopupSettings s = example2();
    s.windowName = "  My \tPop  up ";
    const GeneratedScript out = ScriptGenerator::generate(s);
    EXPECT_EQ(s.windowName, "My\tPopup");
    EXPECT_EQ(lineStartingWith(out.functionsText, "var name"), "var name = 'My\tPopup' ;");
    EXPECT_EQ(lineStartingWith(out.functionsText, "document.cookie"),
              kEncodedCookieLine);
    // A second run on the same record gives the same texts.
    EXPECT_EQ(ScriptGenerator::generate(s).functionsText, out.functionsText);
}

TEST(WindowName, EmptyOrBlankOnly)
{
    PopupSettings s = example2();
    s.windowName = "   ";
    const GeneratedScript out = ScriptGenerator::generate(s);
    EXPECT_EQ(s.windowName, "");
    EXPECT_EQ(lineStartingWith(out.functionsText, "var name"), "var name = '' ;");
    EXPECT_EQ(lineStartingWith(out.functionsText, "document.cookie"),
              kEncodedCookieLine);
}

TEST(Cookie, OnlyNamesOfLettersDigitsUnderscoreHyphenAndDotStandInTheCookieLineAsTyped)
{
    PopupSettings s = example2();
    s.windowName = "Az09_-.";
    EXPECT_EQ(lineStartingWith(ScriptGenerator::generate(s).functionsText, "document.cookie"),
              "document.cookie = \"Az09_-.=30; expires=\" + expiryDate;");
    for (const char* name : {";", "a=b", ",", "\t", "\"", "'", "\x01", "\x7f", "\xc3\xa9", "%", "(", "\\"}) {
        s.windowName = name;
        EXPECT_EQ(lineStartingWith(ScriptGenerator::generate(s).functionsText, "document.cookie"),
                  kEncodedCookieLine)
            << name;
    }
}

TEST(Options, SizeAndPositionItemsAppearOnlyForPositiveNumbersAndKeepTheTypedText)
{
    PopupSettings s;
    EXPECT_EQ(optionsLine(s), "var options = '' ;");
    for (const char* notPositive : {"0", "", "px", "-5", "- 5"}) {
        s.width = notPositive;
        EXPECT_EQ(optionsLine(s), "var options = '' ;") << notPositive;
    }
    s.width = " 12px";
    EXPECT_EQ(optionsLine(s), "var options = 'width= 12px,' ;");
    s = PopupSettings{};
    s.top = "100";
    EXPECT_EQ(optionsLine(s), "var options = 'top=100,screenY=100,' ;");
    s = PopupSettings{};
    s.left = "50";
    EXPECT_EQ(optionsLine(s), "var options = 'left=50,screenX=50,' ;");
}

TEST(Options, EveryFeatureInItsOrder)
{
    PopupSettings s;
    s.directories = s.location = s.menuBar = s.resizable = s.scrollBars = s.statusBar = s.toolbar = 1;
    EXPECT_EQ(optionsLine(s), "var options = 'directories=yes,location=yes,menubar=yes,resizable=yes,"
                              "scrollbars=yes,status=yes,toolbar=yes,' ;");
    s = PopupSettings{};
    s.statusBar = -7;  // any non-zero flag counts as ticked
    EXPECT_EQ(optionsLine(s), "var options = 'status=yes,' ;");
}

TEST(Options, CentreChangesNothing)
{
    PopupSettings a = example2();
    PopupSettings b = example2();
    b.centre = 1;
    const GeneratedScript x = ScriptGenerator::generate(a);
    const GeneratedScript y = ScriptGenerator::generate(b);
    EXPECT_EQ(x.functionsText, y.functionsText);
    EXPECT_EQ(x.loaderText, y.loaderText);
}

TEST(Cookie, NoCookieCodeForZeroEmptyLettersOrNegativeDays)
{
    for (const char* days : {"0", "", "days", "-3", "-2147483648", " -1 day"}) {
        PopupSettings s = example2();
        s.days = days;
        const std::string f = ScriptGenerator::generate(s).functionsText;
        EXPECT_FALSE(hasCookieCode(f)) << days;
        EXPECT_EQ(f.find("if (!"), std::string::npos) << days;
        EXPECT_NE(f.find("myPopup = window.open(page, name, options) ;\r\nif (myPopup) myPopup.focus() ;\r\n"
                         "return false;\r\n}\r\n// End"),
                  std::string::npos)
            << days;
    }
}

TEST(Cookie, ExpiresAfterTheTypedDaysAndKeepsTheTypedTextAsValue)
{
    PopupSettings s = example2();
    s.days = "7 days";
    const std::string f = ScriptGenerator::generate(s).functionsText;
    EXPECT_EQ(lineStartingWith(f, "expires.setTime"),
              "expires.setTime (expires.getTime() + 24 * 60 * 60 * 7 * 1000); ");
    EXPECT_EQ(lineStartingWith(f, "document.cookie"), "document.cookie = \"MyPopup=7 days; expires=\" + expiryDate;");
    EXPECT_NE(f.find(kCookieReader), std::string::npos);

    s.days = "365";
    EXPECT_EQ(lineStartingWith(ScriptGenerator::generate(s).functionsText, "expires.setTime"),
              "expires.setTime (expires.getTime() + 24 * 60 * 60 * 365 * 1000); ");
}

TEST(Cookie, HugeDaysAreCappedSoTheExpiryStaysAValidDate)
{
    for (const char* days : {"99000000", "99000001", "2147483647", "99999999999999999999"}) {
        PopupSettings s = example2();
        s.days = days;
        EXPECT_EQ(lineStartingWith(ScriptGenerator::generate(s).functionsText, "expires.setTime"),
                  "expires.setTime (expires.getTime() + 24 * 60 * 60 * 99000000 * 1000); ")
            << days;
    }
    // The cap leaves room for the date of any visit in the next 2,700 years.
    EXPECT_LE(kMaxCookieDays + 1'000'000LL, 100'000'000LL);
}

TEST(Placement, FocusLineOnlyWhenPoppingOver)
{
    PopupSettings s = example2();
    s.placement = PopupPlacement::Under;
    EXPECT_EQ(ScriptGenerator::generate(s).functionsText.find("focus"), std::string::npos);
    s.placement = PopupPlacement::Over;
    EXPECT_NE(ScriptGenerator::generate(s).functionsText.find(
                  "myPopup = window.open(page, name, options) ;\r\nif (myPopup) myPopup.focus() ;\r\n}\r\n"),
              std::string::npos);
}

TEST(Trigger, ChoosesLoaderAndInstructionButNotTheFunctions)
{
    PopupSettings s = example2();
    s.trigger = PopupTrigger::OnButton;
    const GeneratedScript button = ScriptGenerator::generate(s);
    EXPECT_EQ(button.loaderText, " OnClick=\"tavrin()\" ");
    EXPECT_EQ(button.instructionText, "Paste this code into the image or button tag just before it closes with >");
    s.trigger = PopupTrigger::OnLoad;
    const GeneratedScript load = ScriptGenerator::generate(s);
    EXPECT_EQ(load.loaderText, " onLoad=\"tavrin()\" ");
    EXPECT_EQ(load.functionsText, button.functionsText);
}

TEST(Escaping, TypedTextsCannotEndTheirLiteralOrTheScript)
{
    PopupSettings s = example2();
    s.pageUrl = "it's\\a \"page\"</script><!--\r\n";
    s.windowName = "O'\"Neil";
    s.width = "3'0";
    s.days = "9\"<";
    const std::string f = ScriptGenerator::generate(s).functionsText;
    EXPECT_EQ(lineStartingWith(f, "var page"), "var page = 'it\\'s\\\\a \"page\"\\x3C/script>\\x3C!--\\r\\n' ;");
    EXPECT_EQ(lineStartingWith(f, "var name"), "var name = 'O\\'\"Neil' ;");
    EXPECT_EQ(lineStartingWith(f, "var options"),
              "var options = 'width=3\\'0,height=250,top=100,screenY=100,left=50,screenX=50,resizable=yes,"
              "scrollbars=yes,' ;");
    EXPECT_EQ(lineStartingWith(f, "document.cookie"),
              "document.cookie = (encodeURIComponent(name) || \"tavrin\") + \"=9\\\"\\x3C; expires=\" + expiryDate;");
}

TEST(Escaping, NulBecomesAHexEscapeSoAFollowingDigitStaysADigit)
{
    std::string out;
    appendJsStringContent(out, std::string("a\0" "1", 3), '\'');
    EXPECT_EQ(out, "a\\x001");
}

TEST(Escaping, TabsOtherQuoteAndHighBytesPassAsTyped)
{
    std::string out;
    appendJsStringContent(out, "\t\"\xe9\xff>", '\'');
    EXPECT_EQ(out, "\t\"\xe9\xff>");
}

TEST(Generate, VeryLongTextsAreCopiedWhole)
{
    PopupSettings s;
    s.pageUrl = std::string(10'000'000, 'u');
    const std::string f = ScriptGenerator::generate(s).functionsText;
    EXPECT_EQ(lineStartingWith(f, "var page"), "var page = '" + s.pageUrl + "' ;");
}

TEST(Generate, AnUnsetRecordGetsTheDialogDefaultsForItsRadioChoices)
{
    PopupSettings s;
    const GeneratedScript out = ScriptGenerator::generate(s);
    EXPECT_EQ(out.loaderText, " onLoad=\"tavrin()\" ");
    EXPECT_NE(out.functionsText.find("myPopup.focus()"), std::string::npos);
    EXPECT_EQ(lineStartingWith(out.functionsText, "var page"), "var page = '' ;");
}
