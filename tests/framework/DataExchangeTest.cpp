// The four bindings of the data exchange, both ways, as a user sees them.

#include "support/TestApp.h"
#include "TestDialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavrin::test {
namespace {

using ::testing::IsEmpty;

class DataExchangeTest : public ::testing::Test {
protected:
    // Runs `dlg`, checks between the queued actions with `step`, then cancels.
    void runAndCheck(std::function<void(FakeBackend&)> step)
    {
        ui.script().then(std::move(step)).closeBox();
        app.runWith(ui, [this] { dlg.DoModal(); });
        EXPECT_THAT(ui.errors(), IsEmpty());
    }
    // Shows `value` in the Fruit box.
    void showFruit(std::string value)
    {
        dlg.fruit = std::move(value);
        dlg.UpdateData(false);
    }

    FakeBackend ui;
    TestApp app;
    TestDialog dlg;
};

TEST_F(DataExchangeTest, TextGoesToTheControlAndComesBackWhole)
{
    dlg.name = "Ann";
    ui.script().then([](FakeBackend& u) { EXPECT_EQ(u.text(kName), "Ann"); })
        .type(kName, "  two  words\r\nand a line ")
        .pressEnter(kName);
    app.runWith(ui, [this] { EXPECT_EQ(dlg.DoModal(), fw::kIdOk); });
    EXPECT_EQ(dlg.name, "  two  words\r\nand a line ");
    EXPECT_THAT(ui.errors(), IsEmpty());
}

TEST_F(DataExchangeTest, TextAlreadyShownIsLeftUntouched)
{
    dlg.name = "same";
    runAndCheck([this](FakeBackend& u) {
        const int writes = u.top().textWrites(kName);
        dlg.UpdateData(false);
        EXPECT_EQ(u.top().textWrites(kName), writes);
        dlg.name = "other";
        dlg.UpdateData(false);
        EXPECT_EQ(u.top().textWrites(kName), writes + 1);
        EXPECT_EQ(u.text(kName), "other");
    });
}

TEST_F(DataExchangeTest, ComboSelectsTheFirstItemBeginningWithTheTextIgnoringCase)
{
    runAndCheck([this](FakeBackend& u) {
        const struct {
            const char* value;
            int selection;
            const char* shown;
        } cases[] = {
            {"ap", 0, "Apple"}, {"APR", 1, "apricot"}, {"b", 2, "Banana"},
            {"3", 3, "3"},      {"30", 4, "30"},       {"300", 5, "300"},
        };
        for (const auto& c : cases) {
            showFruit(c.value);
            EXPECT_EQ(u.listSelection(kFruit), c.selection) << c.value;
            EXPECT_EQ(u.text(kFruit), c.shown) << c.value;
        }
    });
}

TEST_F(DataExchangeTest, ComboShowsUnmatchedTextUnchangedWithNothingSelected)
{
    runAndCheck([this](FakeBackend& u) {
        for (const char* value : {"0", "-3", "7 days", "Applesauce", " 3"}) {
            showFruit("ap");
            showFruit(value);
            EXPECT_EQ(u.listSelection(kFruit), -1) << value;
            EXPECT_EQ(u.text(kFruit), value);
        }
    });
}

TEST_F(DataExchangeTest, ComboEmptyTextNeverMatchesAndClearsTheField)
{
    runAndCheck([this](FakeBackend& u) {
        showFruit("ban");
        showFruit("");
        EXPECT_EQ(u.listSelection(kFruit), -1);
        EXPECT_EQ(u.text(kFruit), "");
    });
}

TEST_F(DataExchangeTest, ComboReadsTheEditFieldAndRoundTripsWithoutChange)
{
    ui.script()
        .pickItem(kFruit, 4)
        .then([this](FakeBackend& u) {
            dlg.UpdateData(true);
            EXPECT_EQ(dlg.fruit, "30");
            dlg.UpdateData(false);
            EXPECT_EQ(u.listSelection(kFruit), 4);
        })
        .type(kFruit, "7 days")
        .then([this](FakeBackend& u) {
            dlg.UpdateData(true);
            dlg.UpdateData(false);
            EXPECT_EQ(dlg.fruit, "7 days");
            EXPECT_EQ(u.text(kFruit), "7 days");
        })
        .closeBox();
    app.runWith(ui, [this] { dlg.DoModal(); });
    EXPECT_THAT(ui.errors(), IsEmpty());
}

TEST_F(DataExchangeTest, CheckBoxShowsItsValueAndResetsOutOfRangeValues)
{
    runAndCheck([this](FakeBackend& u) {
        const struct {
            std::int32_t value;
            int state;
            std::int32_t member;
        } cases[] = {{1, 1, 1}, {0, 0, 0}, {2, 2, 2}, {3, 0, 0}, {-1, 0, 0}, {1000, 0, 0}};
        for (const auto& c : cases) {
            dlg.flag = c.value;
            dlg.UpdateData(false);
            EXPECT_EQ(u.checkState(kFlag), c.state) << c.value;
            EXPECT_EQ(dlg.flag, c.member) << c.value;
        }
    });
}

TEST_F(DataExchangeTest, CheckBoxReadsOneWhenTickedAndZeroWhenClear)
{
    ui.script()
        .click(kFlag)
        .then([this](FakeBackend&) {
            dlg.UpdateData(true);
            EXPECT_EQ(dlg.flag, 1);
        })
        .click(kFlag)
        .then([this](FakeBackend&) {
            dlg.UpdateData(true);
            EXPECT_EQ(dlg.flag, 0);
        })
        .closeBox();
    app.runWith(ui, [this] { dlg.DoModal(); });
    EXPECT_THAT(ui.errors(), IsEmpty());
}

TEST_F(DataExchangeTest, RadioIsSelectedForZeroOnlyAndReadsZeroOrMinusOne)
{
    runAndCheck([this](FakeBackend& u) {
        for (std::int32_t value : {0, -1, 1, 7}) {
            dlg.first = value;
            dlg.UpdateData(false);
            EXPECT_EQ(u.checkState(kFirst), value == 0 ? 1 : 0) << value;
        }
        dlg.first = 0;
        dlg.second = -1;
        dlg.UpdateData(false);
        dlg.first = 5;
        dlg.second = 5;
        dlg.UpdateData(true);
        EXPECT_EQ(dlg.first, 0);
        EXPECT_EQ(dlg.second, -1);
    });
}

TEST_F(DataExchangeTest, EachRadioButtonIsAGroupOfItsOwn)
{
    dlg.first = 0;
    ui.script()
        .click(kSecond)
        .then([this](FakeBackend&) {
            dlg.UpdateData(true);
            EXPECT_EQ(dlg.first, 0);
            EXPECT_EQ(dlg.second, 0);
        })
        .closeBox();
    app.runWith(ui, [this] { dlg.DoModal(); });
    EXPECT_THAT(ui.errors(), IsEmpty());
}

}  // namespace
}  // namespace tavrin::test
