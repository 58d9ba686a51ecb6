#include "generator/PopupSettings.h"

#include <algorithm>
#include <limits>

namespace tavrin {

PopupSettings PopupSettings::defaults()
{
    PopupSettings s;
    s.placement = PopupPlacement::Over;
    s.trigger = PopupTrigger::OnLoad;
    s.height = "200";
    s.width = "200";
    s.windowName = "PopUp";
    s.pageUrl = kDefaultPageUrl;
    return s;
}

std::int32_t readNumber(std::string_view text) noexcept
{
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    // Accumulate the magnitude in 64 bits and stop growing it once it is past
    // any 32-bit value, so arbitrarily long digit runs cannot overflow.
    constexpr std::int64_t kCap = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude < kCap)
            magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (negative)
        return static_cast<std::int32_t>(-std::min(magnitude, kCap));
    return static_cast<std::int32_t>(std::min(magnitude, kCap - 1));
}

}  // namespace tavrin
