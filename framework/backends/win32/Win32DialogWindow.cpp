#include "framework/backends/win32/Win32DialogWindow.h"

#include "framework/backends/win32/DialogTemplateWriter.h"
#include "win32/Utf16.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::fw::win32 {
namespace {

HINSTANCE programInstance()
{
    return GetModuleHandleA(nullptr);
}

HICON loadIcon(int iconId)
{
    return LoadIconA(programInstance(), MAKEINTRESOURCEA(iconId));
}

// The program's icon: its first icon resource, the one the shell shows for
// the program; nullptr when it has none.
HICON programIcon()
{
    HICON icon = nullptr;
    EnumResourceNamesW(
        programInstance(), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */,
        [](HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
            *reinterpret_cast<HICON*>(found) = LoadIconW(module, name);
            return FALSE;
        },
        reinterpret_cast<LONG_PTR>(&icon));
    return icon;
}

// A child's rectangle in its dialog's client coordinates.
RECT placeOf(HWND child)
{
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The dialog manager turns dialog units into pixels by rounding each
// position and size, which can put a control that the template places just
// inside a group box onto the box's bottom or right border (the last line of
// the Results dialog's instructions lands one pixel into its frame at 96
// DPI). Each group box grows until its border clears every control the
// template places inside it (`groupBoxOf`, the rule every back end uses).
// `children` are the controls in template order.
void clearGroupBoxBorders(const DialogTemplate& tmpl, const std::vector<HWND>& children)
{
    const std::vector<ControlTemplate>& controls = tmpl.controls;
    const int edgeX = GetSystemMetrics(SM_CXEDGE);
    const int edgeY = GetSystemMetrics(SM_CYEDGE);
    for (size_t g = 0; g < controls.size() && g < children.size(); ++g) {
        if (controls[g].kind != ControlKind::GroupBox)
            continue;
        const RECT frame = placeOf(children[g]);
        LONG right = frame.right;
        LONG bottom = frame.bottom;
        for (size_t c = 0; c < controls.size() && c < children.size(); ++c) {
            if (groupBoxOf(tmpl, controls[c]) != &controls[g])
                continue;
            const RECT r = placeOf(children[c]);
            right = std::max(right, r.right + edgeX);
            bottom = std::max(bottom, r.bottom + edgeY);
        }
        if (right != frame.right || bottom != frame.bottom)
            SetWindowPos(children[g], nullptr, 0, 0, right - frame.left, bottom - frame.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
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

}  // namespace

int Win32DialogWindow::run(const Win32DialogWindow* owner)
{
    std::vector<DWORD> dialog = writeDialogTemplate(tmpl_);
    return static_cast<int>(DialogBoxIndirectParamW(programInstance(),
                                                    reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()),
                                                    owner ? owner->hwnd() : nullptr, dialogProc,
                                                    reinterpret_cast<LPARAM>(this)));
}

// Readies the controls the dialog manager made, before the framework fills
// them: edit boxes and the combo box's edit field take texts of any length
// (an edit control keeps at most 30,000 characters unless told otherwise),
// and radio buttons do not click themselves when they take the focus
// (Windows would otherwise select a clear one that Tab reaches).
void Win32DialogWindow::prepareControls()
{
    // The dialog manager made the controls in template order.
    std::vector<HWND> children;
    for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    clearGroupBoxBorders(tmpl_, children);
    // Every dialog carries the program's icon; a dialog may set another.
    if (HICON icon = programIcon()) {
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    for (const ControlTemplate& c : tmpl_.controls) {
        if (c.kind == ControlKind::Edit)
            SendDlgItemMessageW(hwnd_, c.id, EM_SETLIMITTEXT, 0, 0);
        else if (c.kind == ControlKind::ComboBox)
            SendDlgItemMessageW(hwnd_, c.id, CB_LIMITTEXT, 0, 0);
        else if (c.kind == ControlKind::RadioButton)
            SendDlgItemMessageW(hwnd_, c.id, BM_SETDONTCLICK, TRUE, 0);
    }
}

std::string Win32DialogWindow::text(int id) const
{
    HWND control = item(id);
    if (!control)
        return {};
    std::wstring s(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    int n = GetWindowTextW(control, s.data(), static_cast<int>(s.size()));
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return narrow(s);
}

void Win32DialogWindow::setText(int id, std::string_view text)
{
    HWND control = item(id);
    if (!control)
        return;
    const std::wstring wide = widen(text);
    if (wrapsLines(control) && tooLongToWrap(wide))
        control = remakeWithoutWrapping(control);
    SetWindowTextW(control, wide.c_str());
}

int Win32DialogWindow::checkState(int id) const
{
    return static_cast<int>(SendDlgItemMessageW(hwnd_, id, BM_GETCHECK, 0, 0));
}

void Win32DialogWindow::setCheckState(int id, int state)
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

bool Win32DialogWindow::addListItem(int id, std::string_view item)
{
    const std::wstring s = widen(item);
    LRESULT r = SendDlgItemMessageW(hwnd_, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    return r != CB_ERR && r != CB_ERRSPACE;
}

int Win32DialogWindow::listCount(int id) const
{
    LRESULT n = SendDlgItemMessageW(hwnd_, id, CB_GETCOUNT, 0, 0);
    return n == CB_ERR ? 0 : static_cast<int>(n);
}

std::string Win32DialogWindow::listItem(int id, int index) const
{
    LRESULT len = SendDlgItemMessageW(hwnd_, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len == CB_ERR)
        return {};
    std::wstring s(static_cast<size_t>(len) + 1, L'\0');
    LRESULT n = SendDlgItemMessageW(hwnd_, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(s.data()));
    s.resize(n == CB_ERR ? 0 : static_cast<size_t>(n));
    return narrow(s);
}

int Win32DialogWindow::listSelection(int id) const
{
    return static_cast<int>(SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0));
}

void Win32DialogWindow::setListSelection(int id, int index)
{
    SendDlgItemMessageW(hwnd_, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (index < 0)
        SetDlgItemTextW(hwnd_, id, L"");
}

bool Win32DialogWindow::isListDropped(int id) const
{
    return SendDlgItemMessageW(hwnd_, id, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

void Win32DialogWindow::closeList(int id)
{
    SendDlgItemMessageW(hwnd_, id, CB_SHOWDROPDOWN, FALSE, 0);
}

int Win32DialogWindow::focus() const
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

void Win32DialogWindow::setFocus(int id)
{
    HWND control = item(id);
    if (!control)
        return;
    // Through the dialog manager, so that the default button follows the focus.
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    focusWasSet_ = true;
}

PixelRect Win32DialogWindow::frame() const
{
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32DialogWindow::moveTo(int x, int y)
{
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Win32DialogWindow::isVisibleAndNotMinimised() const
{
    return IsWindowVisible(hwnd_) && !IsIconic(hwnd_);
}

void Win32DialogWindow::setIcon(int iconId)
{
    HICON icon = loadIcon(iconId);
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

bool Win32DialogWindow::appendSystemMenuSeparator()
{
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    return menu && AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

bool Win32DialogWindow::appendSystemMenuItem(unsigned command, std::string_view text)
{
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    if (!menu || !AppendMenuW(menu, MF_STRING, command, widen(text).c_str()))
        return false;
    systemCommands_.insert(command & 0xFFF0);
    return true;
}

void Win32DialogWindow::openWindowMenu()
{
    // As Alt+Space does; posted, as the menu runs a loop of its own.
    PostMessageW(hwnd_, WM_SYSCOMMAND, SC_KEYMENU, ' ');
}

// The system's EndDialog takes the result of its last call until the loop
// ends; a run ends with the first result it is given.
void Win32DialogWindow::endDialog(int result)
{
    if (ended_)
        return;
    ended_ = true;
    EndDialog(hwnd_, result);
}

// Routes the dialog manager's messages to the framework.
INT_PTR CALLBACK Win32DialogWindow::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* window = reinterpret_cast<Win32DialogWindow*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        window->hwnd_ = hwnd;
        window->prepareControls();
        if (!window->events_.onWindowCreated(*window)) {
            EndDialog(hwnd, -1);
            return TRUE;
        }
        // Focus set by the framework stays; otherwise the first tab stop takes it.
        return window->focusWasSet_ ? FALSE : TRUE;
    }
    auto* window = reinterpret_cast<Win32DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return window ? window->onMessage(message, wParam, lParam) : FALSE;
}

INT_PTR Win32DialogWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // The dialog manager selects the whole text of an edit box that
        // Tab (or the framework) gives the focus to, but Wine's combo box
        // selects its field's text only the first time. A combo box that
        // takes the focus other than by a click selects it here; a click
        // places the caret where it lands.
        if (lParam != 0 && HIWORD(wParam) == CBN_SETFOCUS) {
            if (GetKeyState(VK_LBUTTON) >= 0)
                SendMessageW(reinterpret_cast<HWND>(lParam), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
            return FALSE;
        }
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
            setCheckState(LOWORD(wParam), BST_CHECKED);
        events_.onCommand(LOWORD(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            events_.onCommand(kIdCancel);
            return TRUE;
        }
        if (systemCommands_.count(wParam & 0xFFF0) != 0) {
            events_.onWindowMenuCommand(static_cast<unsigned>(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_HELP:
        events_.onCommand(kIdHelp);
        return TRUE;
    case WM_PAINT: {
        Win32PaintContext paint(hwnd_);
        events_.onPaintRequest(paint);
        return paint.painted() ? TRUE : FALSE;
    }
    case WM_QUERYDRAGICON: {
        int iconId = events_.onDragIconRequest();
        return iconId != 0 ? reinterpret_cast<INT_PTR>(loadIcon(iconId)) : 0;
    }
    default:
        return FALSE;
    }
}

}  // namespace tavrin::fw::win32
