#include "framework/backends/win32/DialogTemplateWriter.h"

#include "win32/Utf16.h"

#include <cstring>
#include <string>

namespace tavrin::fw::win32 {
namespace {

// Predefined window classes, as dialog templates name them.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kComboBoxAtom = 0x0085;

// Appends WORDs and strings to a template, keeping DWORD alignment where the
// format asks for it.
class TemplateBuffer {
public:
    void word(WORD w) { words_.push_back(w); }
    void dword(DWORD d)
    {
        word(LOWORD(d));
        word(HIWORD(d));
    }
    void shortValue(int v) { word(static_cast<WORD>(static_cast<short>(v))); }
    // A zero-terminated UTF-16 string from one of our UTF-8 texts.
    void text(const std::string& s)
    {
        for (wchar_t c : widen(s))
            word(static_cast<WORD>(c));
        word(0);
    }
    void alignToDword()
    {
        if (words_.size() % 2 != 0)
            word(0);
    }
    std::vector<DWORD> take()
    {
        alignToDword();
        std::vector<DWORD> out(words_.size() / 2);
        std::memcpy(out.data(), words_.data(), words_.size() * sizeof(WORD));
        return out;
    }

private:
    std::vector<WORD> words_;
};

}  // namespace

WORD controlClassAtom(ControlKind kind)
{
    switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::GroupBox:
        return kButtonAtom;
    case ControlKind::Edit:
        return kEditAtom;
    case ControlKind::ComboBox:
        return kComboBoxAtom;
    case ControlKind::Text:
    case ControlKind::Icon:
        break;
    }
    return kStaticAtom;
}

// The dialog manager's arrow keys move the focus to the previous or next
// control of the focused control's group: the controls from one WS_GROUP
// control up to the next, whatever their kind, group boxes and labels
// included. When the control they reach is a radio button, they focus it and,
// for an automatic radio button that is clear, click it.
//
// Our radio buttons are each a group of their own, and the dialog keeps each
// set of them exclusive in its click handlers. So that arrow keys neither
// wander onto a label or frame nor change a setting:
// - every control that is not a tab stop is a group of its own, so no group
//   of a focusable control holds a label or frame;
// - only a run of check boxes or of push buttons shares a group, so arrow
//   keys step through the feature check boxes and the button column, and a
//   radio button's group is the radio button alone;
// - radio buttons are plain (BS_RADIOBUTTON), not automatic: an arrow key
//   that lands on one never clicks it, and clicking or Space only reports
//   the click; the back end then checks the button and the dialog's handler
//   clears the others.
bool startsGroup(const std::vector<ControlTemplate>& controls, size_t index)
{
    const ControlTemplate& c = controls[index];
    if (index == 0 || c.group || !c.tabStop)
        return true;
    const ControlTemplate& previous = controls[index - 1];
    const bool stepsByArrows = c.kind == ControlKind::CheckBox || c.kind == ControlKind::PushButton;
    return !(stepsByArrows && previous.kind == c.kind && previous.tabStop && !previous.group);
}

DWORD controlStyle(const ControlTemplate& c, bool group)
{
    DWORD style = WS_CHILD | WS_VISIBLE;
    if (c.tabStop)
        style |= WS_TABSTOP;
    if (group)
        style |= WS_GROUP;
    if (c.vScroll)
        style |= WS_VSCROLL;
    switch (c.kind) {
    case ControlKind::PushButton:
        style |= c.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        break;
    case ControlKind::CheckBox:
        style |= BS_AUTOCHECKBOX;
        break;
    case ControlKind::RadioButton:
        style |= BS_RADIOBUTTON;
        break;
    case ControlKind::GroupBox:
        style |= BS_GROUPBOX;
        break;
    case ControlKind::Edit:
        style |= WS_BORDER | ES_LEFT;
        if (c.multiLine)
            style |= ES_MULTILINE;
        if (c.readOnly)
            style |= ES_READONLY;
        if (c.autoHScroll || (c.multiLine && !c.wrap))
            style |= ES_AUTOHSCROLL;
        break;
    case ControlKind::ComboBox:
        // Without CBS_AUTOHSCROLL the edit field takes no more text than
        // fits its width, whatever CB_LIMITTEXT allows, and drops the rest
        // of what is typed or pasted without a sign.
        style |= CBS_DROPDOWN | CBS_AUTOHSCROLL;
        break;
    case ControlKind::Text:
        style |= SS_LEFT;
        break;
    case ControlKind::Icon:
        style |= SS_ICON;
        break;
    }
    return style;
}

std::vector<DWORD> writeDialogTemplate(const DialogTemplate& tmpl)
{
    TemplateBuffer t;
    DWORD style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
    if (tmpl.systemMenu)
        style |= WS_SYSMENU;
    t.dword(style);
    t.dword(tmpl.appWindow ? WS_EX_APPWINDOW : 0);
    t.word(static_cast<WORD>(tmpl.controls.size()));
    t.shortValue(0);
    t.shortValue(0);
    t.shortValue(tmpl.cx);
    t.shortValue(tmpl.cy);
    t.word(0);  // no menu
    t.word(0);  // the system's dialog class
    t.text(tmpl.caption);
    t.word(static_cast<WORD>(tmpl.fontPoints));
    t.text(tmpl.fontName);

    for (size_t i = 0; i < tmpl.controls.size(); ++i) {
        const ControlTemplate& c = tmpl.controls[i];
        t.alignToDword();
        t.dword(controlStyle(c, startsGroup(tmpl.controls, i)));
        t.dword(0);
        t.shortValue(c.rect.x);
        t.shortValue(c.rect.y);
        t.shortValue(c.rect.cx);
        t.shortValue(c.rect.cy);
        t.word(static_cast<WORD>(c.id));
        t.word(0xFFFF);
        t.word(controlClassAtom(c.kind));
        if (c.kind == ControlKind::Icon) {
            // An icon control's title names the icon resource by number.
            t.word(0xFFFF);
            t.word(static_cast<WORD>(c.iconId));
        } else {
            t.text(c.caption);
        }
        t.word(0);  // no creation data
    }
    return t.take();
}

}  // namespace tavrin::fw::win32
