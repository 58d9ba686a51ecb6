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
using test::FakeBackend;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

const std::string kFunctions = "<SCRIPT LANGUAGE=\"JavaScript\">\r\n<!--\r\nfunction popup() {}\r\n//-->\r\n</SCRIPT>\r\n";
const std::string kLoader = " onLoad=\"popup()\"";

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

    FakeBackend ui;
    test::TestApp app;
};

TEST_F(ResultsDialogTest, ShowsTheThreeTextsWithFocusOnReturn)
{
    ui.script()
        .then([](FakeBackend& u) {
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
        .then([](FakeBackend& u) { EXPECT_EQ(u.text(kInstructionLine), ""); })
        .click(kReturn);
    run(kFunctions, kLoader, "");
}

TEST_F(ResultsDialogTest, CopyButtonsPutExactlyTheTextWithItsZeroOnTheClipboard)
{
    ui.script()
        .click(kCopyFunctions)
        .then([](FakeBackend& u) { EXPECT_EQ(u.clipboard, kFunctions); })
        .click(kCopyLoader)
        .then([](FakeBackend& u) { EXPECT_EQ(u.clipboard, kLoader); })
        .click(kCopyFunctions)
        .click(kCopyFunctions)
        .click(kReturn);
    run();
    // Loader then functions leaves only the functions.
    EXPECT_EQ(ui.clipboard, kFunctions);
    EXPECT_EQ(ui.copies, 4);
    EXPECT_THAT(ui.messageBoxes, IsEmpty());
}

TEST_F(ResultsDialogTest, AnEmptyTextCopiesAsAnEmptyEntry)
{
    ui.clipboard = "old";
    ui.script().click(kCopyLoader).click(kReturn);
    run(kFunctions, "");
    EXPECT_EQ(ui.clipboard, "");
}

TEST_F(ResultsDialogTest, EnterOnTheTextBoxesOrReturnClosesAndOnACopyButtonCopies)
{
    for (int focusId : {kFunctionsBox, kLoaderBox, kReturn}) {
        ui.script().pressEnter(focusId);
        EXPECT_EQ(run(), fw::kIdOk) << focusId;
    }
    EXPECT_EQ(ui.copies, 0);

    ui.script()
        .pressEnter(kCopyLoader)
        .then([](FakeBackend& u) { EXPECT_EQ(u.clipboard, kLoader); })
        .pressEnter(kCopyFunctions)
        .then([](FakeBackend& u) {
            EXPECT_EQ(u.clipboard, kFunctions);
            EXPECT_THAT(u.openDialogs(), ElementsAre(131));
        })
        .pressEscape(kCopyFunctions);
    EXPECT_EQ(run(), fw::kIdCancel);
}

TEST_F(ResultsDialogTest, AFailedCopyIsTold)
{
    const struct {
        fw::ClipboardResult result;
        const char* why;
    } cases[] = {
        {fw::ClipboardResult::CannotOpen, "another program is using the clipboard"},
        {fw::ClipboardResult::NoMemory, "not enough memory"},
        {fw::ClipboardResult::Refused, "did not accept"},
    };
    for (const auto& c : cases) {
        FakeBackend u;
        u.copyResult = c.result;
        u.script()
            .click(kCopyFunctions)
            .then([](FakeBackend& v) { EXPECT_THAT(v.openDialogs(), ElementsAre(131)); })
            .click(kReturn);
        int result = 0;
        app.runWith(u, [&] {
            CResultsDlg dlg;
            dlg.functionsText = kFunctions;
            result = dlg.DoModal();
        });
        EXPECT_EQ(result, fw::kIdOk);
        EXPECT_THAT(u.errors(), IsEmpty());
        ASSERT_EQ(u.messageBoxes.size(), 1u);
        const test::ShownMessageBox& box = u.messageBoxes[0];
        EXPECT_THAT(box.text, HasSubstr("was not copied"));
        EXPECT_THAT(box.text, HasSubstr(c.why));
        EXPECT_EQ(box.ownerTemplateId, 131);
        EXPECT_EQ(box.icon, fw::MbIcon::Exclamation);
    }
}

}  // namespace
}  // namespace tavrin::ui
