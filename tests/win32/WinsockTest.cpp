// The sockets start-up check: version 1.1 or nothing.
#include "framework/backends/win32/Win32Backend.h"
#include "framework/backends/win32/Winsock.h"

#include <gtest/gtest.h>

namespace {

using tavrin::fw::win32::startWinsock11;

WORD grantedVersion;
int startupResult;
WORD requestedVersion;
int cleanups;

int WINAPI fakeStartup(WORD requested, LPWSADATA data)
{
    requestedVersion = requested;
    data->wVersion = grantedVersion;
    return startupResult;
}

int WINAPI fakeCleanup()
{
    ++cleanups;
    return 0;
}

void grant(WORD version, int result)
{
    grantedVersion = version;
    startupResult = result;
    requestedVersion = 0;
    cleanups = 0;
}

TEST(WinsockStart, AsksForVersionOneOneAndAcceptsIt)
{
    grant(MAKEWORD(1, 1), 0);
    EXPECT_TRUE(startWinsock11(fakeStartup, fakeCleanup));
    EXPECT_EQ(requestedVersion, MAKEWORD(1, 1));
    EXPECT_EQ(cleanups, 0);
}

TEST(WinsockStart, AnotherVersionIsRefusedAndCleanedUp)
{
    for (WORD version : {MAKEWORD(2, 2), MAKEWORD(1, 0), MAKEWORD(0, 1)}) {
        grant(version, 0);
        EXPECT_FALSE(startWinsock11(fakeStartup, fakeCleanup)) << std::hex << version;
        EXPECT_EQ(cleanups, 1) << std::hex << version;
    }
}

TEST(WinsockStart, AFailedStartIsRefusedWithoutCleanup)
{
    grant(MAKEWORD(1, 1), WSAVERNOTSUPPORTED);
    EXPECT_FALSE(startWinsock11(fakeStartup, fakeCleanup));
    EXPECT_EQ(cleanups, 0);
}

TEST(WinsockStart, TheSystemGrantsVersionOneOne)
{
    tavrin::fw::win32::Win32Backend backend;
    EXPECT_TRUE(backend.startSockets());
}

}  // namespace
