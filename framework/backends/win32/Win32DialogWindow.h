#pragma once
// One dialog while its modal run lasts: built by the system's dialog manager
// from our template, seen by the framework as a fw::Window, and passing the
// dialog manager's messages on to the framework's WindowEvents. Texts cross
// to and from the controls through the wide-character functions, as UTF-8 on
// our side.
//
// `Win32Backend::runModal` makes one and runs it; tests reach its native
// window through `hwnd()`.

#include "framework/Backend.h"

#include <windows.h>

#include <set>

namespace tavrin::fw::win32 {

class Win32DialogWindow final : public Window {
public:
    Win32DialogWindow(const DialogTemplate& tmpl, WindowEvents& events) : tmpl_(tmpl), events_(events) {}

    // Creates the dialog owned by `owner` (none: nullptr) and runs it until it
    // ends; its result, or -1 when it could not be created or initialised.
    int run(const Win32DialogWindow* owner);
    HWND hwnd() const { return hwnd_; }

    std::string text(int id) const override;
    void setText(int id, std::string_view text) override;
    int checkState(int id) const override;
    void setCheckState(int id, int state) override;
    bool addListItem(int id, std::string_view item) override;
    int listCount(int id) const override;
    std::string listItem(int id, int index) const override;
    int listSelection(int id) const override;
    void setListSelection(int id, int index) override;
    bool isListDropped(int id) const override;
    void closeList(int id) override;
    int focus() const override;
    void setFocus(int id) override;
    PixelRect frame() const override;
    void moveTo(int x, int y) override;
    bool isVisibleAndNotMinimised() const override;
    void setIcon(int iconId) override;
    bool appendSystemMenuSeparator() override;
    bool appendSystemMenuItem(unsigned command, std::string_view text) override;
    void openWindowMenu() override;
    void endDialog(int result) override;

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void prepareControls();
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }

    const DialogTemplate& tmpl_;
    WindowEvents& events_;
    HWND hwnd_ = nullptr;
    bool focusWasSet_ = false;
    bool ended_ = false;
    std::set<WPARAM> systemCommands_;
};

}  // namespace tavrin::fw::win32
