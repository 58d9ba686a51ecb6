// The Results dialog as a user meets it: the texts it shows and what its
// copy buttons leave on the clipboard, failures included.

#include "res/Resources.h"
#include "support/TestApp.h"
#include "ui/CResultsDlg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavrin::ui {
namespace {

using namespace res;
using fw::headless::FakeClipboard;
using fw::headless::HeadlessBackend;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

const std::string kFunctions = "<SCRIPT LANGUAGE=\"JavaScript\">\r\n<!--\r\nfunction popup() {}\r\n//-->\r\n</SCRIPT>\r\n";
const std::string kLoader = " onLoad=\"popup()\"";
const std::string kInstruction = "Paste this code into your body tag just before it closes with >";

class ResultsDialogTest : public ::testing::Test {
protected:
    // Runs a Results dialog holding the three texts through the queued actions.
    int run(const std::string& functions = kFunctions, const std::string& loader = kLoader,
            const std::string& instruction = "Paste it into your <BODY> tag.")
    {
        int result = 0;
        app.runWith(ui, [&] {
            CResultsDlg dlg;
            dlg.functionsText = functions;
            dlg.loaderText = loader;
            dlg.instructionText = instruction;
            result = dlg.DoModal();
        });
        EXPECT_THAT(ui.errors(), IsEmpty());
        return result;
    }

    HeadlessBackend ui;
    test::TestApp app;
};

TEST(ResultsTemplate, HasTheCaptionsSizesAndTabOrderOfTheResultsDialog)
{
    const fw::DialogTemplate& t = res::resultsTemplate();
    EXPECT_EQ(t.id, 131);
    EXPECT_EQ(t.caption, "Results");
    EXPECT_EQ(t.cx, 279);
    EXPECT_EQ(t.cy, 193);
    EXPECT_EQ(t.fontName, "MS Sans Serif");
    EXPECT_EQ(t.fontPoints, 8);
    std::vector<int> tabOrder;
    for (const fw::ControlTemplate& c : t.controls) {
        if (c.tabStop)
            tabOrder.push_back(c.id);
    }
    EXPECT_THAT(tabOrder, ElementsAre(kReturn, kFunctionsBox, kLoaderBox, kCopyLoader, kCopyFunctions));
    EXPECT_TRUE(t.control(kReturn)->defaultButton);
    EXPECT_EQ(t.control(kFunctionsBox)->rect.cx, 257);
    EXPECT_EQ(t.control(kFunctionsBox)->rect.cy, 65);
    EXPECT_EQ(t.control(kLoaderBox)->rect.cy, 28);
    for (int box : {kFunctionsBox, kLoaderBox}) {
        const fw::ControlTemplate& c = *t.control(box);
        EXPECT_TRUE(c.readOnly && c.multiLine && c.vScroll && c.wrap) << box;
    }
    EXPECT_EQ(t.control(kInstructionLine)->caption, kInstruction);
}

TEST_F(ResultsDialogTest, ShowsTheThreeTextsWithFocusOnReturn)
{
    ui.script()
        .then([](HeadlessBackend& u) {
            EXPECT_EQ(u.text(kFunctionsBox), kFunctions);
            EXPECT_EQ(u.text(kLoaderBox), kLoader);
            EXPECT_EQ(u.text(kInstructionLine), "Paste it into your <BODY> tag.");
            EXPECT_EQ(u.focus(), kReturn);
        })
        .click(kReturn);
    EXPECT_EQ(run(), fw::kIdOk);
}

TEST_F(ResultsDialogTest, TheTemplatesInstructionNeverStaysVisible)
{
    ui.script()
        .then([](HeadlessBackend& u) { EXPECT_EQ(u.text(kInstructionLine), ""); })
        .click(kReturn);
    run(kFunctions, kLoader, "");
}

TEST_F(ResultsDialogTest, CopyButtonsPutExactlyTheTextWithItsZeroOnTheClipboard)
{
    ui.script()
        .click(kCopyFunctions)
        .then([](HeadlessBackend& u) { EXPECT_EQ(u.clipboard().bytes(), kFunctions + '\0'); })
        .click(kCopyLoader)
        .then([](HeadlessBackend& u) { EXPECT_EQ(u.clipboard().bytes(), kLoader + '\0'); })
        .click(kCopyFunctions)
        .click(kCopyFunctions)
        .click(kReturn);
    run();
    // Loader then functions leaves only the functions.
    EXPECT_EQ(ui.clipboard().bytes(), kFunctions + '\0');
    EXPECT_EQ(ui.clipboard().copies(), 4);
    EXPECT_THAT(ui.messageBoxes(), IsEmpty());
}

TEST_F(ResultsDialogTest, AnEmptyTextCopiesAsAnEntryHoldingOnlyTheZero)
{
    ui.clipboard().setBytes(std::string("old\0", 4));
    ui.script().click(kCopyLoader).click(kReturn);
    run(kFunctions, "");
    EXPECT_EQ(ui.clipboard().bytes(), std::string(1, '\0'));
}

TEST_F(ResultsDialogTest, EnterOnTheTextBoxesOrReturnClosesAndOnACopyButtonCopies)
{
    for (int focusId : {kFunctionsBox, kLoaderBox, kReturn}) {
        ui.script().pressEnter(focusId);
        EXPECT_EQ(run(), fw::kIdOk) << focusId;
    }
    EXPECT_EQ(ui.clipboard().copies(), 0);

    ui.script()
        .pressEnter(kCopyLoader)
        .then([](HeadlessBackend& u) { EXPECT_EQ(u.clipboard().bytes(), kLoader + '\0'); })
        .pressEnter(kCopyFunctions)
        .then([](HeadlessBackend& u) {
            EXPECT_EQ(u.clipboard().bytes(), kFunctions + '\0');
            EXPECT_THAT(u.openDialogs(), ElementsAre(131));
        })
        .pressEscape(kCopyFunctions);
    EXPECT_EQ(run(), fw::kIdCancel);
}

TEST_F(ResultsDialogTest, AFailedCopyIsToldKeepsTheOldContentAndLeaksNothing)
{
    const struct {
        FakeClipboard::Failure step;
        const char* why;
    } cases[] = {
        {FakeClipboard::Failure::Open, "another program is using the clipboard"},
        {FakeClipboard::Failure::Allocate, "not enough memory"},
        {FakeClipboard::Failure::Lock, "not enough memory"},
        {FakeClipboard::Failure::Set, "did not accept"},
    };
    for (const auto& c : cases) {
        HeadlessBackend u;
        u.clipboard().setBytes(std::string("old text\0", 9));
        u.clipboard().failAt(c.step);
        u.script()
            .click(kCopyFunctions)
            .then([](HeadlessBackend& v) { EXPECT_THAT(v.openDialogs(), ElementsAre(131)); })
            .click(kReturn);
        int result = 0;
        app.runWith(u, [&] {
            CResultsDlg dlg;
            dlg.functionsText = kFunctions;
            result = dlg.DoModal();
        });
        EXPECT_EQ(result, fw::kIdOk);
        EXPECT_THAT(u.errors(), IsEmpty());
        EXPECT_EQ(u.clipboard().bytes(), std::string("old text\0", 9));
        EXPECT_FALSE(u.clipboard().isOpen());
        EXPECT_EQ(u.clipboard().blocksAllocated(), u.clipboard().blocksFreed());
        ASSERT_EQ(u.messageBoxes().size(), 1u);
        const fw::headless::ShownMessageBox& box = u.messageBoxes()[0];
        EXPECT_THAT(box.text, HasSubstr("was not copied"));
        EXPECT_THAT(box.text, HasSubstr(c.why));
        EXPECT_EQ(box.ownerTemplateId, 131);
        EXPECT_EQ(box.icon, fw::MbIcon::Exclamation);
    }
}

}  // namespace
}  // namespace tavrin::ui
