// The contract's host for the Win32 back end, under Wine: steps run from
// thread timers, which whatever modal loop is innermost (the dialog
// manager's, a message box's, a menu's) dispatches; keys and clicks go
// through the system's input queue (SendInput) to whatever window is under
// the pointer or has the keyboard, as a user's would; the clipboard is read
// by a second program.
#include "contract/Host.h"

#include "framework/backends/win32/Win32Backend.h"
#include "framework/backends/win32/Win32DialogWindow.h"
#include "win32/UserInput.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tavrin::test::contract {
namespace {

HWND hwndOf(fw::Window& window)
{
    return dynamic_cast<fw::win32::Win32DialogWindow&>(window).hwnd();
}

std::string classOf(HWND h)
{
    char name[64]{};
    GetClassNameA(h, name, sizeof name);
    return name;
}

// True once the thread's active window (the innermost dialog or message
// box) shows, takes input and is in front, where keys go: input sent before
// then goes astray. Until then it is brought to the front.
bool innermostReady()
{
    HWND active = GetActiveWindow();
    if (active == nullptr || !IsWindowVisible(active) || !IsWindowEnabled(active))
        return false;
    if (GetForegroundWindow() != active) {
        SetForegroundWindow(active);
        return false;
    }
    return true;
}

// A function a thread timer calls until it returns true. The timer fires
// again inside any modal loop the function itself runs (a message box, a
// nested dialog); it does not call the function again while it runs.
struct Repeated {
    std::function<bool()> tick;
    bool running = false;
};

std::map<UINT_PTR, std::shared_ptr<Repeated>>& repeated()
{
    static std::map<UINT_PTR, std::shared_ptr<Repeated>> timers;
    return timers;
}

void CALLBACK onTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    auto found = repeated().find(timer);
    if (found == repeated().end()) {
        KillTimer(nullptr, timer);
        return;
    }
    std::shared_ptr<Repeated> r = found->second;
    if (r->running || !innermostReady())
        return;
    r->running = true;
    const bool done = r->tick();
    r->running = false;
    if (done) {
        KillTimer(nullptr, timer);
        repeated().erase(timer);
    }
}

// Reads the clipboard's Unicode text in a second program, once at a time.
class ClipboardReader {
public:
    ClipboardReader()
    {
        std::remove(kFile);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string command = std::string(CLIPBOARD_TOOL) + " unicode " + kFile;
        started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                                  &process_) != FALSE;
    }
    ~ClipboardReader()
    {
        if (!started_)
            return;
        if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    ClipboardReader(const ClipboardReader&) = delete;
    ClipboardReader& operator=(const ClipboardReader&) = delete;

    bool done() const { return !started_ || WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }
    // What it read; none when the clipboard held no text or could not be read.
    std::optional<std::string> text() const
    {
        DWORD code = 1;
        if (!started_ || !GetExitCodeProcess(process_.hProcess, &code) || code != 0)
            return std::nullopt;
        std::ifstream in(kFile, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    static constexpr const char* kFile = "contract-clipboard.txt";
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

class Win32Host final : public Host {
public:
    ~Win32Host() override
    {
        for (UINT_PTR timer : timers_) {
            KillTimer(nullptr, timer);
            repeated().erase(timer);
        }
    }

    fw::Backend& backend() override { return backend_; }

    void repeat(std::function<bool()> tick) override
    {
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, onTimer);
        repeated()[timer] = std::make_shared<Repeated>(Repeated{std::move(tick)});
        timers_.insert(timer);
    }

    void press(fw::Window& window, Key key) override
    {
        SetForegroundWindow(hwndOf(window));
        switch (key) {
        case Key::Tab: pressKey(VK_TAB); break;
        case Key::ShiftTab: pressWith(VK_SHIFT, VK_TAB); break;
        case Key::Enter: pressKey(VK_RETURN); break;
        case Key::Escape: pressKey(VK_ESCAPE); break;
        case Key::Space: pressKey(VK_SPACE); break;
        case Key::F4: pressKey(VK_F4); break;
        case Key::AltDown: pressWith(VK_MENU, VK_DOWN); break;
        case Key::Up: pressKey(VK_UP); break;
        case Key::Down: pressKey(VK_DOWN); break;
        }
    }

    void click(fw::Window& window, int id) override
    {
        // A window that takes input comes to the front first; a disabled
        // owner stays where it is, under the dialog it owns.
        HWND dialog = hwndOf(window);
        if (IsWindowEnabled(dialog))
            SetForegroundWindow(dialog);
        RECT r{};
        GetWindowRect(GetDlgItem(dialog, id), &r);
        clickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    void clickCloseBox(fw::Window& window) override
    {
        // The close box is wherever the frame's hit test says it is: the
        // middle of the points in the top right corner that answer HTCLOSE.
        HWND dialog = hwndOf(window);
        SetForegroundWindow(dialog);
        RECT frame{};
        GetWindowRect(dialog, &frame);
        long sumX = 0;
        long sumY = 0;
        long count = 0;
        for (LONG y = frame.top; y < frame.top + 60 && y < frame.bottom; ++y) {
            for (LONG x = frame.right - 1; x > frame.right - 100 && x >= frame.left; --x) {
                if (SendMessageW(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                    sumX += x;
                    sumY += y;
                    ++count;
                }
            }
        }
        if (count > 0)
            clickAt(static_cast<int>(sumX / count), static_cast<int>(sumY / count));
        else
            ADD_FAILURE() << "no close box in the frame of the dialog";
    }

    void chooseWindowMenuEntry(fw::Window& window, unsigned command) override
    {
        // Alt+Space opens the window menu; the entry takes a click once the menu shows.
        HWND dialog = hwndOf(window);
        SetForegroundWindow(dialog);
        pressWith(VK_MENU, VK_SPACE);
        repeat([dialog, command] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            if (!GetGUIThreadInfo(GetCurrentThreadId(), &info) || !(info.flags & GUI_INMENUMODE))
                return false;
            HMENU menu = GetSystemMenu(dialog, FALSE);
            RECT r{};
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                if (GetMenuItemID(menu, i) == command) {
                    if (!GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r) || IsRectEmpty(&r))
                        return false;
                    clickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
                    return true;
                }
            }
            ADD_FAILURE() << "no entry " << command << " in the window menu";
            return true;
        });
    }

    void answerMessageBox(int index) override
    {
        // The next message box is the next active window other than the one
        // active now; its buttons are counted from the left, as they show.
        HWND before = GetActiveWindow();
        repeat([before, index] {
            HWND box = GetActiveWindow();
            if (box == before || classOf(box) != "#32770")
                return false;
            std::vector<HWND> buttons;
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                if (classOf(c) == "Button" && IsWindowVisible(c))
                    buttons.push_back(c);
            }
            std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
                RECT ra{};
                RECT rb{};
                GetWindowRect(a, &ra);
                GetWindowRect(b, &rb);
                return ra.left < rb.left;
            });
            if (static_cast<std::size_t>(index) >= buttons.size()) {
                ADD_FAILURE() << "the message box has " << buttons.size() << " buttons";
                return true;
            }
            RECT r{};
            GetWindowRect(buttons[static_cast<std::size_t>(index)], &r);
            clickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            return true;
        });
    }

    std::optional<std::string> clipboardText() override
    {
        if (!reader_)
            reader_ = std::make_unique<ClipboardReader>();
        if (!reader_->done())
            return std::nullopt;
        std::optional<std::string> text = reader_->text();
        reader_.reset();
        return text;
    }

private:
    fw::win32::Win32Backend backend_;
    std::set<UINT_PTR> timers_;
    std::unique_ptr<ClipboardReader> reader_;
};

}  // namespace

std::unique_ptr<Host> makeHost()
{
    return std::make_unique<Win32Host>();
}

}  // namespace tavrin::test::contract
