#pragma once
// A user's mouse and keyboard for the Windows tests: input goes through the
// system's input queue to whatever window is in front, as a person's would.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string_view>
#include <thread>
#include <vector>

namespace tavrin::test {

// Polls `done` every 10 ms for up to `seconds` seconds.
inline bool waitFor(const std::function<bool()>& done, int seconds = 10)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

// Brings `window` to the front, where keyboard input goes; false when it
// never got there.
inline bool bringToFront(HWND window)
{
    SetForegroundWindow(window);
    return waitFor([&] { return GetForegroundWindow() == window; });
}

// Waits until the thread of `window` has handled the mouse and keyboard input
// sent so far. A thread paints only when no input is waiting for it, so once
// `window`, made invalid here after the input was sent, has been repainted,
// that input has been handled. `window` must be visible and in front, so that
// the invalidation is not clipped away; a control of the front dialog does.
inline bool waitForInputHandled(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE);
    return waitFor([&] { return !GetUpdateRect(window, nullptr, FALSE); });
}

// `clicks` left clicks at the screen point (x, y), back to back, on whatever
// window is there.
inline void clickAt(int x, int y, int clicks = 1)
{
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = (x * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = (y * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    std::vector<INPUT> in{move};
    for (int i = 0; i < clicks; ++i) {
        INPUT button{};
        button.type = INPUT_MOUSE;
        button.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        in.push_back(button);
        button.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        in.push_back(button);
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof in[0]);
}

// `clicks` left clicks in the middle of `control`, back to back, once its
// window is in front.
inline void clickControl(HWND control, int clicks = 1)
{
    bringToFront(GetAncestor(control, GA_ROOT));
    RECT r{};
    GetWindowRect(control, &r);
    clickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, clicks);
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
