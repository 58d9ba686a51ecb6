#pragma once
// Our texts are UTF-8; Windows' wide-character functions take UTF-16. These
// convert between the two without loss for any text a control or a path can
// hold. Bytes that are not UTF-8 become U+FFFD rather than being dropped.
//
// Windows only. The generator's file steps and the Win32 back end both use
// it, so it needs nothing but the standard library and the platform.

#include <windows.h>

#include <string>
#include <string_view>

namespace tavrin {

inline std::wstring widen(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), n);
    return wide;
}

inline std::string narrow(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), n, nullptr, nullptr);
    return text;
}

}  // namespace tavrin
