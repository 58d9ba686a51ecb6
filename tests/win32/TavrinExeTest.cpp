// tavrin.exe as a user meets it under Wine: started as its own process and
// driven from this one with mouse and keyboard input and window messages;
// the clipboard is read here, a second program, and the shell's "open" is
// recorded by the Wine session.
#include "generator/PopupSettings.h"
#include "generator/ScriptGenerator.h"
#include "generator/TestPageWriter.h"
#include "win32/Utf16.h"
#include "res/Product.h"
#include "res/Resources.h"
#include "UserInput.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <type_traits>
#include <string>
#include <vector>

namespace {

using namespace tavrin::res;
using tavrin::fw::ControlKind;
using tavrin::narrow;
using tavrin::widen;
using tavrin::test::bringToFront;
using tavrin::test::clickControl;
using tavrin::test::keyDown;
using tavrin::test::keyUp;
using tavrin::test::pressKey;
using tavrin::test::pressWith;
using tavrin::test::typeText;
using tavrin::test::waitFor;
using tavrin::test::waitForInputHandled;

// A window's whole text, in UTF-8, as one reading: a text that grows between
// asking its length and reading it (a paste under way) is read again into a
// larger buffer, never returned cut short.
std::string windowText(HWND h)
{
    size_t room = static_cast<size_t>(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0)) + 64;
    for (;;) {
        std::wstring text(room, L'\0');
        const auto n = static_cast<size_t>(SendMessageW(h, WM_GETTEXT, room, reinterpret_cast<LPARAM>(text.data())));
        if (n + 1 < room) {
            text.resize(n);
            return narrow(text);
        }
        room *= 2;
    }
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// True once the session's recorder has written a whole line to `log`.
bool lineRecorded(const std::filesystem::path& log)
{
    const std::string recorded = readFile(log);
    return !recorded.empty() && recorded.back() == '\n';
}

// The text on the clipboard, in UTF-8 (or as plain text in the system code
// page, as older programs read it), or "(none)".
std::string clipboardText(UINT format = CF_UNICODETEXT)
{
    std::string text = "(none)";
    if (!OpenClipboard(nullptr))
        return "(clipboard busy)";
    if (HANDLE data = GetClipboardData(format)) {
        if (const void* p = GlobalLock(data)) {
            if (format == CF_UNICODETEXT) {
                const auto* wide = static_cast<const wchar_t*>(p);
                text = narrow({wide, wcsnlen(wide, GlobalSize(data) / sizeof(wchar_t))});
            } else {
                text.assign(static_cast<const char*>(p), strnlen(static_cast<const char*>(p), GlobalSize(data)));
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Puts `text` on the clipboard as Unicode text, checking every step; the
// clipboard is closed again on every path, before the program may open it.
::testing::AssertionResult putOnClipboard(const std::string& text)
{
    const std::wstring wide = widen(text);
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    // The program may still be closing the clipboard after a copy.
    if (!waitFor([] { return OpenClipboard(nullptr) != FALSE; }))
        return ::testing::AssertionFailure() << "the clipboard never opened";
    std::string failed;
    if (!EmptyClipboard()) {
        failed = "EmptyClipboard";
    } else if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes); !block) {
        failed = "GlobalAlloc";
    } else if (void* data = GlobalLock(block); !data) {
        GlobalFree(block);
        failed = "GlobalLock";
    } else {
        std::memcpy(data, wide.c_str(), bytes);
        GlobalUnlock(block);
        if (!SetClipboardData(CF_UNICODETEXT, block)) {
            GlobalFree(block);
            failed = "SetClipboardData";
        }
    }
    const DWORD error = failed.empty() ? 0 : GetLastError();
    if (!CloseClipboard() && failed.empty())
        failed = "CloseClipboard";
    if (!failed.empty())
        return ::testing::AssertionFailure() << failed << " failed, error " << (error ? error : GetLastError());
    return ::testing::AssertionSuccess();
}

// One run of tavrin.exe in a working folder of its own.
class Tavrin {
public:
    explicit Tavrin(const std::string& name)
        : folder_(std::filesystem::absolute("tavrin-run-" + name))
    {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string command = "\"" + std::filesystem::absolute(TAVRIN_EXE).string() + "\"";
        std::string cwd = folder_.string();
        started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si,
                                  &process_);
        if (started_) {
            // The first program of a Wine session to open a window also
            // waits while the session starts its desktop (about 12 s).
            waitFor([&] { return (main_ = window("Tavrin")) != nullptr && IsWindowVisible(main_); }, 60);
            WaitForInputIdle(process_.hProcess, 5000);
        }
    }
    ~Tavrin()
    {
        if (!started_)
            return;
        if (!hasEnded())
            TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 10000);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Tavrin(const Tavrin&) = delete;
    Tavrin& operator=(const Tavrin&) = delete;

    HWND main() const { return main_; }
    const std::filesystem::path& folder() const { return folder_; }

    // The program's visible top-level window with this caption.
    HWND window(const std::string& caption) const
    {
        struct Search {
            DWORD pid;
            std::string caption;
            HWND found;
        } search{process_.dwProcessId, caption, nullptr};
        EnumWindows(
            [](HWND h, LPARAM p) -> BOOL {
                auto* s = reinterpret_cast<Search*>(p);
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == s->pid && IsWindowVisible(h) && windowText(h) == s->caption) {
                    s->found = h;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    HWND waitForWindow(const std::string& caption) const
    {
        HWND h = nullptr;
        waitFor([&] { return (h = window(caption)) != nullptr; });
        return h;
    }

    bool hasEnded() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }
    bool waitForEnd() const { return WaitForSingleObject(process_.hProcess, 10000) == WAIT_OBJECT_0; }

    // True while a menu of the program is open.
    bool inMenu() const
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(process_.dwThreadId, &info) && (info.flags & GUI_INMENUMODE);
    }

    // The control of `dialog` (the main dialog unless named) with the
    // keyboard focus, as a control id; -1 when the focus is elsewhere.
    int focusedControl(HWND dialog = nullptr) const
    {
        dialog = dialog ? dialog : main_;
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(process_.dwThreadId, &info) || !info.hwndFocus)
            return -1;
        HWND h = info.hwndFocus;
        while (GetParent(h) && GetParent(h) != dialog)
            h = GetParent(h);
        return GetParent(h) == dialog ? GetDlgCtrlID(h) : -1;
    }

private:
    std::filesystem::path folder_;
    PROCESS_INFORMATION process_{};
    bool started_ = false;
    HWND main_ = nullptr;
};

// True when `inner` is centred over `outer`, to a pixel or two.
bool centredOver(HWND inner, HWND outer)
{
    RECT a{};
    RECT b{};
    GetWindowRect(inner, &a);
    GetWindowRect(outer, &b);
    return std::abs((a.left + a.right) - (b.left + b.right)) <= 4 &&
           std::abs((a.top + a.bottom) - (b.top + b.bottom)) <= 4;
}

std::string text(HWND dialog, int id)
{
    return windowText(GetDlgItem(dialog, id));
}

DWORD styleOf(HWND dialog, int id)
{
    return static_cast<DWORD>(GetWindowLongPtrW(GetDlgItem(dialog, id), GWL_STYLE));
}

bool checked(HWND dialog, int id)
{
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Presses a button as a click would, without waiting for what it opens.
void press(HWND dialog, int id)
{
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// Presses a copy button and waits until the clipboard has changed, without
// opening it meanwhile: that would make the copy fail.
void copyWith(HWND dialog, int id)
{
    const DWORD before = GetClipboardSequenceNumber();
    press(dialog, id);
    waitFor([&] { return GetClipboardSequenceNumber() != before; });
    waitFor([&] { return clipboardText() != "(clipboard busy)"; });
}

void typeInto(HWND dialog, int id, const std::string& value)
{
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

// A real left click in the middle of a control.
void click(HWND dialog, int id)
{
    clickControl(GetDlgItem(dialog, id));
}

// Waits until tavrin.exe has handled the input sent so far (see
// waitForInputHandled), probing with the main dialog's footer.
bool inputHandled(const Tavrin& tavrin)
{
    return waitForInputHandled(GetDlgItem(tavrin.main(), kFooter));
}

// The main dialog's tab stops, in template order.
std::vector<int> mainTabStops()
{
    std::vector<int> stops;
    for (const tavrin::fw::ControlTemplate& c : tavrin::res::mainTemplate().controls) {
        if (c.tabStop)
            stops.push_back(c.id);
    }
    return stops;
}

// True when line `line` of the edit box `box` shows something on the
// screen: some pixel of its strip across the box differs from the others.
bool lineShows(HWND box, int line)
{
    const auto top = static_cast<int>(
        HIWORD(SendMessageW(box, EM_POSFROMCHAR, SendMessageW(box, EM_LINEINDEX, line, 0), 0)));
    const auto next = static_cast<int>(
        HIWORD(SendMessageW(box, EM_POSFROMCHAR, SendMessageW(box, EM_LINEINDEX, line + 1, 0), 0)));
    RECT client{};
    GetClientRect(box, &client);
    POINT origin{client.left, top};
    ClientToScreen(box, &origin);
    const int width = client.right - client.left;
    const int height = next - top;
    if (width <= 0 || height <= 0)
        return false;
    using Dc = std::unique_ptr<std::remove_pointer_t<HDC>, decltype([](HDC dc) { DeleteDC(dc); })>;
    using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, decltype([](HBITMAP b) { DeleteObject(b); })>;
    HDC screen = GetDC(nullptr);
    Dc memory(CreateCompatibleDC(screen));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    Bitmap strip(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HGDIOBJ old = SelectObject(memory.get(), strip.get());
    BitBlt(memory.get(), 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    SelectObject(memory.get(), old);
    ReleaseDC(nullptr, screen);
    const auto* pixels = static_cast<const DWORD*>(bits);
    return std::any_of(pixels, pixels + width * height, [&](DWORD p) { return p != pixels[0]; });
}

// The screen rectangle of the child of `dialog` with caption `caption`.
RECT childRect(HWND dialog, const std::string& caption)
{
    RECT r{};
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (windowText(c) == caption)
            GetWindowRect(c, &r);
    }
    return r;
}

// Every setting the main dialog shows, one line per control.
std::vector<std::string> settingsShown(HWND dlg)
{
    std::vector<std::string> shown;
    for (const tavrin::fw::ControlTemplate& c : tavrin::res::mainTemplate().controls) {
        if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::RadioButton)
            shown.push_back(std::to_string(c.id) + (checked(dlg, c.id) ? " on" : " off"));
        else if (c.kind == ControlKind::Edit || c.kind == ControlKind::ComboBox)
            shown.push_back(std::to_string(c.id) + " " + text(dlg, c.id));
    }
    return shown;
}

// Moves the focus to control `id` of the main dialog, as the dialog manager does.
bool focusOn(const Tavrin& tavrin, int id)
{
    HWND dlg = tavrin.main();
    SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, id)), TRUE);
    return waitFor([&] { return tavrin.focusedControl() == id; });
}

// Presses Tab (or Shift+Tab) and waits until the focus is on `expected`.
bool tabTo(const Tavrin& tavrin, int expected, bool backwards = false, HWND dialog = nullptr)
{
    if (backwards)
        pressWith(VK_SHIFT, VK_TAB);
    else
        pressKey(VK_TAB);
    return waitFor([&] { return tavrin.focusedControl(dialog) == expected; });
}

// Tabs once round every stop, then back with Shift+Tab, from the first stop.
void tabRound(const Tavrin& tavrin, const std::vector<int>& stops)
{
    for (size_t i = 1; i <= stops.size(); ++i) {
        const int expected = stops[i % stops.size()];
        ASSERT_TRUE(tabTo(tavrin, expected)) << "Tab " << i << " reached " << tavrin.focusedControl() << ", not "
                                             << expected;
    }
    for (size_t i = stops.size(); i-- > 0;) {
        ASSERT_TRUE(tabTo(tavrin, stops[i], true))
            << "Shift+Tab reached " << tavrin.focusedControl() << ", not " << stops[i];
    }
}

// Up and Down on every stop but the Days box (whose arrows step through its
// list) leave the focus on a stop.
void arrowsOnEveryStop(const Tavrin& tavrin, const std::vector<int>& stops)
{
    for (int id : stops) {
        if (id == kDays)
            continue;
        for (WORD arrow : {VK_UP, VK_DOWN}) {
            ASSERT_TRUE(focusOn(tavrin, id));
            pressKey(arrow);
            ASSERT_TRUE(inputHandled(tavrin));
            const int focus = tavrin.focusedControl();
            EXPECT_NE(std::find(stops.begin(), stops.end(), focus), stops.end())
                << (arrow == VK_UP ? "Up" : "Down") << " from " << id << " moved the focus to " << focus;
        }
    }
}

TEST(TavrinExe, FirstDisplayShowsTheDefaultsCentredWithTheFocusInTheNameBox)
{
    Tavrin tavrin("first");
    HWND dlg = tavrin.main();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(text(dlg, kName), "PopUp");
    EXPECT_EQ(text(dlg, kUrl), tavrin::kDefaultPageUrl);
    EXPECT_EQ(text(dlg, kHeight), "200");
    EXPECT_EQ(text(dlg, kWidth), "200");
    for (int empty : {kLeft, kTop, kDays})
        EXPECT_EQ(text(dlg, empty), "") << empty;
    EXPECT_TRUE(checked(dlg, kOnLoad));
    EXPECT_TRUE(checked(dlg, kPopOver));
    for (int clear : {kOnClose, kOnButton, kPopUnder, kCenter, kDirectories, kMenuBar, kLocation, kResizable,
                      kScrollBars, kStatusBar, kToolbar})
        EXPECT_FALSE(checked(dlg, clear)) << clear;
    EXPECT_EQ(SendMessageA(GetDlgItem(dlg, kDays), CB_GETCOUNT, 0, 0), 365);
    EXPECT_EQ(SendMessageA(GetDlgItem(dlg, kDays), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(tavrin.focusedControl(), kName);
    EXPECT_NE(text(dlg, kFooter).find("Tavrin - v" TAVRIN_FOOTER_VERSION " - Popup Creator"), std::string::npos);

    RECT frame{};
    GetWindowRect(dlg, &frame);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((frame.left + frame.right) / 2, (work.left + work.right) / 2, 2);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (work.top + work.bottom) / 2, 2);
}

TEST(TavrinExe, ARadioClickKeepsItsGroupExclusiveAndTheTypedWidth)
{
    Tavrin tavrin("radio");
    HWND dlg = tavrin.main();
    ASSERT_NE(dlg, nullptr);
    typeInto(dlg, kWidth, "450");
    click(dlg, kOnClose);
    ASSERT_TRUE(waitFor([&] { return !checked(dlg, kOnLoad); }));
    EXPECT_TRUE(checked(dlg, kOnClose));
    EXPECT_FALSE(checked(dlg, kOnButton));
    EXPECT_TRUE(checked(dlg, kPopOver));
    EXPECT_FALSE(checked(dlg, kPopUnder));
    EXPECT_EQ(text(dlg, kWidth), "450");

    click(dlg, kPopOver);
    ASSERT_TRUE(inputHandled(tavrin));
    EXPECT_TRUE(checked(dlg, kPopOver));
    EXPECT_FALSE(checked(dlg, kPopUnder));
}

TEST(TavrinExe, TheDaysBoxKeepsEveryTypedDigitAndTabbingIntoItSelectsItsText)
{
    Tavrin tavrin("days");
    HWND dlg = tavrin.main();
    ASSERT_NE(dlg, nullptr);
    bringToFront(dlg);
    ASSERT_TRUE(focusOn(tavrin, kCenter));
    ASSERT_TRUE(tabTo(tavrin, kDays));
    typeText("1234567890");
    ASSERT_TRUE(inputHandled(tavrin));
    EXPECT_EQ(text(dlg, kDays), "1234567890") << "more digits than the box is wide";

    ASSERT_TRUE(tabTo(tavrin, kCenter, true));
    ASSERT_TRUE(tabTo(tavrin, kDays));
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(GetDlgItem(dlg, kDays), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 10u) << "Tab selects the whole text";

    press(dlg, kCreatePopup);
    HWND results = tavrin.waitForWindow("Results");
    ASSERT_NE(results, nullptr);
    EXPECT_NE(text(results, kFunctionsBox).find("document.cookie = \"PopUp=1234567890;"), std::string::npos)
        << text(results, kFunctionsBox);
    press(results, kReturn);
}

TEST(TavrinExe, EnterInAnEditBoxEndsTheProgram)
{
    Tavrin tavrin("enter");
    ASSERT_NE(tavrin.main(), nullptr);
    click(tavrin.main(), kUrl);
    ASSERT_TRUE(waitFor([&] { return tavrin.focusedControl() == kUrl; }));
    pressKey(VK_RETURN);
    EXPECT_TRUE(tavrin.waitForEnd());
}

TEST(TavrinExe, EscapeAndTheCloseBoxEndTheProgram)
{
    {
        Tavrin tavrin("escape");
        ASSERT_NE(tavrin.main(), nullptr);
        click(tavrin.main(), kName);
        ASSERT_TRUE(waitFor([&] { return tavrin.focusedControl() == kName; }));
        pressKey(VK_ESCAPE);
        EXPECT_TRUE(tavrin.waitForEnd());
    }
    {
        Tavrin tavrin("close");
        ASSERT_NE(tavrin.main(), nullptr);
        PostMessageA(tavrin.main(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(tavrin.waitForEnd());
    }
}

TEST(TavrinExe, CopyFunctionsPutsExactlyTheGeneratedScriptOnTheClipboard)
{
    Tavrin tavrin("copy");
    HWND dlg = tavrin.main();
    ASSERT_NE(dlg, nullptr);
    typeInto(dlg, kName, "My Popup");
    typeInto(dlg, kWidth, "300");
    click(dlg, kScrollBars);
    ASSERT_TRUE(waitFor([&] { return checked(dlg, kScrollBars); })) << "the click on Scroll Bars";
    click(dlg, kOnClose);
    ASSERT_TRUE(waitFor([&] { return checked(dlg, kOnClose); })) << "the click on On Close";
    press(dlg, kCreatePopup);
    HWND results = tavrin.waitForWindow("Results");
    ASSERT_NE(results, nullptr);
    EXPECT_FALSE(IsWindowEnabled(dlg));
    EXPECT_TRUE(centredOver(results, dlg));
    // The last line of the instructions lies inside its frame, clear of the
    // frame's bottom edge.
    const RECT frame = childRect(results, "JavaScript Functions");
    const RECT line = childRect(results, "close head tag.  (</HEAD>)");
    EXPECT_LE(line.bottom, frame.bottom - GetSystemMetrics(SM_CYEDGE))
        << "the line ends at " << line.bottom << ", the frame's inside at " << frame.bottom - GetSystemMetrics(SM_CYEDGE);

    tavrin::PopupSettings settings = tavrin::PopupSettings::defaults();
    settings.windowName = "My Popup";
    settings.width = "300";
    settings.scrollBars = 1;
    settings.trigger = tavrin::PopupTrigger::OnClose;
    const tavrin::GeneratedScript expected = tavrin::ScriptGenerator::generate(settings);
    EXPECT_EQ(text(results, kFunctionsBox), expected.functionsText);
    EXPECT_EQ(text(results, kLoaderBox), expected.loaderText);
    EXPECT_EQ(text(results, kInstructionLine), expected.instructionText);
    EXPECT_FALSE(styleOf(results, kFunctionsBox) & (ES_AUTOHSCROLL | WS_HSCROLL)) << "lines wrap";
    EXPECT_EQ(text(dlg, kName), "My Popup") << "the stripped name shows only after Return";

    // Plain ASCII reaches programs that read plain text byte for byte.
    ASSERT_TRUE(putOnClipboard("stale"));
    copyWith(results, kCopyLoader);
    EXPECT_EQ(clipboardText(CF_TEXT), expected.loaderText);
    copyWith(results, kCopyFunctions);
    EXPECT_EQ(clipboardText(CF_TEXT), expected.functionsText);

    press(results, kReturn);
    ASSERT_TRUE(waitFor([&] { return tavrin.window("Results") == nullptr; }));
    EXPECT_TRUE(waitFor([&] { return text(dlg, kName) == "MyPopup"; })) << text(dlg, kName);
}

TEST(TavrinExe, ASecondClickThatArrivesWhileResultsOpensIsDropped)
{
    Tavrin tavrin("twice");
    HWND dlg = tavrin.main();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(bringToFront(dlg));
    clickControl(GetDlgItem(dlg, kCreatePopup), 2);
    HWND results = tavrin.waitForWindow("Results");
    ASSERT_NE(results, nullptr);
    ASSERT_TRUE(bringToFront(results));
    pressKey(VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(dlg) != FALSE; }));
    ASSERT_TRUE(inputHandled(tavrin));
    EXPECT_EQ(tavrin.window("Results"), nullptr) << "the second click opened Results again";
}

TEST(TavrinExe, ACopyWhileAnotherProgramHoldsTheClipboardFailsWithAMessage)
{
    Tavrin tavrin("held");
    HWND dlg = tavrin.main();
    ASSERT_NE(dlg, nullptr);
    press(dlg, kCreatePopup);
    HWND results = tavrin.waitForWindow("Results");
    ASSERT_NE(results, nullptr);

    ASSERT_TRUE(putOnClipboard("old content"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    press(results, kCopyFunctions);
    HWND box = tavrin.waitForWindow("Copy to Clipboard");
    std::string message;
    if (box) {
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            std::string t = windowText(c);
            if (t.find("not copied") != std::string::npos)
                message = t;
        }
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    CloseClipboard();
    ASSERT_NE(box, nullptr);
    EXPECT_NE(message.find("another program is using the clipboard"), std::string::npos) << message;
    EXPECT_TRUE(waitFor([&] { return tavrin.window("Copy to Clipboard") == nullptr; }));
    EXPECT_EQ(clipboardText(), "old content");
    EXPECT_TRUE(IsWindowVisible(results)) << "the Results dialog stays open";
    press(results, kReturn);
}

TEST(TavrinExe, TheSystemMenuOpensTheAboutBoxAndLeavesTheDialogUnchanged)
{
    Tavrin tavrin("about");
    HWND dlg = tavrin.main();
    ASSERT_NE(dlg, nullptr);
    typeInto(dlg, kLeft, "12");
    for (int time = 0; time < 2; ++time) {
        if (time == 0) {
            // As a user would: Alt+Space opens the system menu; ours is its last entry.
            click(dlg, kName);
            keyDown(VK_MENU);
            pressKey(VK_SPACE);
            keyUp(VK_MENU);
            ASSERT_TRUE(waitFor([&] { return tavrin.inMenu(); }));
            pressKey(VK_UP);
            pressKey(VK_RETURN);
        } else {
            PostMessageA(dlg, WM_SYSCOMMAND, 0x10, 0);
        }
        HWND about = tavrin.waitForWindow("About Tavrin");
        ASSERT_NE(about, nullptr);
        bool versionShown = false;
        for (HWND c = GetWindow(about, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            versionShown = versionShown || windowText(c) == "Tavrin Version " TAVRIN_VERSION;
        EXPECT_TRUE(versionShown);
        EXPECT_TRUE(centredOver(about, dlg));
        EXPECT_FALSE(IsWindowEnabled(dlg));
        press(about, 1);
        ASSERT_TRUE(waitFor([&] { return tavrin.window("About Tavrin") == nullptr; }));
    }
    EXPECT_TRUE(waitFor([&] { return IsWindowEnabled(dlg) != FALSE; }));
    EXPECT_EQ(text(dlg, kLeft), "12");
    EXPECT_EQ(text(dlg, kName), "PopUp");
    EXPECT_TRUE(checked(dlg, kOnLoad));
}

TEST(TavrinExe, HelpDoesNothing)
{
    Tavrin tavrin("help");
    HWND dlg = tavrin.main();
    ASSERT_NE(dlg, nullptr);
    for (int i = 0; i < 3; ++i)
        press(dlg, kHelpButton);
    click(dlg, kName);
    pressKey(VK_F1);
    ASSERT_TRUE(inputHandled(tavrin));
    EXPECT_FALSE(tavrin.hasEnded());
    EXPECT_TRUE(IsWindowEnabled(dlg));
    EXPECT_EQ(text(dlg, kName), "PopUp");
}

TEST(TavrinExe, TestPopupWritesThePageAndAsksTheShellToOpenIt)
{
    const std::filesystem::path log = "C:\\tavrin-opened.txt";
    std::filesystem::remove(log);
    Tavrin tavrin("testpage");
    HWND dlg = tavrin.main();
    ASSERT_NE(dlg, nullptr);
    typeInto(dlg, kName, "Test Me");
    press(dlg, kTestPopup);
    ASSERT_TRUE(waitFor([&] { return lineRecorded(log); })) << "the shell was not asked to open anything";
    EXPECT_NE(readFile(log).find("tvtest.htm"), std::string::npos) << readFile(log);
    EXPECT_EQ(readFile(log).rfind("nCmdShow=1 ", 0), 0u) << "the browser is asked to show its window";
    std::string page = readFile(tavrin.folder() / "tvtest.htm");
    EXPECT_NE(page.find("TestMe"), std::string::npos);
    EXPECT_NE(page.find("\r\n"), std::string::npos) << "written in text mode";
    EXPECT_TRUE(waitFor([&] { return text(dlg, kName) == "TestMe"; }));
    std::filesystem::remove(log);
}

TEST(TavrinExe, TheResourceStringsMatchThoseOfEveryPlatform)
{
    HMODULE exe = LoadLibraryExA(std::filesystem::absolute(TAVRIN_EXE).string().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    for (int id : {tavrin::res::kAboutMenuString, tavrin::res::kSocketsFailedString}) {
        char s[256]{};
        LoadStringA(exe, static_cast<UINT>(id), s, sizeof s);
        EXPECT_EQ(s, tavrin::res::strings().at(id)) << id;
    }
    EXPECT_NE(LoadImageA(exe, MAKEINTRESOURCEA(tavrin::res::kAppIcon), IMAGE_ICON, 16, 16, 0), nullptr);
    FreeLibrary(exe);
}

TEST(TavrinExe, EveryTabStopIsReachedInTemplateOrderAndOnlySpaceChangesASetting)
{
    const std::vector<int> stops = mainTabStops();
    ASSERT_EQ(stops.size(), 24u);
    Tavrin tavrin("keyboard");
    HWND dlg = tavrin.main();
    ASSERT_NE(dlg, nullptr);
    bringToFront(dlg);
    ASSERT_EQ(tavrin.focusedControl(), stops.front());

    auto tabbingAndArrowsChangeNothing = [&](const char* when) {
        const std::vector<std::string> before = settingsShown(dlg);
        tabRound(tavrin, stops);
        arrowsOnEveryStop(tavrin, stops);
        EXPECT_EQ(settingsShown(dlg), before) << when;
        ASSERT_TRUE(focusOn(tavrin, stops.front()));
    };
    tabbingAndArrowsChangeNothing("with the first choices");

    // Space selects each radio button, clearing the others of its set, and
    // ticks each check box.
    const std::vector<std::vector<int>> sets = {{kOnLoad, kOnClose, kOnButton}, {kPopOver, kPopUnder}};
    for (size_t i = 1; i < stops.size(); ++i) {
        const int id = stops[i];
        ASSERT_TRUE(tabTo(tavrin, id)) << id;
        const auto set = std::find_if(sets.begin(), sets.end(), [&](const std::vector<int>& radios) {
            return std::find(radios.begin(), radios.end(), id) != radios.end();
        });
        if (set == sets.end() && tavrin::res::mainTemplate().control(id)->kind != ControlKind::CheckBox)
            continue;
        pressKey(VK_SPACE);
        EXPECT_TRUE(waitFor([&] {
            bool alone = checked(dlg, id);
            for (int other : set == sets.end() ? std::vector<int>{} : *set)
                alone = alone && (other == id || !checked(dlg, other));
            return alone;
        })) << "Space on " << id;
    }
    EXPECT_TRUE(checked(dlg, kOnButton) && checked(dlg, kPopUnder) && checked(dlg, kCenter));
    ASSERT_TRUE(focusOn(tavrin, stops.front()));
    tabbingAndArrowsChangeNothing("with the other choices");
}

TEST(TavrinExe, AWholeRequestCanBeMadeFromTheKeyboardAlone)
{
    Tavrin tavrin("keyboard-request");
    HWND dlg = tavrin.main();
    ASSERT_NE(dlg, nullptr);
    bringToFront(dlg);
    ASSERT_EQ(tavrin.focusedControl(), kName);
    pressKey(VK_END);
    pressWith(VK_SHIFT, VK_HOME);
    typeText("My Popup");
    ASSERT_TRUE(waitFor([&] { return text(dlg, kName) == "My Popup"; })) << text(dlg, kName);
    for (int id : {kUrl, kOnLoad, kOnClose})
        ASSERT_TRUE(tabTo(tavrin, id));
    pressKey(VK_SPACE);
    for (int id : {kOnButton, kPopOver, kPopUnder, kDirectories, kMenuBar, kLocation, kResizable, kScrollBars})
        ASSERT_TRUE(tabTo(tavrin, id));
    pressKey(VK_SPACE);
    for (int id : {kStatusBar, kToolbar, kHeight, kWidth, kLeft, kTop, kCenter, kDays, kQuit, kCreatePopup})
        ASSERT_TRUE(tabTo(tavrin, id));
    pressKey(VK_SPACE);

    HWND results = tavrin.waitForWindow("Results");
    ASSERT_NE(results, nullptr);
    ASSERT_TRUE(waitFor([&] { return tavrin.focusedControl(results) == kReturn; }));
    for (int id : {kFunctionsBox, kLoaderBox, kCopyLoader, kCopyFunctions})
        ASSERT_TRUE(tabTo(tavrin, id, false, results));
    ASSERT_TRUE(putOnClipboard("stale"));
    const DWORD before = GetClipboardSequenceNumber();
    pressKey(VK_SPACE);
    ASSERT_TRUE(waitFor([&] { return GetClipboardSequenceNumber() != before; }));

    tavrin::PopupSettings settings = tavrin::PopupSettings::defaults();
    settings.windowName = "My Popup";
    settings.scrollBars = 1;
    settings.trigger = tavrin::PopupTrigger::OnClose;
    const std::string expected = tavrin::ScriptGenerator::generate(settings).functionsText;
    EXPECT_TRUE(waitFor([&] { return clipboardText() == expected; })) << clipboardText();
    EXPECT_EQ(clipboardText(CF_TEXT), expected);

    pressKey(VK_ESCAPE);
    ASSERT_TRUE(waitFor([&] { return tavrin.window("Results") == nullptr; }));
    EXPECT_TRUE(waitFor([&] { return text(dlg, kName) == "MyPopup"; })) << text(dlg, kName);
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(tavrin.waitForEnd());
}

// Pastes `value` into an edit box with Ctrl+V, replacing what it held, and
// waits until the box shows exactly `value`.
void pasteInto(const Tavrin& tavrin, int id, const std::string& value)
{
    ASSERT_TRUE(putOnClipboard(value));
    bringToFront(tavrin.main());
    ASSERT_TRUE(focusOn(tavrin, id));
    pressWith(VK_CONTROL, 'V');
    HWND box = GetDlgItem(tavrin.main(), id);
    ASSERT_TRUE(waitFor([&] { return windowText(box) == value; }))
        << "box " << id << " shows " << widen(windowText(box)).size() << " characters, not the "
        << widen(value).size() << " pasted";
}

TEST(TavrinExe, NonAsciiTextAndAHundredKilobyteUrlSurviveEveryCommand)
{
    // Cyrillic, accented Latin in quotes, an emoji; a URL of 102,400 characters.
    const std::string name = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \"\xC3\xA9\" \xF0\x9F\x98\x80";
    std::string url = "http://www.tavrin.example/\xD1\x81\xD1\x82\xD1\x80\xD0\xB0\xD0\xBD\xD0\xB8\xD1\x86\xD0\xB0/"
                      "caf\xC3\xA9/\xF0\x9F\x98\x80?q=";
    url.append(102400 - widen(url).size(), 'q');
    ASSERT_EQ(widen(url).size(), 102400u);

    Tavrin tavrin("unicode");
    HWND dlg = tavrin.main();
    ASSERT_NE(dlg, nullptr);
    pasteInto(tavrin, kName, name);
    pasteInto(tavrin, kUrl, url);
    EXPECT_EQ(text(dlg, kName), name);

    tavrin::PopupSettings settings = tavrin::PopupSettings::defaults();
    settings.windowName = name;
    settings.pageUrl = url;
    // The generator also takes the blanks out of settings.windowName.
    const tavrin::GeneratedScript expected = tavrin::ScriptGenerator::generate(settings);

    press(dlg, kCreatePopup);
    HWND results = tavrin.waitForWindow("Results");
    ASSERT_NE(results, nullptr);
    EXPECT_TRUE(text(results, kFunctionsBox) == expected.functionsText);
    EXPECT_EQ(text(results, kLoaderBox), expected.loaderText);
    // A line this long would take minutes to wrap: the box scrolls sideways,
    // shows the line from its start, and still follows "Return" in the tab
    // order.
    EXPECT_TRUE(styleOf(results, kFunctionsBox) & WS_HSCROLL);
    const std::string shown = text(results, kFunctionsBox);
    const int urlLine = static_cast<int>(std::count(shown.begin(), shown.begin() + shown.find("var page"), '\n'));
    EXPECT_TRUE(waitFor([&] { return lineShows(GetDlgItem(results, kFunctionsBox), urlLine); }))
        << "line " << urlLine << " shows blank";
    bringToFront(results);
    EXPECT_TRUE(tabTo(tavrin, kFunctionsBox, false, results));
    copyWith(results, kCopyLoader);
    EXPECT_EQ(clipboardText(), expected.loaderText);
    copyWith(results, kCopyFunctions);
    EXPECT_TRUE(clipboardText() == expected.functionsText) << "the clipboard holds " << clipboardText().size()
                                                          << " of " << expected.functionsText.size() << " bytes";
    press(results, kReturn);
    ASSERT_TRUE(waitFor([&] { return tavrin.window("Results") == nullptr; }));
    EXPECT_TRUE(waitFor([&] { return text(dlg, kName) == settings.windowName; })) << text(dlg, kName);
    EXPECT_TRUE(text(dlg, kUrl) == url);

    // Test Popup writes what the generator's page writer writes for the same
    // settings, and asks the shell to show it.
    const std::filesystem::path log = "C:\\tavrin-opened.txt";
    std::filesystem::remove(log);
    press(dlg, kTestPopup);
    ASSERT_TRUE(waitFor([&] { return lineRecorded(log); })) << "the shell was not asked to open anything";
    EXPECT_EQ(readFile(log).rfind("nCmdShow=1 ", 0), 0u) << readFile(log);
    const std::u8string expectedPath = (tavrin.folder() / "expected.htm").u8string();
    const tavrin::TestPageWriter expectedPage(std::string(expectedPath.begin(), expectedPath.end()));
    ASSERT_TRUE(expectedPage.writePage(tavrin::TestPageWriter::composePage(
        tavrin::ScriptGenerator::generate(settings), tavrin::PopupTrigger::OnLoad)));
    EXPECT_TRUE(readFile(tavrin.folder() / "tvtest.htm") == readFile(tavrin.folder() / "expected.htm"));
    std::filesystem::remove(log);
}

}  // namespace
