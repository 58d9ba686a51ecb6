// Tavrin from start to end: start-up, the ways to end it, the typical
// request from the first click to the clipboard, and the templates it runs on.

#include "ProgramSupport.h"
#include "app/RunTavrin.h"
#include "generator/ScriptGenerator.h"
#include "res/Resources.h"
#include "support/TestApp.h"
#include "ui/CGeneratorDlg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

namespace tavrin::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using namespace res;
using ui::CGeneratorDlg;

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

TEST(MainDialog, EnterInTheUrlBoxReadsTheControlsAndQuits)
{
    FakeBackend backend;
    TestApp app(res::strings());
    CGeneratorDlg dlg;
    int result = 0;
    backend.script().type(kUrl, "offer.htm").type(kHeight, "120").click(kLocation).pressEnter(kUrl);
    app.runWith(backend, [&] { result = dlg.DoModal(); });
    EXPECT_EQ(result, fw::kIdOk);
    EXPECT_EQ(dlg.settings.pageUrl, "offer.htm");
    EXPECT_EQ(dlg.settings.height, "120");
    EXPECT_EQ(dlg.settings.location, 1);
    EXPECT_EQ(dlg.onLoad, 0);
    EXPECT_EQ(dlg.popOver, 0);
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

// Ids of a template, in template order, without the controls that have none.
std::vector<int> idsOf(const fw::DialogTemplate& t, bool tabStopsOnly)
{
    std::vector<int> ids;
    for (const fw::ControlTemplate& c : t.controls) {
        if (c.id != fw::kNoId && (!tabStopsOnly || c.tabStop))
            ids.push_back(c.id);
    }
    return ids;
}

TEST(Templates, ControlIdsAreUniqueWithinEachDialog)
{
    for (const fw::DialogTemplate* t : {&res::mainTemplate(), &res::aboutTemplate(), &res::resultsTemplate()}) {
        const std::vector<int> ids = idsOf(*t, false);
        EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), ids.size()) << t->id;
    }
}

TEST(Templates, MainDialogHasItsTabOrderSizesAndTexts)
{
    const fw::DialogTemplate& t = res::mainTemplate();
    EXPECT_EQ(t.id, 102);
    EXPECT_EQ(t.caption, "Tavrin");
    EXPECT_EQ(t.cx, 320);
    EXPECT_EQ(t.cy, 169);
    EXPECT_TRUE(t.appWindow);
    EXPECT_TRUE(t.systemMenu);
    EXPECT_THAT(idsOf(t, true),
                ElementsAre(kName, kUrl, kOnLoad, kOnClose, kOnButton, kPopOver, kPopUnder, kDirectories, kMenuBar,
                            kLocation, kResizable, kScrollBars, kStatusBar, kToolbar, kHeight, kWidth, kLeft, kTop,
                            kCenter, kDays, kQuit, kCreatePopup, kTestPopup, kHelpButton));
    EXPECT_EQ(t.control(kName)->rect.cx, 128);
    EXPECT_EQ(t.control(kUrl)->rect.cx, 128);
    EXPECT_EQ(t.control(kDays)->rect.cy, 150);
    EXPECT_FALSE(t.control(kDays)->autoHScroll);
    EXPECT_EQ(t.control(kFooter)->rect.cx, 270);
    EXPECT_EQ(t.control(kFooter)->rect.cy, 8);
    EXPECT_THAT(t.control(kFooter)->caption, StartsWith("Tavrin - v1.02 - Popup Creator"));
    EXPECT_TRUE(t.control(kQuit)->defaultButton);
    for (int radio : {kOnLoad, kOnClose, kOnButton, kPopOver, kPopUnder})
        EXPECT_TRUE(t.control(radio)->group) << radio;
    std::vector<std::string> frames;
    for (const fw::ControlTemplate& c : t.controls) {
        if (c.kind == fw::ControlKind::GroupBox)
            frames.push_back(c.caption);
    }
    EXPECT_THAT(frames, ElementsAre("When to PopUp:", "Where to PopUp", "Popup Feartures:", "Popup Size:",
                                    "Popup Position:", "Show Again?"));
    ASSERT_EQ(t.listInit.size(), 1u);
    EXPECT_EQ(t.listInit[0].controlId, kDays);
    ASSERT_EQ(t.listInit[0].items.size(), 365u);
    for (std::size_t i = 0; i < 365; ++i)
        EXPECT_EQ(t.listInit[0].items[i], std::to_string(i + 1));
}

TEST(Templates, AboutBoxAndStrings)
{
    const fw::DialogTemplate& t = res::aboutTemplate();
    EXPECT_EQ(t.id, 100);
    EXPECT_EQ(t.caption, "About Tavrin");
    EXPECT_EQ(t.cx, 235);
    EXPECT_EQ(t.cy, 55);
    ASSERT_EQ(t.controls.size(), 4u);
    EXPECT_EQ(t.controls[0].kind, fw::ControlKind::Icon);
    EXPECT_EQ(t.controls[0].iconId, 128);
    EXPECT_EQ(t.controls[1].caption, "Tavrin Version 1.2");
    EXPECT_EQ(t.controls[2].rect.cx, 163);
    EXPECT_TRUE(t.control(kAboutOk)->defaultButton);
    EXPECT_EQ(res::strings().at(101), "&About Tavrin...");
    EXPECT_EQ(res::strings().at(103), "Windows sockets initialization failed.");
}

}  // namespace
}  // namespace tavrin::test
