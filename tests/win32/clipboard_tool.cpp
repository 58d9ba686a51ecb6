// A second program on the clipboard, for the tests:
//   clipboard_tool get FILE          writes the plain-text entry, terminating
//                                    zero included, to FILE (exit 3: none)
//   clipboard_tool unicode FILE      writes the Unicode text entry to FILE in
//                                    UTF-8, up to its zero (exit 3: none)
//   clipboard_tool hold READY DONE   opens the clipboard, signals the named
//                                    event READY and keeps the clipboard open
//                                    until the named event DONE is signalled
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

int get(const char* path)
{
    if (!OpenClipboard(nullptr))
        return 2;
    int status = 3;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* text = static_cast<const char*>(GlobalLock(data))) {
            size_t size = strnlen(text, GlobalSize(data));
            if (size < GlobalSize(data)) {
                ++size;  // the terminating zero
            }
            if (FILE* f = std::fopen(path, "wb")) {
                std::fwrite(text, 1, size, f);
                std::fclose(f);
                status = 0;
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return status;
}

int getUnicode(const char* path)
{
    if (!OpenClipboard(nullptr))
        return 2;
    int status = 3;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            const auto length = static_cast<int>(wcsnlen(text, GlobalSize(data) / sizeof(wchar_t)));
            std::string utf8(static_cast<size_t>(length) * 4, '\0');
            utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(),
                                                                static_cast<int>(utf8.size()), nullptr, nullptr)));
            if (FILE* f = std::fopen(path, "wb")) {
                std::fwrite(utf8.data(), 1, utf8.size(), f);
                std::fclose(f);
                status = 0;
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return status;
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
