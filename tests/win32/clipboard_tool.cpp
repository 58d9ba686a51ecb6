// A second program on the clipboard, for the tests:
//   clipboard_tool get FILE          writes the plain-text entry, terminating
//                                    zero included, to FILE (exit 3: none)
//   clipboard_tool hold READY DONE   opens the clipboard, signals the named
//                                    event READY and keeps the clipboard open
//                                    until the named event DONE is signalled
#include <windows.h>

#include <cstdio>
#include <cstring>

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
    if (argc == 4 && std::strcmp(argv[1], "hold") == 0)
        return hold(argv[2], argv[3]);
    std::fprintf(stderr, "usage: clipboard_tool get FILE | hold READY DONE\n");
    return 64;
}
