#pragma once
// The one record that carries every choice the author makes about the pop-up.
//
// Texts are kept exactly as typed (any bytes, NUL included); flags are 0 or 1;
// the two radio choices are empty until the main dialog sets its defaults.
// `readNumber` gives the numeric reading the generator uses for its decisions.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

enum class PopupTrigger { OnLoad, OnClose, OnButton };
enum class PopupPlacement { Over, Under };

// The demonstration page the URL box starts with.
inline constexpr std::string_view kDefaultPageUrl = "http://www.tavrin.example/tavrin/demo.htm";

struct PopupSettings {
    std::string height;
    std::string windowName;
    std::string pageUrl;
    std::string width;
    std::string left;
    std::string top;
    std::string days;
    std::int32_t centre = 0;
    std::int32_t directories = 0;
    std::int32_t location = 0;
    std::int32_t menuBar = 0;
    std::int32_t resizable = 0;
    std::int32_t scrollBars = 0;
    std::int32_t statusBar = 0;
    std::int32_t toolbar = 0;
    std::optional<PopupTrigger> trigger;
    std::optional<PopupPlacement> placement;

    // The values the main dialog shows when it first opens.
    static PopupSettings defaults();
};

// A window feature the author can tick: its flag in the record, the word the
// script's options list names it by (with "=yes" when ticked), and what the
// ticked feature gives the window, in words.
struct WindowFeature {
    std::int32_t PopupSettings::*flag;
    std::string_view option;
    std::string_view description;
};

// The seven window features, in the order the script lists them.
inline constexpr std::array<WindowFeature, 7> kWindowFeatures{{
    {&PopupSettings::directories, "directories", "Window has the directories bar"},
    {&PopupSettings::location, "location", "Window has the location bar"},
    {&PopupSettings::menuBar, "menubar", "Window has the menu bar"},
    {&PopupSettings::resizable, "resizable", "Window can be resized"},
    {&PopupSettings::scrollBars, "scrollbars", "Window has scroll bars"},
    {&PopupSettings::statusBar, "status", "Window has the status bar"},
    {&PopupSettings::toolbar, "toolbar", "Window has the toolbar"},
}};

// Reads a text the way atoi does (leading white space, an optional sign,
// decimal digits up to the first other character, 0 without digits), but
// saturates at the limits of a 32-bit int instead of overflowing.
std::int32_t readNumber(std::string_view text) noexcept;

}  // namespace tavrin
