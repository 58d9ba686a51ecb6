// The main dialog as a user meets it: its first display, the radio groups,
// the Days box, "Create Popup", the About box, "Help", "Center" and Enter.

#include "generator/ScriptGenerator.h"
#include "res/Product.h"
#include "res/Resources.h"
#include "support/FakeBackend.h"
#include "support/TestApp.h"
#include "ui/CGeneratorApp.h"
#include "ui/CGeneratorDlg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <utility>

namespace tavrin::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace res;
using ui::CGeneratorDlg;

// Text, check state and list selection of one control.
using ControlView = std::tuple<std::string, int, int>;

std::map<int, ControlView> viewOf(const fw::Window& window)
{
    std::map<int, ControlView> view;
    for (const fw::ControlTemplate& c : res::mainTemplate().controls) {
        if (c.id != fw::kNoId)
            view[c.id] = {window.text(c.id), window.checkState(c.id), window.listSelection(c.id)};
    }
    return view;
}

class MainDialogTest : public ::testing::Test {
protected:
    // Runs the program through the queued actions, then quits it.
    void runProgram()
    {
        ui.script().click(kQuit);
        ui::theApp.run(ui, "/usr/bin/tavrin");
        EXPECT_THAT(ui.errors(), IsEmpty());
        EXPECT_THAT(ui.openDialogs(), IsEmpty());
    }

    FakeBackend ui;
};

TEST_F(MainDialogTest, FirstDisplayShowsTheDefaultsWithFocusInTheNameBox)
{
    ui.script().then([](FakeBackend& u) {
        EXPECT_THAT(u.openDialogs(), ElementsAre(102));
        EXPECT_EQ(u.text(kName), "PopUp");
        EXPECT_EQ(u.text(kUrl), kDefaultPageUrl);
        EXPECT_EQ(u.text(kHeight), "200");
        EXPECT_EQ(u.text(kWidth), "200");
        for (int empty : {kLeft, kTop, kDays})
            EXPECT_EQ(u.text(empty), "") << empty;
        EXPECT_EQ(u.listSelection(kDays), -1);
        for (int box : {kCenter, kDirectories, kMenuBar, kLocation, kResizable, kScrollBars, kStatusBar, kToolbar})
            EXPECT_EQ(u.checkState(box), 0) << box;
        EXPECT_EQ(u.checkState(kOnLoad), 1);
        EXPECT_EQ(u.checkState(kOnClose), 0);
        EXPECT_EQ(u.checkState(kOnButton), 0);
        EXPECT_EQ(u.checkState(kPopOver), 1);
        EXPECT_EQ(u.checkState(kPopUnder), 0);
        EXPECT_EQ(u.focus(), kName);
        EXPECT_EQ(u.top().iconId(), res::kAppIcon);
        EXPECT_EQ(u.top().listCount(kDays), 365);
        EXPECT_EQ(u.top().listItem(kDays, 0), "1");
        EXPECT_EQ(u.top().listItem(kDays, 364), "365");
        const std::vector<SystemMenuItem>& menu = u.top().systemMenu();
        ASSERT_GE(menu.size(), 2u);
        EXPECT_EQ(menu[menu.size() - 2].command, 0u);
        EXPECT_EQ(menu.back().command, 0x10u);
        EXPECT_EQ(menu.back().text, "&About Tavrin...");
    });
    runProgram();
}

TEST_F(MainDialogTest, ARadioClickKeepsWhatWasTypedAndKeepsItsGroupExclusive)
{
    ui.script()
        .type(kWidth, "300")
        .click(kOnClose)
        .then([](FakeBackend& u) {
            EXPECT_EQ(u.text(kWidth), "300");
            EXPECT_EQ(u.checkState(kOnLoad), 0);
            EXPECT_EQ(u.checkState(kOnClose), 1);
            EXPECT_EQ(u.checkState(kOnButton), 0);
            EXPECT_EQ(u.checkState(kPopOver), 1);
            EXPECT_EQ(u.checkState(kPopUnder), 0);
        })
        .click(kPopUnder)
        .click(kOnButton)
        .then([](FakeBackend& u) {
            EXPECT_EQ(u.checkState(kOnLoad), 0);
            EXPECT_EQ(u.checkState(kOnClose), 0);
            EXPECT_EQ(u.checkState(kOnButton), 1);
            EXPECT_EQ(u.checkState(kPopOver), 0);
            EXPECT_EQ(u.checkState(kPopUnder), 1);
        })
        .click(kOnLoad)
        .click(kPopOver)
        .then([](FakeBackend& u) {
            EXPECT_EQ(u.checkState(kOnLoad), 1);
            EXPECT_EQ(u.checkState(kOnButton), 0);
            EXPECT_EQ(u.checkState(kPopOver), 1);
            EXPECT_EQ(u.checkState(kPopUnder), 0);
        });
    runProgram();
}

TEST_F(MainDialogTest, ClickingTheSelectedPopOverChangesNothing)
{
    std::map<int, ControlView> before;
    ui.script()
        .type(kName, "Sale")
        .then([&](FakeBackend& u) { before = viewOf(u.top()); })
        .click(kPopOver)
        .then([&](FakeBackend& u) { EXPECT_EQ(viewOf(u.top()), before); });
    runProgram();
}

TEST_F(MainDialogTest, CreatePopupShowsTheNameWithoutBlanksOnlyOnceTheResultsAreClosed)
{
    ui.script()
        .type(kName, " Big  Sale ")
        .click(kCreatePopup)
        .then([](FakeBackend& u) {
            EXPECT_THAT(u.openDialogs(), ElementsAre(102, 131));
            EXPECT_EQ(u.dialog(0).text(kName), " Big  Sale ");
            EXPECT_NE(u.text(kFunctionsBox).find("BigSale"), std::string::npos);
        })
        .click(kReturn)
        .then([](FakeBackend& u) { EXPECT_EQ(u.text(kName), "BigSale"); });
    runProgram();
}

TEST_F(MainDialogTest, EachFeatureBoxPutsItsOwnItemAloneIntoTheOptions)
{
    const std::pair<int, std::string> boxes[] = {
        {kDirectories, "directories"}, {kLocation, "location"}, {kMenuBar, "menubar"},
        {kResizable, "resizable"},     {kScrollBars, "scrollbars"}, {kStatusBar, "status"},
        {kToolbar, "toolbar"},
    };
    for (const auto& [box, item] : boxes) {
        ui.script()
            .click(box)
            .click(kCreatePopup)
            .then([item](FakeBackend& u) {
                const std::string options = "var options = 'width=200,height=200," + item + "=yes,' ;";
                EXPECT_NE(u.text(kFunctionsBox).find(options), std::string::npos) << item;
            })
            .click(kReturn)
            .click(box);
    }
    runProgram();
}

TEST_F(MainDialogTest, DaysKeepsAPickedItemAndAnyTypedTextThroughCreatePopup)
{
    ui.script()
        .pickItem(kDays, 29)
        .click(kCreatePopup)
        .click(kReturn)
        .then([](FakeBackend& u) {
            EXPECT_EQ(u.listSelection(kDays), 29);
            EXPECT_EQ(u.text(kDays), "30");
        });
    for (const char* typed : {"0", "-3", "7 days", ""}) {
        ui.script()
            .type(kDays, typed)
            .click(kCreatePopup)
            .click(kReturn)
            .then([typed](FakeBackend& u) {
                EXPECT_EQ(u.text(kDays), typed);
                EXPECT_EQ(u.listSelection(kDays), -1) << typed;
            });
    }
    runProgram();
}

TEST_F(MainDialogTest, TheAboutBoxOpensFromTheSystemMenuTwiceAndLeavesTheDialogUnchanged)
{
    std::map<int, ControlView> before;
    auto checkAbout = [](FakeBackend& u) {
        EXPECT_THAT(u.openDialogs(), ElementsAre(102, 100));
        const fw::DialogTemplate& about = u.top().dialogTemplate();
        EXPECT_EQ(about.caption, "About Tavrin");
        EXPECT_EQ(about.controls[1].caption, "Tavrin Version " TAVRIN_VERSION);
        EXPECT_EQ(u.top().owner(), &u.dialog(0));
        EXPECT_EQ(u.focus(), kAboutOk);
    };
    ui.script()
        .type(kWidth, "640")
        .click(kResizable)
        .then([&](FakeBackend& u) { before = viewOf(u.top()); })
        .systemMenu(0x10)
        .then(checkAbout)
        .click(kAboutOk)
        .systemMenu(0x10)
        .then(checkAbout)
        .pressEscape(kAboutOk)
        .then([&](FakeBackend& u) {
            EXPECT_THAT(u.openDialogs(), ElementsAre(102));
            EXPECT_EQ(viewOf(u.top()), before);
        });
    runProgram();
    EXPECT_THAT(ui.dialogsShown, ElementsAre(102, 100, 100));
}

TEST_F(MainDialogTest, HelpDoesNothingHoweverOftenItIsPressed)
{
    std::map<int, ControlView> before;
    ui.script()
        .then([&](FakeBackend& u) { before = viewOf(u.top()); })
        .click(kHelpButton)
        .click(kHelpButton)
        .pressEnter(kHelpButton)
        .pressF1()
        .then([&](FakeBackend& u) {
            EXPECT_THAT(u.openDialogs(), ElementsAre(102));
            EXPECT_EQ(viewOf(u.top()), before);
        });
    runProgram();
    EXPECT_THAT(ui.messageBoxes, IsEmpty());
}

TEST_F(MainDialogTest, ATickedCenterStaysTickedAndChangesNothingElse)
{
    std::map<int, ControlView> before;
    ui.script()
        .then([&](FakeBackend& u) { before = viewOf(u.top()); })
        .click(kCenter)
        .click(kOnLoad)
        .click(kCreatePopup)
        .click(kReturn)
        .then([&](FakeBackend& u) {
            EXPECT_EQ(u.checkState(kCenter), 1);
            std::map<int, ControlView> after = viewOf(u.top());
            after.erase(kCenter);
            before.erase(kCenter);
            EXPECT_EQ(after, before);
        });
    runProgram();
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

}  // namespace
}  // namespace tavrin::test
