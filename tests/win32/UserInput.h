#pragma once
// A user's mouse and keyboard for the Windows tests: input goes through the
// system's input queue to whatever window is in front, as a person's would.
#include <windows.h>

#include <chrono>
#include <functional>
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

// A left click in the middle of `control`, once its window is in front.
inline void clickControl(HWND control)
{
    HWND window = GetAncestor(control, GA_ROOT);
    SetForegroundWindow(window);
    waitFor([&] { return GetForegroundWindow() == window; });
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

}  // namespace tavrin::test
