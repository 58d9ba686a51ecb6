// The modal run of a dialog: initialisation, keys, default commands, command
// routing, owners and centring, and message boxes.

#include "support/TestApp.h"
#include "TestDialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavrin::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class DialogTest : public ::testing::Test {
protected:
    int run()
    {
        int result = 0;
        app.runWith(ui, [&] { result = dlg.DoModal(); });
        EXPECT_THAT(ui.errors(), IsEmpty());
        return result;
    }

    FakeBackend ui;
    TestApp app;
    TestDialog dlg;
};

TEST_F(DialogTest, OpensWithListsFilledMembersShownAndFocusOnTheFirstTabStop)
{
    dlg.name = "Ann";
    ui.script()
        .then([](FakeBackend& u) {
            EXPECT_EQ(u.top().listCount(kFruit), 6);
            EXPECT_EQ(u.top().listItem(kFruit, 5), "300");
            EXPECT_EQ(u.text(kName), "Ann");
            EXPECT_EQ(u.focus(), kName);
        })
        .closeBox();
    EXPECT_EQ(run(), fw::kIdCancel);
}

TEST_F(DialogTest, FailingToFillAListEndsTheDialogWithMinusOneBeforeItRuns)
{
    bool ownInitRan = false;
    dlg.onInit = [&](TestDialog&) { ownInitRan = true; };
    ui.listItemsBeforeFailure = 3;
    ui.script().closeBox();
    int result = 0;
    app.runWith(ui, [&] { result = dlg.DoModal(); });
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(ownInitRan);
    EXPECT_EQ(ui.pendingActions(), 1u);
    EXPECT_THAT(ui.openDialogs(), IsEmpty());
}

TEST_F(DialogTest, EscapeCloseBoxAndSystemMenuCloseCancelWithoutReadingTheControls)
{
    using Close = void (*)(Script&);
    const Close ways[] = {
        [](Script& s) { s.pressEscape(kName); },
        [](Script& s) { s.closeBox(); },
        [](Script& s) { s.systemMenu(kScClose); },
        [](Script& s) { s.click(kCancel); },
    };
    for (Close close : ways) {
        TestDialog d;
        d.name = "kept";
        Script s = ui.script();
        s.type(kName, "typed");
        close(s);
        int result = 0;
        app.runWith(ui, [&] { result = d.DoModal(); });
        EXPECT_EQ(result, fw::kIdCancel);
        EXPECT_EQ(d.name, "kept");
    }
    EXPECT_THAT(ui.errors(), IsEmpty());
}

TEST_F(DialogTest, CommandsWithoutAnEntryDoNothingAndHelpGoesToTheApplication)
{
    dlg.name = "kept";
    ui.script()
        .click(kUnhandled)
        .pressF1()
        .then([this](FakeBackend& u) {
            EXPECT_EQ(app.helpCommands, 1);
            EXPECT_THAT(u.openDialogs(), ElementsAre(900));
            EXPECT_EQ(u.text(kName), "kept");
        })
        .closeBox();
    EXPECT_EQ(run(), fw::kIdCancel);
}

TEST(CentredFrame, CentresOverTheAreaGiven)
{
    const fw::PixelRect work{0, 0, 1000, 700};
    const fw::PixelRect r = fw::centredFrame({0, 0, 200, 100}, {100, 100, 400, 300}, work);
    EXPECT_EQ(r.x, 200);
    EXPECT_EQ(r.y, 200);
    EXPECT_EQ(r.cx, 200);
    EXPECT_EQ(r.cy, 100);
}

TEST(CentredFrame, MovesTheWindowIntoTheWorkArea)
{
    const fw::PixelRect work{10, 20, 1000, 700};
    const fw::PixelRect leftTop = fw::centredFrame({0, 0, 300, 300}, {-200, -200, 100, 100}, work);
    EXPECT_EQ(leftTop.x, 10);
    EXPECT_EQ(leftTop.y, 20);
    const fw::PixelRect rightBottom = fw::centredFrame({0, 0, 300, 300}, {900, 600, 400, 400}, work);
    EXPECT_EQ(rightBottom.x, 710);
    EXPECT_EQ(rightBottom.y, 420);
    // Larger than the work area: its top left corner stays visible.
    const fw::PixelRect huge = fw::centredFrame({0, 0, 2000, 900}, work, work);
    EXPECT_EQ(huge.x, 10);
    EXPECT_EQ(huge.y, 20);
}

TEST_F(DialogTest, OpensCentredOnTheWorkAreaWithoutOwnerAndOverTheActiveDialogWhenNested)
{
    ui.screenWorkArea = {0, 0, 1000, 800};
    fw::PixelRect outer;
    fw::PixelRect inner;
    ui.script()
        .then([&](FakeBackend& u) { outer = u.top().frame(); })
        .click(kNested)
        .then([&](FakeBackend& u) {
            EXPECT_THAT(u.openDialogs(), ElementsAre(900, 900));
            inner = u.top().frame();
            EXPECT_EQ(u.top().owner(), dlg.window());
        })
        .pressEscape(kName)
        .then([this](FakeBackend& u) {
            EXPECT_EQ(dlg.nestedResult, fw::kIdCancel);
            EXPECT_THAT(u.openDialogs(), ElementsAre(900));
            u.top().moveTo(-50, 700);
        })
        .click(kNested)
        .then([&](FakeBackend& u) { inner = u.top().frame(); })
        .closeBox()
        .closeBox();
    EXPECT_EQ(run(), fw::kIdCancel);
    EXPECT_EQ(outer.x, (1000 - outer.cx) / 2);
    EXPECT_EQ(outer.y, (800 - outer.cy) / 2);
    // Nested over the moved owner, then pushed back inside the work area.
    EXPECT_EQ(inner.x, 0);
    EXPECT_EQ(inner.y, 800 - inner.cy);
}

TEST_F(DialogTest, NestedDialogCentresOnTheWorkAreaWhenTheOwnerIsMinimised)
{
    ui.screenWorkArea = {0, 0, 1000, 800};
    ui.script()
        .then([](FakeBackend& u) {
            u.top().moveTo(0, 0);
            u.top().setMinimised(true);
        })
        .click(kNested)
        .then([](FakeBackend& u) {
            const fw::PixelRect r = u.top().frame();
            EXPECT_EQ(r.x, (1000 - r.cx) / 2);
            EXPECT_EQ(r.y, (800 - r.cy) / 2);
        })
        .closeBox()
        .closeBox();
    run();
}

TEST_F(DialogTest, AfxMessageBoxUsesTheApplicationNameAndAddsTheExclamationIcon)
{
    int answer = 0;
    app.runWith(
        ui,
        [&] {
            fw::AfxMessageBox(7);
            answer = fw::AfxMessageBox("Sure?", fw::MbButtons::YesNo);
            fw::AfxMessageBox("Info", fw::MbButtons::Ok, fw::MbIcon::Information);
        },
        "C:\\Program Files\\Tavrin\\TAVRIN.EXE");
    ASSERT_EQ(ui.messageBoxes.size(), 3u);
    const auto& first = ui.messageBoxes[0];
    EXPECT_EQ(first.text, "Seven is a string resource.");
    EXPECT_EQ(first.caption, "TAVRIN");
    EXPECT_EQ(first.icon, fw::MbIcon::Exclamation);
    EXPECT_EQ(first.ownerTemplateId, 0);
    EXPECT_EQ(ui.messageBoxes[1].icon, fw::MbIcon::Exclamation);
    EXPECT_EQ(answer, fw::kIdYes);
    EXPECT_EQ(ui.messageBoxes[2].icon, fw::MbIcon::Information);
}

TEST_F(DialogTest, DialogMessageBoxIsOwnedByTheDialogAndAddsNoIcon)
{
    ui.messageBoxAnswers.push_back(fw::kIdCancel);
    ui.script()
        .then([this](FakeBackend&) {
            EXPECT_EQ(dlg.MessageBox("Text", "Caption", fw::MbButtons::OkCancel), fw::kIdCancel);
            fw::AfxMessageBox("Over the dialog");
        })
        .closeBox();
    run();
    ASSERT_EQ(ui.messageBoxes.size(), 2u);
    const auto& box = ui.messageBoxes[0];
    EXPECT_EQ(box.ownerTemplateId, 900);
    EXPECT_EQ(box.text, "Text");
    EXPECT_EQ(box.caption, "Caption");
    EXPECT_EQ(box.buttons, fw::MbButtons::OkCancel);
    EXPECT_EQ(box.icon, fw::MbIcon::None);
    EXPECT_EQ(ui.messageBoxes[1].ownerTemplateId, 900);
}

TEST(AppName, IsTheProgramFileNameWithoutItsExtension)
{
    EXPECT_EQ(fw::appNameFromPath("/usr/local/bin/tavrin"), "tavrin");
    EXPECT_EQ(fw::appNameFromPath("C:\\Tools\\Tavrin.exe"), "Tavrin");
    EXPECT_EQ(fw::appNameFromPath("./my.tool.exe"), "my.tool");
    EXPECT_EQ(fw::appNameFromPath("tavrin"), "tavrin");
    EXPECT_EQ(fw::appNameFromPath("/opt/.tavrin"), ".tavrin");
    EXPECT_EQ(fw::appNameFromPath("bin/tavrin."), "tavrin");
}

TEST_F(DialogTest, ADialogLeftWaitingIsReportedAndCancelled)
{
    EXPECT_EQ([this] {
        int result = 0;
        app.runWith(ui, [&] { result = dlg.DoModal(); });
        return result;
    }(), fw::kIdCancel);
    EXPECT_THAT(ui.errors(), ElementsAre(::testing::HasSubstr("never came")));
}

}  // namespace
}  // namespace tavrin::test
