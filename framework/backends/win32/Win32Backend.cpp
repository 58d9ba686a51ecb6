#include "framework/backends/win32/Win32Backend.h"

#include "framework/App.h"
#include "framework/backends/win32/DialogTemplateWriter.h"
#include "framework/backends/win32/Utf8.h"
#include "framework/backends/win32/Winsock.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <set>
#include <string>
#include <string_view>

namespace tavrin::fw {
namespace {

HINSTANCE programInstance()
{
    return GetModuleHandleA(nullptr);
}

HICON loadIcon(int iconId)
{
    return LoadIconA(programInstance(), MAKEINTRESOURCEA(iconId));
}

// Wine's edit control wraps a line in time that grows with the square of its
// length: 4,096 characters take a quarter of a second, a 100,000-character
// URL minutes, while many short lines wrap quickly. True when `text` holds a
// line longer than 4,096 characters.
bool tooLongToWrap(std::wstring_view text)
{
    constexpr size_t kLongestWrappedLine = 4096;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L'\n', start);
        end = end == std::wstring_view::npos ? text.size() : end;
        if (end - start > kLongestWrappedLine)
            return true;
        start = end + 1;
    }
    return false;
}

bool wrapsLines(HWND control)
{
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    return (style & ES_MULTILINE) && !(style & ES_AUTOHSCROLL);
}

// A box of several lines that wraps them, remade in its place to scroll
// sideways instead: an edit control's wrapping is fixed when it is made.
HWND remakeWithoutWrapping(HWND box)
{
    HWND dialog = GetParent(box);
    RECT r{};
    GetWindowRect(box, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(box, GWL_STYLE)) | ES_AUTOHSCROLL | WS_HSCROLL;
    HWND replacement = CreateWindowExW(
        static_cast<DWORD>(GetWindowLongPtrW(box, GWL_EXSTYLE)), L"EDIT", L"", style, r.left, r.top,
        r.right - r.left, r.bottom - r.top, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(box))), programInstance(), nullptr);
    if (!replacement)
        return box;
    SendMessageW(replacement, WM_SETFONT, SendMessageW(box, WM_GETFONT, 0, 0), FALSE);
    SendMessageW(replacement, EM_SETLIMITTEXT, 0, 0);
    // The same place among the dialog's controls keeps the tab order.
    SetWindowPos(replacement, box, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool hadFocus = GetFocus() == box;
    DestroyWindow(box);
    if (hadFocus)
        SetFocus(replacement);
    return replacement;
}

// One dialog while its modal run lasts: the Window the framework talks to,
// and the events it reports to. Texts cross to and from the controls through
// the wide-character functions, as UTF-8 on our side.
class Win32Window final : public Window {
public:
    Win32Window(const DialogTemplate& tmpl, WindowEvents& events) : tmpl_(tmpl), events_(events) {}

    HWND hwnd() const { return hwnd_; }
    void attach(HWND hwnd) { hwnd_ = hwnd; }
    WindowEvents& events() { return events_; }
    bool focusWasSet() const { return focusWasSet_; }
    bool isOwnSystemCommand(WPARAM command) const { return systemCommands_.count(command & 0xFFF0) != 0; }

    // Readies the controls the dialog manager made, before the framework
    // fills them: edit boxes and the combo box's edit field take texts of any
    // length (an edit control keeps at most 30,000 characters unless told
    // otherwise), and radio buttons do not click themselves when they take
    // the focus (Windows would otherwise select a clear one that Tab reaches).
    void prepareControls()
    {
        for (const ControlTemplate& c : tmpl_.controls) {
            if (c.kind == ControlKind::Edit)
                SendDlgItemMessageW(hwnd_, c.id, EM_SETLIMITTEXT, 0, 0);
            else if (c.kind == ControlKind::ComboBox)
                SendDlgItemMessageW(hwnd_, c.id, CB_LIMITTEXT, 0, 0);
            else if (c.kind == ControlKind::RadioButton)
                SendDlgItemMessageW(hwnd_, c.id, BM_SETDONTCLICK, TRUE, 0);
        }
    }

    std::string text(int id) const override
    {
        HWND control = item(id);
        if (!control)
            return {};
        std::wstring s(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
        int n = GetWindowTextW(control, s.data(), static_cast<int>(s.size()));
        s.resize(static_cast<size_t>(n > 0 ? n : 0));
        return win32::narrow(s);
    }
    void setText(int id, std::string_view text) override
    {
        HWND control = item(id);
        if (!control)
            return;
        const std::wstring wide = win32::widen(text);
        if (wrapsLines(control) && tooLongToWrap(wide))
            control = remakeWithoutWrapping(control);
        SetWindowTextW(control, wide.c_str());
    }

    int checkState(int id) const override
    {
        return static_cast<int>(SendDlgItemMessageW(hwnd_, id, BM_GETCHECK, 0, 0));
    }
    void setCheckState(int id, int state) override
    {
        // Checking a radio button also gives it the tab-stop style, and
        // clearing one takes the style away; here every control keeps the tab
        // stop of its template, so Tab reaches each radio button whatever is
        // selected.
        HWND control = item(id);
        if (!control)
            return;
        const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
        SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(state), 0);
        if (GetWindowLongPtrW(control, GWL_STYLE) != style)
            SetWindowLongPtrW(control, GWL_STYLE, style);
    }

    bool addListItem(int id, std::string_view item) override
    {
        const std::wstring s = win32::widen(item);
        LRESULT r = SendDlgItemMessageW(hwnd_, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
        return r != CB_ERR && r != CB_ERRSPACE;
    }
    int listCount(int id) const override
    {
        LRESULT n = SendDlgItemMessageW(hwnd_, id, CB_GETCOUNT, 0, 0);
        return n == CB_ERR ? 0 : static_cast<int>(n);
    }
    std::string listItem(int id, int index) const override
    {
        LRESULT len = SendDlgItemMessageW(hwnd_, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (len == CB_ERR)
            return {};
        std::wstring s(static_cast<size_t>(len) + 1, L'\0');
        LRESULT n = SendDlgItemMessageW(hwnd_, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(s.data()));
        s.resize(n == CB_ERR ? 0 : static_cast<size_t>(n));
        return win32::narrow(s);
    }
    int listSelection(int id) const override
    {
        return static_cast<int>(SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0));
    }
    void setListSelection(int id, int index) override
    {
        SendDlgItemMessageW(hwnd_, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        if (index < 0)
            SetDlgItemTextW(hwnd_, id, L"");
    }
    bool isListDropped(int id) const override
    {
        return SendDlgItemMessageW(hwnd_, id, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
    }
    void closeList(int id) override { SendDlgItemMessageW(hwnd_, id, CB_SHOWDROPDOWN, FALSE, 0); }

    int focus() const override
    {
        // The focus may sit in a control's own child, such as a combo box's edit field.
        for (HWND h = GetFocus(); h; h = GetParent(h)) {
            if (GetParent(h) == hwnd_) {
                int id = GetDlgCtrlID(h);
                return id == 0xFFFF ? kNoId : id;
            }
        }
        return kNoId;
    }
    void setFocus(int id) override
    {
        HWND control = item(id);
        if (!control)
            return;
        // Through the dialog manager, so that the default button follows the focus.
        SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        focusWasSet_ = true;
    }

    PixelRect frame() const override
    {
        RECT r{};
        GetWindowRect(hwnd_, &r);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    void moveTo(int x, int y) override
    {
        SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    bool isVisibleAndNotMinimised() const override { return IsWindowVisible(hwnd_) && !IsIconic(hwnd_); }

    void setIcon(int iconId) override
    {
        HICON icon = loadIcon(iconId);
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    bool appendSystemMenuSeparator() override
    {
        HMENU menu = GetSystemMenu(hwnd_, FALSE);
        return menu && AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    }
    bool appendSystemMenuItem(unsigned command, std::string_view text) override
    {
        HMENU menu = GetSystemMenu(hwnd_, FALSE);
        if (!menu || !AppendMenuW(menu, MF_STRING, command, win32::widen(text).c_str()))
            return false;
        systemCommands_.insert(command & 0xFFF0);
        return true;
    }

    void endDialog(int result) override { EndDialog(hwnd_, result); }

private:
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }

    const DialogTemplate& tmpl_;
    WindowEvents& events_;
    HWND hwnd_ = nullptr;
    bool focusWasSet_ = false;
    std::set<WPARAM> systemCommands_;
};

// The client area of a window being painted; BeginPaint runs with the first
// drawing call and EndPaint when the context goes.
class Win32PaintContext final : public PaintContext {
public:
    explicit Win32PaintContext(HWND hwnd) : hwnd_(hwnd) {}
    ~Win32PaintContext() override
    {
        if (dc_)
            EndPaint(hwnd_, &paint_);
    }
    Win32PaintContext(const Win32PaintContext&) = delete;
    Win32PaintContext& operator=(const Win32PaintContext&) = delete;

    bool painted() const { return dc_ != nullptr; }

    bool isMinimised() const override { return IsIconic(hwnd_); }
    int clientWidth() const override { return clientRect().right; }
    int clientHeight() const override { return clientRect().bottom; }
    int iconWidth() const override { return GetSystemMetrics(SM_CXICON); }
    int iconHeight() const override { return GetSystemMetrics(SM_CYICON); }
    void eraseIconBackground() override
    {
        SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc()), 0);
    }
    void drawIcon(int iconId, int x, int y) override { DrawIcon(dc(), x, y, loadIcon(iconId)); }

private:
    RECT clientRect() const
    {
        RECT r{};
        GetClientRect(hwnd_, &r);
        return r;
    }
    HDC dc()
    {
        if (!dc_)
            dc_ = BeginPaint(hwnd_, &paint_);
        return dc_;
    }

    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// Routes the dialog manager's messages to the framework.
INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* window = reinterpret_cast<Win32Window*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        window->attach(hwnd);
        window->prepareControls();
        if (!window->events().onInitDialog(*window)) {
            EndDialog(hwnd, -1);
            return TRUE;
        }
        // Focus set by the framework stays; otherwise the first tab stop takes it.
        return window->focusWasSet() ? FALSE : TRUE;
    }
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!window)
        return FALSE;

    switch (message) {
    case WM_COMMAND:
        // From a control only button clicks are commands (the dialog manager's
        // Enter and Escape come as clicks too); edit and combo notifications
        // are not.
        if (lParam != 0 && HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        // A radio button only reports its click (see the template writer);
        // checking it here keeps the promise that a clicked radio button has
        // changed its state before the framework hears of it.
        if (lParam != 0 && (GetWindowLongPtrW(reinterpret_cast<HWND>(lParam), GWL_STYLE) & BS_TYPEMASK) ==
                               BS_RADIOBUTTON)
            window->setCheckState(LOWORD(wParam), BST_CHECKED);
        window->events().onCommand(LOWORD(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            window->events().onCommand(kIdCancel);
            return TRUE;
        }
        if (window->isOwnSystemCommand(wParam)) {
            window->events().onSysCommand(static_cast<unsigned>(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_HELP:
        window->events().onCommand(kIdHelp);
        return TRUE;
    case WM_PAINT: {
        Win32PaintContext paint(hwnd);
        window->events().onPaint(paint);
        return paint.painted() ? TRUE : FALSE;
    }
    case WM_QUERYDRAGICON: {
        int iconId = window->events().onQueryDragIcon();
        return iconId != 0 ? reinterpret_cast<INT_PTR>(loadIcon(iconId)) : 0;
    }
    default:
        return FALSE;
    }
}

HWND handleOf(const Window* window)
{
    auto* w = dynamic_cast<const Win32Window*>(window);
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

void* Win32Backend::nativeHandle(const Window& window)
{
    return handleOf(&window);
}

int Win32Backend::runModal(const DialogTemplate& tmpl, Window* owner, WindowEvents& events)
{
    std::vector<DWORD> dialog = win32::writeDialogTemplate(tmpl);
    Win32Window window(tmpl, events);
    INT_PTR result =
        DialogBoxIndirectParamW(programInstance(), reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()),
                                handleOf(owner), dialogProc, reinterpret_cast<LPARAM>(&window));
    return static_cast<int>(result);
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
    return MessageBoxW(handleOf(owner), win32::widen(text).c_str(), win32::widen(caption).c_str(), type);
}

// The text goes on the clipboard as Unicode text, so that every letter
// survives; Windows offers it as plain text in the system code page to
// programs that ask for that.
ClipboardResult Win32Backend::copyText(Window& owner, std::string_view text)
{
    OpenedClipboard clipboard(handleOf(&owner));
    if (!clipboard.isOpen())
        return ClipboardResult::CannotOpen;
    const std::wstring wide = win32::widen(text);
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
    HINSTANCE result =
        ShellExecuteW(nullptr, L"open", win32::widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Backend::startSockets()
{
    if (!socketsStarted_)
        socketsStarted_ = win32::startWinsock11(WSAStartup, WSACleanup);
    return socketsStarted_;
}

}  // namespace tavrin::fw
