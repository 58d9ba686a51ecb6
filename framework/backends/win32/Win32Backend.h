#pragma once
// The Win32 back end: dialogs built from our templates as in-memory dialog
// templates and run by the system's dialog manager, which gives Enter,
// Escape, the default button and tabbing natively and reports them as
// commands. The platform services use the Windows clipboard, the shell's
// "open" and Windows Sockets.
//
// Create one Win32Backend for the program's lifetime and hand it to the
// framework; nothing in this header needs <windows.h>. Each dialog runs as a
// Win32DialogWindow.

#include "framework/Backend.h"

namespace tavrin::fw::win32 {

class Win32Backend final : public Backend {
public:
    Win32Backend() = default;
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    int runModal(const DialogTemplate& tmpl, Window* owner, WindowEvents& events) override;
    PixelRect workArea() const override;
    int messageBox(Window* owner, std::string_view text, std::string_view caption, MbButtons buttons,
                   MbIcon icon) override;
    ClipboardResult copyText(Window& owner, std::string_view text) override;
    bool openWithDefaultApplication(const std::string& path) override;
    bool startSockets() override;

private:
    bool socketsStarted_ = false;
};

}  // namespace tavrin::fw::win32
