#pragma once
// Turns a settings record into the texts an author pastes into a page.
//
//   tavrin::PopupSettings s = tavrin::PopupSettings::defaults();
//   tavrin::GeneratedScript out = tavrin::ScriptGenerator::generate(s);
//
// `generate` never fails. It removes the blanks from `s.windowName` (the
// record keeps the stripped name), and writes every typed text into the
// script so that its string literal decodes to exactly that text.

#include "generator/PopupSettings.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

// Host and path named in the script's start and end markers.
inline constexpr std::string_view kHomeAddress = "www.tavrin.example/tavrin/";

// A JavaScript date reaches 100,000,000 days past 1970; the cookie's lifetime
// is capped well below that so its expiry date is valid for ages to come.
inline constexpr std::int32_t kMaxCookieDays = 99'000'000;

// Where to paste the loader attribute: the body tag for a pop-up on load or
// close, the clicked tag for one on a button.
inline constexpr std::string_view kBodyInstruction = "Paste this code into your body tag just before it closes with >";
inline constexpr std::string_view kButtonInstruction =
    "Paste this code into the image or button tag just before it closes with >";

struct GeneratedScript {
    std::string functionsText;    // the script block, CR LF line ends
    std::string loaderText;       // the attribute that calls the pop-up function
    std::string instructionText;  // where to paste the attribute
};

class ScriptGenerator {
public:
    static GeneratedScript generate(PopupSettings& settings);
};

// Writes `text` as the inside of a JavaScript string literal delimited by
// `quote`, so the literal decodes to exactly `text` and cannot end the
// literal, the script element or the HTML comment around it.
void appendJsStringContent(std::string& out, std::string_view text, char quote);

}  // namespace tavrin
