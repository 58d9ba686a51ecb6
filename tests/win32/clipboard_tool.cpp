// A second program on the clipboard, for the tests:
//   clipboard_tool get FILE          writes the plain-text entry, terminating
//                                    zero included, to FILE (exit 3: none)
//   clipboard_tool unicode FILE      writes the Unicode text entry to FILE in
//                                    UTF-8, up to its zero (exit 3: none)
//   clipboard_tool hold READY DONE   opens the clipboard, signals the named
//                                    event READY and keeps the clipboard open
//                                    until the named event DONE is signalled
#include "win32/Utf16.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <string_view>

namespace {

// Writes the bytes `convert` makes of clipboard entry `format` to `path`:
// 0 done, 2 no clipboard, 3 no such entry.
template <typename Char, typename Convert>
int save(UINT format, const char* path, Convert convert)
{
    if (!OpenClipboard(nullptr))
        return 2;
    int status = 3;
    if (HANDLE data = GetClipboardData(format)) {
        if (const auto* text = static_cast<const Char*>(GlobalLock(data))) {
            const std::string bytes = convert(text, GlobalSize(data) / sizeof(Char));
            if (FILE* f = std::fopen(path, "wb")) {
                std::fwrite(bytes.data(), 1, bytes.size(), f);
                std::fclose(f);
                status = 0;
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return status;
}

// The plain-text entry, its terminating zero included.
int get(const char* path)
{
    return save<char>(CF_TEXT, path, [](const char* text, size_t room) {
        const size_t length = strnlen(text, room);
        return std::string(text, length < room ? length + 1 : length);
    });
}

// The Unicode entry up to its zero, in UTF-8.
int getUnicode(const char* path)
{
    return save<wchar_t>(CF_UNICODETEXT, path, [](const wchar_t* text, size_t room) {
        return tavrin::narrow(std::wstring_view(text, wcsnlen(text, room)));
    });
}

int hold(const char* ready, const char* done)
{
    HANDLE readyEvent = CreateEventA(nullptr, TRUE, FALSE, ready);
    HANDLE doneEvent = CreateEventA(nullptr, TRUE, FALSE, done);
    if (!readyEvent || !doneEvent || !OpenClipboard(nullptr))
        return 2;
    SetEvent(readyEvent);
    WaitForSingleObject(doneEvent, 30000);
    CloseClipboard();
    CloseHandle(readyEvent);
    CloseHandle(doneEvent);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "get") == 0)
        return get(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "unicode") == 0)
        return getUnicode(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "hold") == 0)
        return hold(argv[2], argv[3]);
    std::fprintf(stderr, "usage: clipboard_tool get FILE | unicode FILE | hold READY DONE\n");
    return 64;
}
