#include "generator/PageFile.h"

#ifdef _WIN32
#include "win32/Utf16.h"
#endif

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tavrin::pagefile {

#ifdef _WIN32

namespace {

// The system's last error as the errno value that tells the same.
void setErrnoFromLastError()
{
    switch (GetLastError()) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        errno = EEXIST;
        break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        errno = ENOENT;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        errno = EACCES;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        errno = ENOSPC;
        break;
    default:
        errno = EIO;
        break;
    }
}

}  // namespace

std::FILE* createNew(const std::string& path)
{
    HANDLE handle = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        setErrnoFromLastError();
        return nullptr;
    }
    // The C runtime's stream takes over the handle, and closes it with the stream.
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (descriptor == -1) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, "wb");
    if (!file)
        _close(descriptor);
    return file;
}

bool replace(const std::string& from, const std::string& to)
{
    const DWORD attributes = GetFileAttributesW(widen(to).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        errno = EACCES;
        return false;
    }
    if (MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    setErrnoFromLastError();
    return false;
}

void remove(const std::string& path)
{
    DeleteFileW(widen(path).c_str());
}

std::string absolute(const std::string& path)
{
    const std::wstring wide = widen(path);
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return path;
    full.resize(length);
    return narrow(full);
}

#else

std::FILE* createNew(const std::string& path)
{
    return std::fopen(path.c_str(), "wbx");
}

bool replace(const std::string& from, const std::string& to)
{
    struct stat target {};
    if (lstat(to.c_str(), &target) == 0 && S_ISREG(target.st_mode)) {
        // The write permission that applies to us by the file's own bits, whoever we are.
        const mode_t writable = target.st_uid == geteuid() ? S_IWUSR : target.st_gid == getegid() ? S_IWGRP : S_IWOTH;
        if (!(target.st_mode & writable)) {
            errno = EACCES;
            return false;
        }
        if (chmod(from.c_str(), target.st_mode & 07777) != 0)
            return false;
    }
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void remove(const std::string& path)
{
    std::remove(path.c_str());
}

std::string absolute(const std::string& path)
{
    if (path.empty() || path.front() == '/')
        return path;
    std::string folder(256, '\0');
    while (!getcwd(folder.data(), folder.size())) {
        if (errno != ERANGE)
            return path;
        folder.resize(folder.size() * 2);
    }
    folder.resize(folder.find('\0'));
    return folder + (folder.back() == '/' ? "" : "/") + path;
}

#endif

}  // namespace tavrin::pagefile
