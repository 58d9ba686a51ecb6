// The Win32 back end driven as a user would: real dialogs from small
// templates, keyboard and mouse input through the system, the clipboard read
// back by a second program, and the shell's "open" recorded by the session.
#include "framework/backends/win32/Win32Backend.h"
#include "framework/backends/win32/Win32DialogWindow.h"

#include "win32/Utf16.h"
#include "UserInput.h"
#include "support/Templates.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace tavrin::fw;
using namespace tavrin::fw::win32;
using tavrin::narrow;
using tavrin::test::kNonAscii;
using tavrin::test::pressKey;
using tavrin::test::waitFor;

constexpr int kName = 1013;
constexpr int kNotes = 1030;
constexpr int kFirst = 1001;
constexpr int kSecond = 1002;
constexpr int kTick = 1017;
constexpr int kDays = 1005;
constexpr int kCopy = 1033;
constexpr int kNoHandler = 1009;
constexpr int kIconId = 128;

ControlTemplate control(int id, ControlKind kind, std::string caption, DluRect rect)
{
    ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.caption = std::move(caption);
    c.rect = rect;
    return c;
}

// A dialog with one control of every kind, in tab order.
DialogTemplate sampleTemplate()
{
    DialogTemplate t;
    t.id = 900;
    t.caption = "Sample " + kNonAscii;
    t.cx = 220;
    t.cy = 150;
    t.appWindow = true;
    auto edit = control(kName, ControlKind::Edit, "", {40, 7, 100, 12});
    edit.tabStop = edit.autoHScroll = true;
    auto first = control(kFirst, ControlKind::RadioButton, "&First", {10, 25, 60, 10});
    first.tabStop = first.group = true;
    auto second = control(kSecond, ControlKind::RadioButton, "&Second", {10, 37, 60, 10});
    second.tabStop = second.group = true;
    auto tick = control(kTick, ControlKind::CheckBox, "&Tick", {80, 25, 60, 10});
    tick.tabStop = true;
    auto days = control(kDays, ControlKind::ComboBox, "", {80, 40, 40, 150});
    days.tabStop = days.vScroll = true;
    auto notes = control(kNotes, ControlKind::Edit, "", {10, 60, 130, 40});
    notes.tabStop = notes.multiLine = notes.readOnly = notes.vScroll = notes.wrap = true;
    auto ok = control(kIdOk, ControlKind::PushButton, "OK", {160, 7, 50, 14});
    ok.tabStop = ok.defaultButton = true;
    auto copy = control(kCopy, ControlKind::PushButton, "Copy", {160, 24, 50, 14});
    copy.tabStop = true;
    auto help = control(kNoHandler, ControlKind::PushButton, "Help", {160, 41, 50, 14});
    help.tabStop = true;
    auto icon = control(kNoId, ControlKind::Icon, "", {10, 110, 20, 20});
    icon.iconId = kIconId;
    t.controls = {edit,
                  first,
                  second,
                  tick,
                  days,
                  notes,
                  control(kNoId, ControlKind::Text, "Name:", {10, 9, 28, 8}),
                  control(kNoId, ControlKind::GroupBox, "Group", {5, 18, 70, 34}),
                  ok,
                  copy,
                  help,
                  icon};
    return t;
}

HWND hwndOf(const Window& w)
{
    return static_cast<const Win32DialogWindow&>(w).hwnd();
}

// Records what the back end reports. `init` runs at initialisation, `step`
// once the dialog shows and is in front, where input goes; a command ends the run
// with its id unless `keepOpen` says otherwise. A watchdog ends a run that
// waits too long.
class ScriptedEvents : public WindowEvents {
public:
    std::function<bool(Window&)> init = [](Window&) { return true; };
    std::function<void(Window&)> step;
    std::function<bool(int)> keepOpen = [](int) { return false; };
    std::function<void(PaintContext&)> paint;
    int dragIcon = 0;

    std::vector<int> commands;
    std::vector<unsigned> sysCommands;
    Window* window = nullptr;

    bool onWindowCreated(Window& w) override
    {
        window = &w;
        if (!init(w))
            return false;
        current_ = this;
        // The timers of an earlier run of these events must not reach this one.
        for (UINT_PTR earlier : {stepTimer_, watchdog_}) {
            if (earlier)
                KillTimer(nullptr, earlier);
        }
        stepTimer_ = SetTimer(nullptr, 0, 10, runStep);
        watchdog_ = SetTimer(nullptr, 0, 8000, giveUp);
        return true;
    }
    void onCommand(int id) override
    {
        commands.push_back(id);
        if (!keepOpen(id))
            window->endDialog(id);
    }
    void onWindowMenuCommand(unsigned command) override
    {
        sysCommands.push_back(command);
        window->endDialog(100);
    }
    void onPaintRequest(PaintContext& p) override
    {
        if (paint)
            paint(p);
    }
    int onDragIconRequest() override { return dragIcon; }

    ~ScriptedEvents() override
    {
        if (stepTimer_)
            KillTimer(nullptr, stepTimer_);
        if (watchdog_)
            KillTimer(nullptr, watchdog_);
    }

private:
    static void CALLBACK runStep(HWND, UINT, UINT_PTR timer, DWORD)
    {
        // The dialog manager shows a modal dialog only once its queue is
        // empty, and may make it the foreground window before that.
        if (current_ && (GetForegroundWindow() != hwndOf(*current_->window) ||
                         !IsWindowVisible(hwndOf(*current_->window))))
            return;
        KillTimer(nullptr, timer);
        if (current_)
            current_->stepTimer_ = 0;
        if (current_ && current_->step)
            current_->step(*current_->window);
    }
    static void CALLBACK giveUp(HWND, UINT, UINT_PTR timer, DWORD)
    {
        KillTimer(nullptr, timer);
        if (current_) {
            current_->watchdog_ = 0;
            current_->window->endDialog(-2);
        }
    }

    static inline ScriptedEvents* current_ = nullptr;
    UINT_PTR stepTimer_ = 0;
    UINT_PTR watchdog_ = 0;
};

DWORD styleOf(const Window& w, int id)
{
    return static_cast<DWORD>(GetWindowLongPtrA(GetDlgItem(hwndOf(w), id), GWL_STYLE));
}

std::string classOf(HWND h)
{
    char name[64]{};
    GetClassNameA(h, name, sizeof name);
    return name;
}

class Win32Dialogs : public ::testing::Test {
protected:
    Win32Backend backend;
    DialogTemplate tmpl = sampleTemplate();
    ScriptedEvents events;

    int run() { return backend.runModal(tmpl, nullptr, events); }
};

TEST_F(Win32Dialogs, ControlsCarryTheTemplatesStylesAndFont)
{
    bool checked = false;
    events.init = [&](Window& w) -> bool {
        HWND dlg = hwndOf(w);
        wchar_t caption[64]{};
        GetWindowTextW(dlg, caption, 64);
        EXPECT_EQ(narrow(caption), "Sample " + kNonAscii);
        DWORD style = static_cast<DWORD>(GetWindowLongPtrA(dlg, GWL_STYLE));
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_TRUE(style & WS_CAPTION);
        EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        EXPECT_TRUE(GetWindowLongPtrA(dlg, GWL_EXSTYLE) & WS_EX_APPWINDOW);

        LOGFONTA font{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dlg, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");

        // Radio buttons that only report clicks, each a group of its own, and
        // no label or frame in a group with a control that takes the focus:
        // arrow keys reach neither, and select nothing.
        for (int radio : {kFirst, kSecond}) {
            EXPECT_EQ(styleOf(w, radio) & 0xF, static_cast<DWORD>(BS_RADIOBUTTON));
            EXPECT_TRUE(styleOf(w, radio) & WS_GROUP);
            EXPECT_TRUE(styleOf(w, radio) & WS_TABSTOP);
        }
        for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            DWORD style = static_cast<DWORD>(GetWindowLongPtrA(c, GWL_STYLE));
            EXPECT_TRUE((style & WS_TABSTOP) || (style & WS_GROUP)) << classOf(c);
        }
        EXPECT_TRUE(styleOf(w, kTick) & WS_GROUP);
        EXPECT_TRUE(styleOf(w, kIdOk) & WS_GROUP);
        EXPECT_FALSE(styleOf(w, kCopy) & WS_GROUP) << "arrow keys step through the buttons";

        // Edit boxes and the combo's edit field keep texts of any length.
        COMBOBOXINFO combo{};
        combo.cbSize = sizeof combo;
        GetComboBoxInfo(GetDlgItem(dlg, kDays), &combo);
        for (HWND edit : {GetDlgItem(dlg, kName), GetDlgItem(dlg, kNotes), combo.hwndItem})
            EXPECT_GE(static_cast<DWORD>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);
        EXPECT_EQ(styleOf(w, kTick) & 0xF, static_cast<DWORD>(BS_AUTOCHECKBOX));
        EXPECT_EQ(styleOf(w, kIdOk) & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON));
        EXPECT_EQ(styleOf(w, kCopy) & 0xF, static_cast<DWORD>(BS_PUSHBUTTON));
        EXPECT_EQ(classOf(GetDlgItem(dlg, kDays)), "ComboBox");
        EXPECT_EQ(styleOf(w, kDays) & 0x3, static_cast<DWORD>(CBS_DROPDOWN));
        EXPECT_FALSE(styleOf(w, kDays) & CBS_SORT);
        DWORD notes = styleOf(w, kNotes);
        EXPECT_TRUE((notes & ES_MULTILINE) && (notes & ES_READONLY) && (notes & WS_VSCROLL));
        EXPECT_FALSE(notes & (ES_AUTOHSCROLL | WS_HSCROLL));
        EXPECT_TRUE(styleOf(w, kName) & ES_AUTOHSCROLL);
        EXPECT_FALSE(styleOf(w, kName) & ES_MULTILINE);

        // The icon control shows icon resource 128.
        HWND icon = FindWindowExA(dlg, nullptr, "Static", nullptr);
        while (icon && !(GetWindowLongPtrA(icon, GWL_STYLE) & SS_ICON))
            icon = FindWindowExA(dlg, icon, "Static", nullptr);
        EXPECT_NE(icon, nullptr);
        EXPECT_TRUE(icon && SendMessageA(icon, STM_GETICON, 0, 0) != 0);
        checked = true;
        return true;
    };
    events.step = [](Window& w) { w.endDialog(7); };
    EXPECT_EQ(run(), 7);
    EXPECT_TRUE(checked);
}

TEST_F(Win32Dialogs, TheDroppedListIsAsTallAsTheTemplateSays)
{
    RECT list{};
    RECT combo{};
    RECT expected{0, 0, 1, 150};
    events.step = [&](Window& w) {
        HWND days = GetDlgItem(hwndOf(w), kDays);
        GetWindowRect(days, &combo);
        for (int i = 1; i <= 40; ++i)
            w.addListItem(kDays, std::to_string(i));
        SendMessageA(days, CB_SHOWDROPDOWN, TRUE, 0);
        EXPECT_TRUE(w.isListDropped(kDays));
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(days, &info);
        GetWindowRect(info.hwndList, &list);
        EXPECT_TRUE(GetWindowLongPtrA(info.hwndList, GWL_STYLE) & WS_VSCROLL) << "the list scrolls";
        MapDialogRect(hwndOf(w), &expected);
        w.closeList(kDays);
        EXPECT_FALSE(w.isListDropped(kDays));
        w.endDialog(1);
    };
    run();
    // Edit field included; the list shows whole items only.
    int itemHeight = 16;
    EXPECT_NEAR(list.bottom - combo.top, expected.bottom, itemHeight)
        << "combo " << combo.top << "-" << combo.bottom << ", list " << list.top << "-" << list.bottom;
}

TEST_F(Win32Dialogs, ControlStateReadsBackWhatWasWritten)
{
    events.step = [](Window& w) {
        w.setText(kName, "Pop Up \"quoted\" & more");
        EXPECT_EQ(w.text(kName), "Pop Up \"quoted\" & more");
        std::string crlf = "line one\r\nline two\r\n";
        w.setText(kNotes, crlf);
        EXPECT_EQ(w.text(kNotes), crlf);
        w.setText(kNotes, "");
        EXPECT_EQ(w.text(kNotes), "");
        w.setText(kName, kNonAscii);
        EXPECT_EQ(w.text(kName), kNonAscii);

        w.setCheckState(kTick, 1);
        EXPECT_EQ(w.checkState(kTick), 1);
        w.setCheckState(kFirst, 1);
        w.setCheckState(kSecond, 1);
        EXPECT_EQ(w.checkState(kFirst), 1) << "each radio is a group of its own";
        w.setCheckState(kFirst, 0);
        EXPECT_EQ(w.checkState(kFirst), 0);
        EXPECT_EQ(w.checkState(kSecond), 1);
        EXPECT_TRUE(styleOf(w, kFirst) & WS_TABSTOP) << "a clear radio button stays a tab stop";

        for (const std::string& item : {std::string("1"), std::string("2"), kNonAscii})
            EXPECT_TRUE(w.addListItem(kDays, item));
        EXPECT_EQ(w.listCount(kDays), 3);
        EXPECT_EQ(w.listItem(kDays, 2), kNonAscii);
        EXPECT_EQ(w.listSelection(kDays), -1);
        w.setListSelection(kDays, 2);
        EXPECT_EQ(w.listSelection(kDays), 2);
        EXPECT_EQ(w.text(kDays), kNonAscii);
        w.setListSelection(kDays, -1);
        EXPECT_EQ(w.listSelection(kDays), -1);
        EXPECT_EQ(w.text(kDays), "");
        w.setText(kDays, "7 days");
        EXPECT_EQ(w.text(kDays), "7 days");

        w.setFocus(kDays);
        EXPECT_EQ(w.focus(), kDays) << "the focus sits in the combo's own edit field";
        w.setFocus(kCopy);
        EXPECT_EQ(w.focus(), kCopy);

        w.moveTo(40, 30);
        PixelRect f = w.frame();
        EXPECT_EQ(f.x, 40);
        EXPECT_EQ(f.y, 30);
        EXPECT_GT(f.cx, 220);
        EXPECT_TRUE(w.isVisibleAndNotMinimised());
        w.endDialog(1);
    };
    EXPECT_EQ(run(), 1);
}

TEST_F(Win32Dialogs, TheFirstTabStopTakesTheFocusUnlessTheFrameworkSetsIt)
{
    int focus = 0;
    events.step = [&](Window& w) {
        focus = w.focus();
        w.endDialog(1);
    };
    run();
    EXPECT_EQ(focus, kName);

    events.init = [](Window& w) {
        w.setFocus(kTick);
        return true;
    };
    run();
    EXPECT_EQ(focus, kTick);
}

TEST_F(Win32Dialogs, EnterInAnEditBoxPressesTheDefaultButton)
{
    events.step = [](Window& w) {
        w.setFocus(kName);
        pressKey(VK_RETURN);
    };
    EXPECT_EQ(run(), kIdOk);
    EXPECT_EQ(events.commands, std::vector<int>{kIdOk});

    // Also from the read-only box of several lines.
    events.commands.clear();
    events.step = [](Window& w) {
        w.setFocus(kNotes);
        pressKey(VK_RETURN);
    };
    EXPECT_EQ(run(), kIdOk);
}

TEST_F(Win32Dialogs, PickingAListItemIsNoCommand)
{
    int picked = -1;
    events.step = [&](Window& w) {
        for (const char* item : {"1", "2", "3"})
            w.addListItem(kDays, item);
        w.setFocus(kDays);
        pressKey(VK_DOWN);
        pressKey(VK_DOWN);
        pressKey(VK_RETURN);
    };
    events.keepOpen = [&](int) {
        picked = events.window->listSelection(kDays);
        return false;
    };
    EXPECT_EQ(run(), kIdOk);
    EXPECT_EQ(events.commands, std::vector<int>{kIdOk});
    EXPECT_EQ(picked, 1);
}

TEST_F(Win32Dialogs, EscapeAndTheCloseBoxSendCancel)
{
    events.step = [](Window& w) {
        w.setFocus(kName);
        pressKey(VK_ESCAPE);
    };
    EXPECT_EQ(run(), kIdCancel);

    events.step = [](Window& w) { PostMessageA(hwndOf(w), WM_SYSCOMMAND, SC_CLOSE, 0); };
    EXPECT_EQ(run(), kIdCancel);
    EXPECT_EQ(events.commands, (std::vector<int>{kIdCancel, kIdCancel}));
}

TEST_F(Win32Dialogs, TypingReachesTheFocusedEditBox)
{
    std::string typed;
    events.step = [&](Window& w) {
        w.setFocus(kName);
        for (WORD vk : {WORD('4'), WORD('2')})
            pressKey(vk);
        pressKey(VK_RETURN);
    };
    events.keepOpen = [&](int) {
        typed = events.window->text(kName);
        return false;
    };
    EXPECT_EQ(run(), kIdOk);
    EXPECT_EQ(typed, "42");
}

TEST_F(Win32Dialogs, TheSystemMenuCarriesOurEntryAndRoutesItsCommand)
{
    std::string entry;
    events.init = [&](Window& w) {
        EXPECT_TRUE(w.appendSystemMenuSeparator());
        EXPECT_TRUE(w.appendSystemMenuItem(0x10, "&About Sample..."));
        HMENU menu = GetSystemMenu(hwndOf(w), FALSE);
        int count = GetMenuItemCount(menu);
        EXPECT_EQ(GetMenuItemID(menu, count - 1), 0x10u);
        EXPECT_EQ(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR,
                  static_cast<UINT>(MF_SEPARATOR));
        char text[64]{};
        GetMenuStringA(menu, 0x10, text, sizeof text, MF_BYCOMMAND);
        entry = text;
        return true;
    };
    events.step = [](Window& w) { PostMessageA(hwndOf(w), WM_SYSCOMMAND, 0x10, 0); };
    EXPECT_EQ(run(), 100);
    EXPECT_EQ(entry, "&About Sample...");
    EXPECT_EQ(events.sysCommands, std::vector<unsigned>{0x10});
    EXPECT_TRUE(events.commands.empty());
}

TEST_F(Win32Dialogs, F1RaisesTheHelpCommand)
{
    events.step = [](Window& w) {
        w.setFocus(kName);
        pressKey(VK_F1);
    };
    EXPECT_EQ(run(), 57670);
}

TEST_F(Win32Dialogs, TheWindowIconsAndTheDragIconComeFromTheResource)
{
    HICON expected = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconId));
    ASSERT_NE(expected, nullptr);
    events.dragIcon = kIconId;
    events.step = [&](Window& w) {
        HWND dlg = hwndOf(w);
        // The program's icon before the dialog sets any.
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dlg, WM_GETICON, ICON_SMALL, 0)), expected);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dlg, WM_GETICON, ICON_BIG, 0)), expected);
        w.setIcon(kIconId);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dlg, WM_GETICON, ICON_BIG, 0)), expected);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dlg, WM_GETICON, ICON_SMALL, 0)), expected);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dlg, WM_QUERYDRAGICON, 0, 0)), expected);
        w.endDialog(1);
    };
    run();
}

TEST_F(Win32Dialogs, PaintingReportsTheMinimisedStateAndTheSizes)
{
    bool minimisedPaint = false;
    events.paint = [&](PaintContext& p) {
        if (!p.isMinimised())
            return;
        minimisedPaint = true;
        EXPECT_EQ(p.iconWidth(), GetSystemMetrics(SM_CXICON));
        EXPECT_EQ(p.iconHeight(), GetSystemMetrics(SM_CYICON));
        p.eraseIconBackground();
        p.drawIcon(kIconId, (p.clientWidth() - p.iconWidth() + 1) / 2,
                   (p.clientHeight() - p.iconHeight() + 1) / 2);
    };
    events.step = [](Window& w) {
        HWND dlg = hwndOf(w);
        ShowWindow(dlg, SW_MINIMIZE);
        EXPECT_FALSE(w.isVisibleAndNotMinimised());
        EXPECT_TRUE(IsIconic(dlg));
        // A minimised window is no longer drawn by every system; ask for the paint itself.
        InvalidateRect(dlg, nullptr, TRUE);
        SendMessageA(dlg, WM_PAINT, 0, 0);
        ShowWindow(dlg, SW_RESTORE);
        w.endDialog(1);
    };
    run();
    EXPECT_TRUE(minimisedPaint);
}

// Message boxes: closed by pressing their button from a timer.
TEST_F(Win32Dialogs, AMessageBoxShowsTextCaptionAndIcon)
{
    static std::string seenText;
    static bool hasIcon = false;
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR timer, DWORD) {
        HWND box = FindWindowW(nullptr, tavrin::widen("Save Test " + kNonAscii).c_str());
        if (!box || !IsWindowVisible(box))
            return;
        KillTimer(nullptr, timer);
        wchar_t text[128]{};
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (classOf(c) == "Static" && GetWindowTextW(c, text, 128) > 0)
                seenText = narrow(text);
            if (classOf(c) == "Static" && (GetWindowLongPtrA(c, GWL_STYLE) & SS_ICON))
                hasIcon = true;
        }
        PostMessageA(box, WM_COMMAND, IDNO, 0);
    });
    int r = backend.messageBox(nullptr, "Error Saving Test File " + kNonAscii, "Save Test " + kNonAscii,
                               MbButtons::YesNo, MbIcon::Exclamation);
    EXPECT_EQ(r, kIdNo);
    EXPECT_EQ(seenText, "Error Saving Test File " + kNonAscii);
    EXPECT_TRUE(hasIcon);
}

// The clipboard, read back by another program.
class Win32Clipboard : public Win32Dialogs {
protected:
    // What a second program finds on the clipboard as plain text, the
    // terminating zero included; empty when it finds nothing.
    static std::string clipboardSeenByAnotherProgram()
    {
        const char* path = "clipboard-seen.bin";
        std::remove(path);
        std::string command = std::string(CLIPBOARD_TOOL) + " get " + path;
        if (runAndWait(command) != 0)
            return {};
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    static DWORD runAndWait(std::string command)
    {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return 999;
        WaitForSingleObject(pi.hProcess, 20000);
        DWORD code = 999;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return code;
    }

    // Runs `body` with the dialog open.
    void withDialog(const std::function<void(Window&)>& body)
    {
        events.step = [&](Window& w) {
            body(w);
            w.endDialog(1);
        };
        run();
    }
};

TEST_F(Win32Clipboard, CopiedTextArrivesExactlyAsPlainZeroTerminatedText)
{
    const std::string script = "<SCRIPT LANGUAGE=\"JavaScript\">\r\n<!--\r\nfunction f() {}\r\n// -->\r\n</SCRIPT>";
    withDialog([&](Window& w) { EXPECT_EQ(backend.copyText(w, script), ClipboardResult::Copied); });
    EXPECT_EQ(clipboardSeenByAnotherProgram(), script + '\0');
}

TEST_F(Win32Clipboard, AnEmptyTextIsAnEntryHoldingOnlyTheZeroByte)
{
    withDialog([&](Window& w) { EXPECT_EQ(backend.copyText(w, ""), ClipboardResult::Copied); });
    EXPECT_EQ(clipboardSeenByAnotherProgram(), std::string(1, '\0'));
}

TEST_F(Win32Clipboard, AClipboardHeldByAnotherProgramKeepsItsContent)
{
    withDialog([&](Window& w) { ASSERT_EQ(backend.copyText(w, "old text"), ClipboardResult::Copied); });

    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "tavrin-clipboard-held");
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, "tavrin-clipboard-release");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION holder{};
    std::string command = std::string(CLIPBOARD_TOOL) + " hold tavrin-clipboard-held tavrin-clipboard-release";
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &holder));
    ASSERT_EQ(WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);

    withDialog([&](Window& w) { EXPECT_EQ(backend.copyText(w, "new text"), ClipboardResult::CannotOpen); });

    SetEvent(done);
    WaitForSingleObject(holder.hProcess, 20000);
    CloseHandle(holder.hThread);
    CloseHandle(holder.hProcess);
    CloseHandle(ready);
    CloseHandle(done);
    EXPECT_EQ(clipboardSeenByAnotherProgram(), std::string("old text") + '\0');
}

// The shell's "open": the session records what it was asked to open.
TEST(Win32Shell, OpeningAPageStartsItsApplication)
{
    const char* log = "C:\\tavrin-opened.txt";
    DeleteFileA(log);
    { std::ofstream("shell-page.htm") << "<html></html>"; }
    Win32Backend backend;
    EXPECT_TRUE(backend.openWithDefaultApplication("shell-page.htm"));

    std::string recorded;
    waitFor([&] {
        std::ifstream in(log);
        return std::getline(in, recorded) && !in.eof();
    });
    EXPECT_NE(recorded.find("shell-page.htm"), std::string::npos) << recorded;
    EXPECT_EQ(recorded.rfind("nCmdShow=1 ", 0), 0u) << "the application is asked to show its window: " << recorded;
    DeleteFileA(log);
}

// No application, or one that ends with a failure at once (as a browser
// that finds no display does), opens nothing.
TEST(Win32Shell, AFileThatCannotBeOpenedIsReported)
{
    Win32Backend backend;
    EXPECT_FALSE(backend.openWithDefaultApplication("no-such-page.htm"));

    HKEY type = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\tavrinfailing\\shell\\open\\command", 0, nullptr,
                              0, KEY_WRITE, nullptr, &type, nullptr),
              ERROR_SUCCESS);
    const char command[] = "C:\\windows\\system32\\cmd.exe /c exit 3";
    RegSetValueExA(type, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command), sizeof command);
    RegCloseKey(type);
    RegSetValueA(HKEY_CURRENT_USER, "Software\\Classes\\.tavrinfail", REG_SZ, "tavrinfailing", 0);
    { std::ofstream("page.tavrinfail") << "<html></html>"; }
    EXPECT_FALSE(backend.openWithDefaultApplication("page.tavrinfail"));
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\tavrinfailing");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\.tavrinfail");
}

TEST(Win32Screen, TheWorkAreaLiesOnTheScreen)
{
    Win32Backend backend;
    PixelRect area = backend.workArea();
    EXPECT_GT(area.cx, 0);
    EXPECT_GT(area.cy, 0);
    EXPECT_LE(area.x + area.cx, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(area.y + area.cy, GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace
