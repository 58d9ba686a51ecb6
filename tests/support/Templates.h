#pragma once
// What tests that build their own dialog templates share.

#include "framework/Template.h"

#include <string>
#include <utility>

namespace tavrin::test {

// Cyrillic, accented Latin in quotes, and a character beyond the first 65,536.
inline const std::string kNonAscii =
    "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \"\xC3\xA9\" \xF0\x9F\x98\x80";

// A control of the template; each radio button starts a group of its own, as
// the dialogs' radios do (the dialog keeps their sets).
inline fw::ControlTemplate control(int id, fw::ControlKind kind, std::string caption, fw::DluRect rect,
                                   bool tabStop = true)
{
    fw::ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.caption = std::move(caption);
    c.rect = rect;
    c.tabStop = tabStop;
    c.group = kind == fw::ControlKind::RadioButton;
    return c;
}

}  // namespace tavrin::test
