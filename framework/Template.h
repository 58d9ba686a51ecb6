#pragma once
// Dialog templates as plain data: what a back end needs to build a dialog's
// native window and controls, in dialog units, with no toolkit type.
//
// A template lists its controls in template order, which is also the tab
// order of the tab stops. Combo boxes take their list items from the
// template's initialisation data, keyed by control id.

#include <string>
#include <vector>

namespace tavrin::fw {

// Control id of texts and frames that have none.
inline constexpr int kNoId = -1;

enum class ControlKind {
    PushButton,   // `defaultButton` marks the dialog's default push button
    CheckBox,
    RadioButton,  // `group` set on each radio makes it a group of its own
    Edit,         // one line unless `multiLine`
    ComboBox,     // drop-down with an editable field; rect.cy is the dropped-down height
    GroupBox,
    Text,         // static text, left aligned
    Icon,         // static icon; `iconId` names the icon resource
};

// A rectangle in dialog units: x, y from the dialog's client top left.
struct DluRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct ControlTemplate {
    int id = kNoId;
    ControlKind kind = ControlKind::Text;
    std::string caption;  // "&" marks the mnemonic, as on Windows
    DluRect rect;
    bool tabStop = false;
    bool group = false;
    bool defaultButton = false;
    bool readOnly = false;
    bool multiLine = false;
    bool vScroll = false;
    bool wrap = false;         // multi-line edit boxes: wrap at the box's width
    bool autoHScroll = false;  // one-line edit fields scroll sideways
    int iconId = 0;
};

struct ListInit {
    int controlId = kNoId;
    std::vector<std::string> items;
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    int cx = 0;  // client size in dialog units
    int cy = 0;
    std::string fontName = "MS Sans Serif";
    int fontPoints = 8;
    bool systemMenu = true;  // title bar with the system menu and its close box
    bool appWindow = false;  // has a taskbar button of its own
    std::vector<ControlTemplate> controls;
    std::vector<ListInit> listInit;

    const ControlTemplate* control(int id) const;
};

// The group box `control` lies in: the smallest one whose rectangle holds the control's rectangle; nullptr when
// it lies in none. A screen reader gives the box's caption as the control's context.
const ControlTemplate* groupBoxOf(const DialogTemplate& tmpl, const ControlTemplate& control);

// The radio buttons in the same group box as `radio` (or, for a radio in none, those in none), `radio` among
// them, in template order: the set a screen reader counts it in ("1 of 3").
std::vector<const ControlTemplate*> radioSetOf(const DialogTemplate& tmpl, const ControlTemplate& radio);

}  // namespace tavrin::fw
