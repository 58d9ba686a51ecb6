// Stands in for the browser in the tests' Wine session: the shell's "open"
// for HTML files starts this program, which appends one line, in UTF-8, to
// C:\tavrin-opened.txt: the show command it was started with and the file.
//   nCmdShow=1 C:\...\tvtest.htm
#include "win32/Utf16.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int nCmdShow)
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::string file = argv && argc > 1 ? tavrin::narrow(argv[1]) : std::string();
    LocalFree(argv);
    FILE* log = std::fopen("C:\\tavrin-opened.txt", "ab");
    if (!log)
        return 1;
    std::fprintf(log, "nCmdShow=%d %s\n", nCmdShow, file.c_str());
    return std::fclose(log) == 0 ? 0 : 1;
}
