#include "framework/backends/win32/Winsock.h"

namespace tavrin::fw::win32 {

bool startWinsock11(WinsockStartup startup, WinsockCleanup cleanup)
{
    WSADATA data{};
    if (startup(MAKEWORD(1, 1), &data) != 0)
        return false;
    if (LOBYTE(data.wVersion) != 1 || HIBYTE(data.wVersion) != 1) {
        cleanup();
        return false;
    }
    return true;
}

}  // namespace tavrin::fw::win32
