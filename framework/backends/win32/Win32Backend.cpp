#include "framework/backends/win32/Win32Backend.h"

#include "win32/Utf16.h"
#include "framework/backends/win32/Win32DialogWindow.h"
#include "framework/backends/win32/Winsock.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <string_view>

namespace tavrin::fw::win32 {
namespace {

HWND handleOf(const Window* window)
{
    auto* w = dynamic_cast<const Win32DialogWindow*>(window);
    return w ? w->hwnd() : nullptr;
}

// The clipboard, open for one copy and closed when this goes.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard()
    {
        if (open_)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool isOpen() const { return open_; }

private:
    bool open_;
};

// A movable global memory block, freed when this goes unless handed over.
class GlobalBlock {
public:
    explicit GlobalBlock(SIZE_T size) : block_(GlobalAlloc(GMEM_MOVEABLE, size)) {}
    ~GlobalBlock()
    {
        if (block_)
            GlobalFree(block_);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    HGLOBAL get() const { return block_; }
    void release() { block_ = nullptr; }

private:
    HGLOBAL block_;
};

// A global memory block locked while this lasts.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL block) : block_(block), data_(GlobalLock(block)) {}
    ~GlobalLockGuard()
    {
        if (data_)
            GlobalUnlock(block_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    char* data() const { return static_cast<char*>(data_); }

private:
    HGLOBAL block_;
    void* data_;
};

}  // namespace

Win32Backend::~Win32Backend()
{
    if (socketsStarted_)
        WSACleanup();
}

int Win32Backend::runModal(const DialogTemplate& tmpl, Window* owner, WindowEvents& events)
{
    Win32DialogWindow window(tmpl, events);
    return window.run(dynamic_cast<const Win32DialogWindow*>(owner));
}

PixelRect Win32Backend::workArea() const
{
    RECT r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

int Win32Backend::messageBox(Window* owner, std::string_view text, std::string_view caption, MbButtons buttons,
                             MbIcon icon)
{
    UINT type = static_cast<UINT>(buttons) | static_cast<UINT>(icon);
    return MessageBoxW(handleOf(owner), widen(text).c_str(), widen(caption).c_str(), type);
}

// The text goes on the clipboard as Unicode text, so that every letter
// survives; Windows offers it as plain text in the system code page to
// programs that ask for that.
ClipboardResult Win32Backend::copyText(Window& owner, std::string_view text)
{
    OpenedClipboard clipboard(handleOf(&owner));
    if (!clipboard.isOpen())
        return ClipboardResult::CannotOpen;
    const std::wstring wide = widen(text);
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    GlobalBlock block(bytes);
    if (!block.get())
        return ClipboardResult::NoMemory;
    {
        GlobalLockGuard lock(block.get());
        if (!lock.data())
            return ClipboardResult::NoMemory;
        std::memcpy(lock.data(), wide.c_str(), bytes);
    }
    if (!EmptyClipboard())
        return ClipboardResult::Refused;
    if (!SetClipboardData(CF_UNICODETEXT, block.get()))
        return ClipboardResult::Refused;
    // The system owns the block from here on.
    block.release();
    return ClipboardResult::Copied;
}

bool Win32Backend::openWithDefaultApplication(const std::string& path)
{
    const std::wstring file = widen(path);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info))
        return false;
    if (!info.hProcess)  // handed to a program already running
        return true;
    // A browser that ends with a failure within two seconds has shown nothing.
    DWORD code = 0;
    const bool failed = WaitForSingleObject(info.hProcess, 2000) == WAIT_OBJECT_0 &&
                        GetExitCodeProcess(info.hProcess, &code) && code != 0;
    CloseHandle(info.hProcess);
    return !failed;
}

bool Win32Backend::startSockets()
{
    if (!socketsStarted_)
        socketsStarted_ = startWinsock11(WSAStartup, WSACleanup);
    return socketsStarted_;
}

}  // namespace tavrin::fw::win32
