#pragma once
// Starting Windows Sockets 1.1, with the functions passed in so that the
// version test can be tried against a system that grants another version.

#include <winsock2.h>

namespace tavrin::fw::win32 {

using WinsockStartup = int(WINAPI*)(WORD, LPWSADATA);
using WinsockCleanup = int(WINAPI*)();

// Asks for version 1.1; true when it was granted. A call that succeeds with
// another version is undone with `cleanup`.
bool startWinsock11(WinsockStartup startup, WinsockCleanup cleanup);

}  // namespace tavrin::fw::win32
