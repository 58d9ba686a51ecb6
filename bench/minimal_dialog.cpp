// The yardstick for tavrin.exe's size: about the smallest C++ dialog program,
// built and linked as tavrin.exe is (static, stripped, system DLLs only). It
// shows one dialog with a text and an OK button, built in memory, and keeps
// its caption in a std::string, as any C++ program holds its texts.

#include <windows.h>

#include <string>
#include <vector>

namespace {

// Appends `text` to the template as the UTF-16 string the dialog manager reads.
void appendText(std::vector<WORD>& words, const std::wstring& text)
{
    words.insert(words.end(), text.begin(), text.end());
    words.push_back(0);
}

// One control: its header aligned to four bytes, then class, title and no creation data.
void appendControl(std::vector<WORD>& words, DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
                   const std::wstring& title)
{
    if (words.size() % 2)
        words.push_back(0);
    DLGITEMTEMPLATE item{style | WS_CHILD | WS_VISIBLE, 0, x, y, cx, cy, id};
    const WORD* raw = reinterpret_cast<const WORD*>(&item);
    words.insert(words.end(), raw, raw + sizeof item / sizeof(WORD));
    words.push_back(0xffff);
    words.push_back(atom);
    appendText(words, title);
    words.push_back(0);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const std::string caption = "Minimal";
    std::vector<WORD> words;
    DLGTEMPLATE dialog{DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 2, 0, 0, 160, 60};
    const WORD* raw = reinterpret_cast<const WORD*>(&dialog);
    words.insert(words.end(), raw, raw + sizeof dialog / sizeof(WORD));
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    appendText(words, std::wstring(caption.begin(), caption.end()));
    appendControl(words, SS_LEFT, 10, 10, 140, 10, 0xffff, 0x0082, L"A dialog and nothing else.");
    appendControl(words, BS_DEFPUSHBUTTON | WS_TABSTOP, 55, 35, 50, 14, IDOK, 0x0080, L"OK");
    return static_cast<int>(DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(words.data()),
                                                    nullptr, dialogProc, 0));
}
