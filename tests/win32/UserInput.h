#pragma once
// A user's mouse and keyboard for the Windows tests: input goes through the
// system's input queue to whatever window is in front, as a person's would.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string_view>
#include <thread>

namespace tavrin::test {

// Polls `done` for up to 10 seconds.
inline bool waitFor(const std::function<bool()>& done)
{
    for (int i = 0; i < 200; ++i) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

// Brings `window` to the front, where keyboard input goes.
inline void bringToFront(HWND window)
{
    SetForegroundWindow(window);
    waitFor([&] { return GetForegroundWindow() == window; });
}

// Returns once the thread of `window` has handled the input sent so far: a
// message sent to a thread is handled only when it next takes a message from
// its queue, so a few of them in a row let it work through its input.
inline void waitUntilHandled(HWND window)
{
    for (int i = 0; i < 8; ++i)
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, nullptr);
}

// A left click in the middle of `control`, once its window is in front.
inline void clickControl(HWND control)
{
    bringToFront(GetAncestor(control, GA_ROOT));
    RECT r{};
    GetWindowRect(control, &r);
    INPUT in[3]{};
    in[0].type = in[1].type = in[2].type = INPUT_MOUSE;
    in[0].mi.dx = ((r.left + r.right) / 2 * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in[0].mi.dy = ((r.top + r.bottom) / 2 * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, in, sizeof in[0]);
}

inline void keyDown(WORD vk, DWORD flags = 0)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

inline void keyUp(WORD vk)
{
    keyDown(vk, KEYEVENTF_KEYUP);
}

// One key pressed and released.
inline void pressKey(WORD vk)
{
    keyDown(vk);
    keyUp(vk);
}

// One key pressed and released while `modifier` is held, as Shift+Tab.
inline void pressWith(WORD modifier, WORD vk)
{
    keyDown(modifier);
    pressKey(vk);
    keyUp(modifier);
}

// Types plain ASCII text key by key, with Shift where the layout needs it.
inline void typeText(std::string_view text)
{
    for (char c : text) {
        const SHORT key = VkKeyScanA(c);
        if (HIBYTE(key) & 1)
            pressWith(VK_SHIFT, LOBYTE(key));
        else
            pressKey(LOBYTE(key));
    }
}

}  // namespace tavrin::test
