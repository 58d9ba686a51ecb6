// tavrin.exe: the Windows program on the Win32 back end.
#include "app/RunTavrin.h"
#include "framework/backends/win32/Win32Backend.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // The application takes its name from the program file.
    char path[MAX_PATH] = "tavrin.exe";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    tavrin::fw::win32::Win32Backend backend;
    return tavrin::runTavrin(backend, path);
}
