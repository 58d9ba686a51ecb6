// The seam's contract, one case per rule, run against every back end: what
// the framework asks of `Backend` and `Window`, and what a user's input must
// come to once the back end has reported it. Each back end's host (FakeHost,
// GtkHost, Win32Host) makes its own test program of these cases.

#include "contract/Host.h"
#include "support/Templates.h"

#include "framework/App.h"
#include "framework/Dialog.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavrin::test::contract {
namespace {

using fw::ControlKind;
using tavrin::test::control;
using tavrin::test::kNonAscii;

enum : int {
    kName = 1001,
    kNotes = 1002,
    kFirst = 1003,
    kSecond = 1004,
    kTick = 1005,
    kDays = 1006,
    kApply = 1007,
    kNested = 1008,
    kFooter = 1009,
};
constexpr unsigned kAboutCommand = 0x10;

fw::DialogTemplate contractTemplate()
{
    fw::DialogTemplate t;
    t.id = 950;
    t.caption = "Contract " + kNonAscii;
    t.cx = 220;
    t.cy = 130;
    auto add = [&t](int id, ControlKind kind, std::string caption, fw::DluRect rect,
                    bool tabStop = true) -> fw::ControlTemplate& {
        t.controls.push_back(control(id, kind, std::move(caption), rect, tabStop));
        return t.controls.back();
    };
    add(fw::kNoId, ControlKind::Text, "&Name:", {5, 7, 30, 8}, false);
    add(kName, ControlKind::Edit, "", {40, 5, 100, 12}).autoHScroll = true;
    add(fw::kNoId, ControlKind::GroupBox, "Choice", {5, 22, 90, 40}, false);
    add(kFirst, ControlKind::RadioButton, "&First", {10, 32, 60, 10});
    add(kSecond, ControlKind::RadioButton, "&Second", {10, 45, 60, 10});
    add(kTick, ControlKind::CheckBox, "&Tick", {100, 32, 40, 10});
    add(fw::kNoId, ControlKind::Text, "&Days:", {100, 47, 25, 8}, false);
    add(kDays, ControlKind::ComboBox, "", {130, 45, 40, 80}).vScroll = true;
    fw::ControlTemplate& notes = add(kNotes, ControlKind::Edit, "", {5, 68, 160, 40});
    notes.multiLine = notes.readOnly = notes.vScroll = notes.wrap = true;
    add(fw::kIdOk, ControlKind::PushButton, "OK", {170, 5, 45, 14}).defaultButton = true;
    add(fw::kIdCancel, ControlKind::PushButton, "Cancel", {170, 22, 45, 14});
    add(kApply, ControlKind::PushButton, "&Apply", {170, 68, 45, 14});
    add(kNested, ControlKind::PushButton, "&Nested", {170, 85, 45, 14});
    add(kFooter, ControlKind::Text, "Footer", {5, 115, 160, 8}, false);
    std::vector<std::string> days;
    for (int day = 1; day <= 40; ++day)
        days.push_back(std::to_string(day));
    t.listInit.push_back({kDays, days});
    return t;
}

const fw::DialogTemplate& theTemplate()
{
    static const fw::DialogTemplate t = contractTemplate();
    return t;
}

// What a case's steps end a dialog with when they end it themselves.
constexpr int kEndedBySteps = 77;

// The dialog each case runs: every control bound, commands logged, and the
// case's steps started once the framework has initialised it. "Nested" runs
// another one over it, with steps of its own.
class ContractDialog : public fw::CDialog {
public:
    using Script = std::function<void(Steps&, fw::Window&)>;
    using NestedScript = std::function<void(Steps&, ContractDialog&)>;
    ContractDialog(Host& host, Script script, fw::CDialog* parent = nullptr)
        : CDialog(theTemplate(), parent), host_(host), script_(std::move(script))
    {
    }

    std::string name;
    std::string notes;
    std::string days;
    std::int32_t tick = 0;
    std::int32_t first = -1;
    std::int32_t second = -1;
    std::vector<int> commands;
    std::vector<unsigned> windowMenu;
    std::optional<std::string> copyOnApply;  // what Apply copies, if anything
    std::vector<fw::ClipboardResult> copies;
    bool failInit = false;
    int ending = 0;  // the default command (1 or 2) that is ending the dialog
    NestedScript nestedScript;
    int nestedResult = 0;
    std::string failure;  // what a wait of this dialog's steps, or of the nested one's, never saw

protected:
    void DoDataExchange(fw::DataExchange& dx) override
    {
        dx.text(kName, name);
        dx.text(kNotes, notes);
        dx.comboText(kDays, days);
        dx.check(kTick, tick);
        dx.radio(kFirst, first);
        dx.radio(kSecond, second);
    }
    bool OnInitDialog() override
    {
        if (failInit || !CDialog::OnInitDialog())
            return false;
        if (script_ || nested_) {
            if (script_)
                script_(steps_, *window());
            else
                nested_(steps_, *this);
            steps_.start([this] {
                failure += steps_.failure();
                if (window() != nullptr)
                    EndDialog(kEndedBySteps);
            });
        }
        return true;
    }
    std::span<const fw::CommandEntry> commandTable() const override;
    void OnSysCommand(unsigned command) override { windowMenu.push_back(command); }
    void OnOK() override
    {
        ending = fw::kIdOk;
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        ending = fw::kIdCancel;
        CDialog::OnCancel();
    }

private:
    static const fw::CommandEntry kCommands[];
    void OnApply()
    {
        commands.push_back(kApply);
        if (copyOnApply)
            copies.push_back(host_.backend().copyText(*window(), *copyOnApply));
    }
    void OnTickClicked() { commands.push_back(kTick); }
    void OnFirst() { commands.push_back(kFirst); }
    void OnSecond() { commands.push_back(kSecond); }
    void OnNested()
    {
        ContractDialog inner(host_, {}, this);
        inner.nested_ = nestedScript;
        nestedResult = inner.DoModal();
        failure += inner.failure;
    }

    Host& host_;
    Script script_;
    NestedScript nested_;
    Steps steps_{host_};
};

const fw::CommandEntry ContractDialog::kCommands[] = {
    fw::command(kApply, &ContractDialog::OnApply),   fw::command(kTick, &ContractDialog::OnTickClicked),
    fw::command(kFirst, &ContractDialog::OnFirst),   fw::command(kSecond, &ContractDialog::OnSecond),
    fw::command(kNested, &ContractDialog::OnNested),
};

std::span<const fw::CommandEntry> ContractDialog::commandTable() const
{
    return kCommands;
}

// An application whose start-up runs the case's dialogs.
class ContractApp : public fw::CWinApp {
public:
    ContractApp() : CWinApp(strings_) {}
    std::function<void()> body;
    bool InitInstance() override
    {
        body();
        return false;
    }

private:
    const fw::StringTable strings_;
};

class Contract : public ::testing::Test {
protected:
    // Runs the dialog with the steps `script` writes; returns its result.
    int run(const ContractDialog::Script& script)
    {
        dlg = std::make_unique<ContractDialog>(*host, script);
        dlg->nestedScript = nestedScript;
        return runDialog(*dlg);
    }
    int runDialog(ContractDialog& d)
    {
        int result = 0;
        app.body = [&] { result = d.DoModal(); };
        app.run(host->backend(), "contract");
        EXPECT_EQ(d.failure, "");
        return result;
    }

    std::unique_ptr<Host> host = makeHost();
    ContractApp app;
    std::unique_ptr<ContractDialog> dlg;
    ContractDialog::NestedScript nestedScript;
};

// Texts of every kind of control come back exactly as they were set: empty,
// non-ASCII, line breaks in a box of several lines, a megabyte.
TEST_F(Contract, TextsRoundTripOnEveryControlKind)
{
    const std::string megabyte(1 << 20, 'x');
    const std::string lines = "first line\r\n" + kNonAscii + "\r\n\r\nlast line\r\n";
    run([&](Steps& s, fw::Window& w) {
        s.then([&] {
            for (int id : {kName, kDays, kFooter, kApply, kFirst, kTick}) {
                for (const std::string& text : {std::string(), std::string("plain"), kNonAscii}) {
                    w.setText(id, text);
                    EXPECT_EQ(w.text(id), text) << "control " << id;
                }
            }
            for (const std::string& text : {lines, std::string("one line"), std::string()}) {
                w.setText(kNotes, text);
                EXPECT_EQ(w.text(kNotes), text);
            }
            for (int id : {kName, kNotes}) {
                w.setText(id, megabyte);
                EXPECT_TRUE(w.text(id) == megabyte) << "control " << id << " kept " << w.text(id).size() << " bytes";
            }
        });
    });
}

// Check boxes and radio buttons keep the state they are given; setting or
// clicking one radio button never clears another (each is a group of its own,
// the dialog keeps its sets).
TEST_F(Contract, CheckStatesRoundTripAndRadiosNeverClearOneAnother)
{
    run([&](Steps& s, fw::Window& w) {
        s.then([&] {
             for (int state : {1, 0, 1}) {
                 w.setCheckState(kTick, state);
                 EXPECT_EQ(w.checkState(kTick), state);
             }
             w.setCheckState(kFirst, 1);
             w.setCheckState(kSecond, 1);
             EXPECT_EQ(w.checkState(kFirst), 1);
             EXPECT_EQ(w.checkState(kSecond), 1);
             w.setCheckState(kSecond, 0);
             EXPECT_EQ(w.checkState(kSecond), 0);
             host->click(w, kSecond);
         })
            .until("the click on Second reported", [&] { return !dlg->commands.empty(); })
            .then([&] {
                EXPECT_EQ(dlg->commands, std::vector<int>{kSecond});
                EXPECT_EQ(w.checkState(kSecond), 1) << "a clicked radio is selected before its command";
                EXPECT_EQ(w.checkState(kFirst), 1) << "no radio clears another by itself";
                host->click(w, kTick);
            })
            .until("the click on Tick reported", [&] { return dlg->commands.size() == 2; })
            .then([&] { EXPECT_EQ(w.checkState(kTick), 0) << "a clicked check box has changed before its command"; });
    });
}

// The framework fills the list from the template; a selection shows its item
// in the field, none leaves the field empty; F4 drops the list, closeList
// closes it, and neither is a command.
TEST_F(Contract, ListItemsSelectionAndTheDroppedState)
{
    run([&](Steps& s, fw::Window& w) {
        s.then([&] {
             EXPECT_EQ(w.listCount(kDays), 40);
             EXPECT_EQ(w.listItem(kDays, 29), "30");
             EXPECT_EQ(w.listSelection(kDays), -1);
             w.setListSelection(kDays, 29);
             EXPECT_EQ(w.listSelection(kDays), 29);
             EXPECT_EQ(w.text(kDays), "30");
             w.setListSelection(kDays, -1);
             EXPECT_EQ(w.listSelection(kDays), -1);
             EXPECT_EQ(w.text(kDays), "");
             EXPECT_TRUE(w.addListItem(kDays, kNonAscii));
             EXPECT_EQ(w.listItem(kDays, 40), kNonAscii);
             EXPECT_FALSE(w.isListDropped(kDays));
             w.setFocus(kDays);
             host->press(w, Key::F4);
         })
            .until("the list dropped by F4", [&] { return w.isListDropped(kDays); })
            .then([&] { w.closeList(kDays); })
            .until("the list closed", [&] { return !w.isListDropped(kDays); })
            .then([&] { EXPECT_TRUE(dlg->commands.empty()); });
    });
}

// The focus goes where it is put, Tab visits the tab stops in template order
// and comes round again, Shift+Tab goes back.
TEST_F(Contract, FocusRoundTripsAndTabFollowsTheTemplateOrder)
{
    std::vector<int> stops;
    for (const fw::ControlTemplate& c : theTemplate().controls) {
        if (c.tabStop)
            stops.push_back(c.id);
    }
    run([&](Steps& s, fw::Window& w) {
        s.then([&] {
            EXPECT_EQ(w.focus(), stops.front()) << "the framework puts the focus on the first tab stop";
            for (int id : stops) {
                w.setFocus(id);
                EXPECT_EQ(w.focus(), id);
            }
            w.setFocus(stops.front());
        });
        for (std::size_t i = 1; i <= stops.size(); ++i) {
            const int expected = stops[i % stops.size()];
            s.then([&] { host->press(w, Key::Tab); })
                .until("Tab to control " + std::to_string(expected), [&w, expected] { return w.focus() == expected; });
        }
        s.then([&] { host->press(w, Key::ShiftTab); })
            .until("Shift+Tab back to the last stop", [&] { return w.focus() == stops.back(); });
    });
}

// Enter in a box presses the default button (OK: exchange, end with 1);
// Enter on another push button presses that one.
TEST_F(Contract, EnterPressesTheDefaultButtonOrTheFocusedOne)
{
    const int result = run([&](Steps& s, fw::Window& w) {
        s.then([&] {
             w.setFocus(kApply);
             host->press(w, Key::Enter);
         })
            .until("Enter on Apply pressing it", [&] { return !dlg->commands.empty(); })
            .then([&] {
                w.setText(kName, kNonAscii);
                w.setFocus(kName);
                host->press(w, Key::Enter);
            })
            .until("Enter in the Name box ending the dialog", [&] { return dlg->window() == nullptr; });
    });
    EXPECT_EQ(result, fw::kIdOk);
    EXPECT_EQ(dlg->commands, std::vector<int>{kApply});
    EXPECT_EQ(dlg->name, kNonAscii) << "OK read the controls first";
}

// A dropped list takes Enter and Escape: Enter picks the highlighted item
// and closes the list, Escape only closes it; the dialog stays open. With no
// list dropped, Escape cancels (2, no exchange).
TEST_F(Contract, EnterAndEscapeWithADroppedListOnlyCloseIt)
{
    const int result = run([&](Steps& s, fw::Window& w) {
        s.then([&] {
             w.setFocus(kDays);
             host->press(w, Key::F4);
         })
            .until("the list dropped", [&] { return w.isListDropped(kDays); })
            .then([&] { host->press(w, Key::Down); })
            .then([&] { host->press(w, Key::Enter); })
            .until("Enter closing the list", [&] { return !w.isListDropped(kDays); })
            .then([&] {
                EXPECT_EQ(w.text(kDays), "1") << "the highlighted item is picked";
                EXPECT_EQ(w.listSelection(kDays), 0);
                host->press(w, Key::AltDown);
            })
            .until("Alt+Down dropping the list", [&] { return w.isListDropped(kDays); })
            .then([&] { host->press(w, Key::Escape); })
            .until("Escape closing the list", [&] { return !w.isListDropped(kDays); })
            .then([&] {
                EXPECT_EQ(w.text(kDays), "1");
                w.setText(kName, "not read");
                host->press(w, Key::Escape);
            })
            .until("Escape cancelling the dialog", [&] { return dlg->window() == nullptr; });
    });
    EXPECT_EQ(result, fw::kIdCancel);
    EXPECT_EQ(dlg->name, "") << "cancel exchanges nothing";
    EXPECT_TRUE(dlg->commands.empty());
}

// Entries the program appends to the window menu reach it; the close box
// cancels.
TEST_F(Contract, WindowMenuEntriesAreReportedAndTheCloseBoxCancels)
{
    const int result = run([&](Steps& s, fw::Window& w) {
        s.then([&] {
             EXPECT_TRUE(w.appendSystemMenuSeparator());
             EXPECT_TRUE(w.appendSystemMenuItem(kAboutCommand, "&About " + kNonAscii));
             host->chooseWindowMenuEntry(w, kAboutCommand);
         })
            .until("the entry reported", [&] { return !dlg->windowMenu.empty(); })
            .then([&] { host->clickCloseBox(w); })
            .until("the close box ending the dialog", [&] { return dlg->window() == nullptr; });
    });
    EXPECT_EQ(result, fw::kIdCancel);
    EXPECT_EQ(dlg->windowMenu, std::vector<unsigned>{kAboutCommand});
}

// A dialog run from another one is owned by it, opens centred over it, and
// the owner takes no input until it ends: a click meant for the owner
// meanwhile is lost, not delivered later.
TEST_F(Contract, ANestedModalRunKeepsItsOwnerFromInput)
{
    fw::Window* outer = nullptr;
    nestedScript = [&](Steps& s, ContractDialog& inner) {
        fw::Window& w = *inner.window();
        s.then([&] {
            const fw::PixelRect a = w.frame();
            const fw::PixelRect b = outer->frame();
            EXPECT_NEAR(a.x + a.cx / 2, b.x + b.cx / 2, 2);
            EXPECT_NEAR(a.y + a.cy / 2, b.y + b.cy / 2, 2);
            // Moved half aside, so the owner's Apply lies uncovered.
            w.moveTo(b.x - a.cx / 2, a.y);
        })
            .until("the nested dialog moved aside", [&] { return w.frame().x == outer->frame().x - w.frame().cx / 2; })
            .then([&] {
                host->click(*outer, kApply);
                host->press(w, Key::Escape);
            })
            .until("Escape cancelling the nested dialog", [&] { return inner.ending == fw::kIdCancel; });
    };
    run([&](Steps& s, fw::Window& w) {
        outer = &w;
        s.then([&] { host->click(w, kNested); })
            .until("the nested dialog ended by Escape", [&] { return dlg->nestedResult == fw::kIdCancel; })
            .then([&] { host->click(w, kTick); })
            .until("a click on the owner reported again", [&] { return !dlg->commands.empty(); })
            .then([&] { EXPECT_EQ(dlg->commands, std::vector<int>{kTick}) << "the click on Apply was delivered"; });
    });
}

// A run ends with the result it is first given (a later end changes
// nothing); a failed initialisation ends it with -1.
TEST_F(Contract, EndResultsAndAFailedInitialisation)
{
    EXPECT_EQ(run([&](Steps& s, fw::Window& w) {
                  s.then([&] {
                      w.endDialog(7);
                      w.endDialog(8);
                  });
              }),
              7);
    ContractDialog failing(*host, {});
    failing.failInit = true;
    EXPECT_EQ(runDialog(failing), -1);
}

// A message box answers with the id of the button pressed.
TEST_F(Contract, MessageBoxesReturnThePressedButton)
{
    run([&](Steps& s, fw::Window& w) {
        s.then([&] {
            host->answerMessageBox(1);
            EXPECT_EQ(host->backend().messageBox(&w, "Cancel? " + kNonAscii, "Caption", fw::MbButtons::OkCancel,
                                                 fw::MbIcon::Question),
                      fw::kIdCancel);
            host->answerMessageBox(0);
            EXPECT_EQ(host->backend().messageBox(&w, "Yes?", "Caption", fw::MbButtons::YesNo, fw::MbIcon::None),
                      fw::kIdYes);
            host->answerMessageBox(0);
            EXPECT_EQ(host->backend().messageBox(nullptr, "No owner", "Caption", fw::MbButtons::Ok,
                                                 fw::MbIcon::Exclamation),
                      fw::kIdOk);
        });
    });
}

// Another program reads exactly the bytes that were copied. The copies are
// made in reply to a click, as the program makes them: a browser takes a
// write to the clipboard only then.
TEST_F(Contract, TheClipboardHoldsExactlyTheCopiedText)
{
    const std::string text = "\r\n<script>\r\n" + kNonAscii + "\r\n</script>\r\n";
    run([&](Steps& s, fw::Window& w) {
        s.then([&] {
             dlg->copyOnApply = text;
             host->click(w, kApply);
         })
            .until("the copied text on the clipboard", [&] { return host->clipboardText() == text; })
            .then([&] {
                dlg->copyOnApply = "";
                host->click(w, kApply);
            })
            .until("the empty text on the clipboard", [&] { return host->clipboardText() == std::string(); });
    });
    EXPECT_EQ(dlg->copies, std::vector<fw::ClipboardResult>(2, fw::ClipboardResult::Copied));
}

// The work area lies on the screen; a dialog opens centred on it and moves
// where it is told.
TEST_F(Contract, TheWorkAreaAndTheFrame)
{
    const fw::PixelRect area = host->backend().workArea();
    EXPECT_GT(area.cx, 0);
    EXPECT_GT(area.cy, 0);
    run([&](Steps& s, fw::Window& w) {
        s.then([&] {
             const fw::PixelRect f = w.frame();
             EXPECT_GE(f.cx, theTemplate().cx);
             EXPECT_GE(f.cy, theTemplate().cy);
             EXPECT_NEAR(f.x + f.cx / 2, area.x + area.cx / 2, 2);
             EXPECT_NEAR(f.y + f.cy / 2, area.y + area.cy / 2, 2);
             EXPECT_TRUE(w.isVisibleAndNotMinimised());
             w.moveTo(area.x + 10, area.y + 20);
         })
            .until("the frame at its new place", [&] {
                const fw::PixelRect f = w.frame();
                return f.x == area.x + 10 && f.y == area.y + 20;
            });
    });
}

}  // namespace
}  // namespace tavrin::test::contract
