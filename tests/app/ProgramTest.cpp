// Tavrin from start to end: start-up, the ways to end it, and the typical
// request from the first click to the clipboard.

#include "app/RunTavrin.h"
#include "generator/ScriptGenerator.h"
#include "res/Resources.h"
#include "support/FakeBackend.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavrin::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace res;

TEST(Program, WithoutSocketsShowsOnlyTheSocketsMessageAndEnds)
{
    FakeBackend backend;
    backend.socketsAvailable = false;
    runTavrin(backend, "/usr/bin/tavrin");
    EXPECT_THAT(backend.dialogsShown, IsEmpty());
    ASSERT_EQ(backend.messageBoxes.size(), 1u);
    const ShownMessageBox& box = backend.messageBoxes[0];
    EXPECT_EQ(box.text, "Windows sockets initialization failed.");
    EXPECT_EQ(box.caption, "tavrin");
    EXPECT_EQ(box.buttons, fw::MbButtons::Ok);
    EXPECT_EQ(box.icon, fw::MbIcon::Exclamation);
    EXPECT_EQ(box.ownerTemplateId, 0);
    EXPECT_THAT(backend.errors(), IsEmpty());
}

TEST(Program, QuitEscapeCloseBoxAndSystemMenuCloseEachEndIt)
{
    using End = void (*)(Script&);
    const End ends[] = {
        [](Script& s) { s.click(kQuit); },
        [](Script& s) { s.pressEscape(kUrl); },
        [](Script& s) { s.closeBox(); },
        [](Script& s) { s.systemMenu(kScClose); },
    };
    for (End end : ends) {
        FakeBackend backend;
        Script s = backend.script();
        end(s);
        EXPECT_EQ(runTavrin(backend, "tavrin"), 0);
        EXPECT_THAT(backend.dialogsShown, ElementsAre(102));
        EXPECT_THAT(backend.openDialogs(), IsEmpty());
        EXPECT_THAT(backend.errors(), IsEmpty());
        EXPECT_EQ(backend.socketStarts, 1);
    }
}

TEST(Program, EndsWhenTheMainDialogCannotBeInitialised)
{
    FakeBackend backend;
    backend.listItemsBeforeFailure = 100;
    runTavrin(backend, "tavrin");
    EXPECT_THAT(backend.dialogsShown, ElementsAre(102));
    EXPECT_THAT(backend.openDialogs(), IsEmpty());
    EXPECT_THAT(backend.errors(), IsEmpty());
}

TEST(Program, TypicalRequestPutsTheScriptBlockOnTheClipboard)
{
    const std::string url = "http://www.example.com/offer.htm";
    PopupSettings expected = PopupSettings::defaults();
    expected.pageUrl = url;
    expected.width = "300";
    expected.scrollBars = 1;
    expected.trigger = PopupTrigger::OnClose;
    const GeneratedScript script = ScriptGenerator::generate(expected);

    FakeBackend backend;
    backend.script()
        .type(kUrl, url)
        .type(kWidth, "300")
        .click(kScrollBars)
        .click(kOnClose)
        .click(kCreatePopup)
        .then([&](FakeBackend& u) {
            EXPECT_EQ(u.text(kFunctionsBox), script.functionsText);
            EXPECT_EQ(u.text(kLoaderBox), script.loaderText);
            EXPECT_EQ(u.text(kInstructionLine), script.instructionText);
        })
        .click(kCopyFunctions)
        .click(kReturn)
        .then([](FakeBackend& u) {
            EXPECT_THAT(u.openDialogs(), ElementsAre(102));
            EXPECT_EQ(u.text(kName), "PopUp");
            EXPECT_EQ(u.checkState(kScrollBars), 1);
        })
        .click(kQuit);
    runTavrin(backend, "tavrin");

    EXPECT_EQ(backend.clipboard, script.functionsText);
    EXPECT_NE(script.functionsText.find("scrollbars=yes"), std::string::npos);
    EXPECT_NE(script.functionsText.find("\r\n"), std::string::npos);
    EXPECT_NE(script.loaderText.find("onUnload"), std::string::npos);
    EXPECT_THAT(backend.errors(), IsEmpty());
}


}  // namespace
}  // namespace tavrin::test
