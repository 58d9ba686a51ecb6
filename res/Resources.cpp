#include "res/Resources.h"

#include "generator/ScriptGenerator.h"
#include "res/Product.h"

#include <string>
#include <string_view>

namespace tavrin::res {

namespace {

using fw::ControlKind;
using fw::ControlTemplate;
using fw::DialogTemplate;
using fw::ListInit;
using fw::kNoId;

ControlTemplate control(int id, ControlKind kind, std::string_view caption, fw::DluRect rect, bool tabStop)
{
    ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.caption = caption;
    c.rect = rect;
    c.tabStop = tabStop;
    return c;
}

ControlTemplate pushButton(int id, const char* caption, fw::DluRect rect, bool isDefault = false)
{
    ControlTemplate c = control(id, ControlKind::PushButton, caption, rect, true);
    c.defaultButton = isDefault;
    return c;
}

ControlTemplate readOnlyTextBox(int id, fw::DluRect rect)
{
    ControlTemplate c = control(id, ControlKind::Edit, "", rect, true);
    c.readOnly = true;
    c.multiLine = true;
    c.vScroll = true;
    c.wrap = true;
    return c;
}

ControlTemplate groupBox(const char* caption, fw::DluRect rect)
{
    return control(kNoId, ControlKind::GroupBox, caption, rect, false);
}

ControlTemplate label(int id, std::string_view caption, fw::DluRect rect)
{
    return control(id, ControlKind::Text, caption, rect, false);
}

ControlTemplate lineBox(int id, fw::DluRect rect)
{
    ControlTemplate c = control(id, ControlKind::Edit, "", rect, true);
    c.autoHScroll = true;
    return c;
}

ControlTemplate checkBox(int id, const char* caption, fw::DluRect rect)
{
    return control(id, ControlKind::CheckBox, caption, rect, true);
}

// Every radio button is a group of its own; the dialog keeps each set of
// them exclusive itself.
ControlTemplate radioButton(int id, const char* caption, fw::DluRect rect)
{
    ControlTemplate c = control(id, ControlKind::RadioButton, caption, rect, true);
    c.group = true;
    return c;
}

// A drop-down list with an editable field; rect.cy is its height dropped down.
ControlTemplate comboBox(int id, fw::DluRect rect)
{
    ControlTemplate c = control(id, ControlKind::ComboBox, "", rect, true);
    c.vScroll = true;
    return c;
}

DialogTemplate makeAbout()
{
    DialogTemplate t;
    t.id = kAboutDialog;
    t.caption = "About " TAVRIN_NAME;
    t.cx = 235;
    t.cy = 55;
    ControlTemplate icon = control(kNoId, ControlKind::Icon, "", {11, 17, 20, 20}, false);
    icon.iconId = kAppIcon;
    t.controls = {
        icon,
        label(kNoId, TAVRIN_NAME " Version " TAVRIN_VERSION, {40, 10, 119, 8}),
        label(kNoId, "Pop-up window scripts, ready to paste.", {40, 25, 163, 8}),
        pushButton(kAboutOk, "OK", {178, 7, 50, 14}, true),
    };
    return t;
}

DialogTemplate makeMain()
{
    DialogTemplate t;
    t.id = kMainDialog;
    t.caption = TAVRIN_NAME;
    t.cx = 320;
    t.cy = 169;
    t.appWindow = true;
    t.controls = {
        label(kNoId, "Name:", {7, 9, 22, 8}),
        lineBox(kName, {32, 7, 128, 12}),
        label(kNoId, "URL:", {7, 25, 22, 8}),
        lineBox(kUrl, {32, 23, 128, 12}),
        groupBox("When to PopUp:", {7, 40, 70, 44}),
        radioButton(kOnLoad, "On Load", {13, 50, 58, 10}),
        radioButton(kOnClose, "On Close", {13, 60, 58, 10}),
        radioButton(kOnButton, "On Button", {13, 70, 58, 10}),
        groupBox("Where to PopUp", {7, 86, 70, 32}),
        radioButton(kPopOver, "Pop Over", {13, 96, 58, 10}),
        radioButton(kPopUnder, "Pop Under", {13, 106, 58, 10}),
        groupBox("Popup Feartures:", {82, 40, 80, 78}),
        checkBox(kDirectories, "Directories", {88, 50, 68, 10}),
        checkBox(kMenuBar, "Menu Bar", {88, 59, 68, 10}),
        checkBox(kLocation, "Location", {88, 68, 68, 10}),
        checkBox(kResizable, "Resizable", {88, 77, 68, 10}),
        checkBox(kScrollBars, "Scroll Bars", {88, 86, 68, 10}),
        checkBox(kStatusBar, "Status Bar", {88, 95, 68, 10}),
        checkBox(kToolbar, "Toolbar", {88, 104, 68, 10}),
        groupBox("Popup Size:", {167, 7, 88, 42}),
        label(kNoId, "Height:", {173, 19, 26, 8}),
        lineBox(kHeight, {202, 17, 45, 12}),
        label(kNoId, "Width:", {173, 33, 26, 8}),
        lineBox(kWidth, {202, 31, 45, 12}),
        groupBox("Popup Position:", {167, 52, 88, 66}),
        label(kNoId, "X:", {173, 64, 26, 8}),
        lineBox(kLeft, {202, 62, 45, 12}),
        label(kNoId, "Y:", {173, 78, 26, 8}),
        lineBox(kTop, {202, 76, 45, 12}),
        checkBox(kCenter, "Center", {173, 94, 50, 10}),
        groupBox("Show Again?", {7, 122, 248, 33}),
        label(kNoId, "Days:", {13, 136, 20, 8}),
        comboBox(kDays, {36, 134, 40, 150}),
        label(kNoId, "Places a cookie on the viewer's machine to", {84, 131, 168, 8}),
        label(kNoId, "prevent the popup appearing more than once.", {84, 141, 168, 8}),
        pushButton(kQuit, "Quit", {263, 7, 50, 14}, true),
        pushButton(kCreatePopup, "Create Popup", {263, 24, 50, 14}),
        pushButton(kTestPopup, "Test Popup", {263, 41, 50, 14}),
        pushButton(kHelpButton, "Help", {263, 138, 50, 14}),
        label(kFooter, TAVRIN_NAME " - v" TAVRIN_FOOTER_VERSION " - Popup Creator", {7, 158, 270, 8}),
    };
    // The Days list: "1" to "365", in this order.
    ListInit days{.controlId = kDays, .items = {}};
    for (int day = 1; day <= 365; ++day)
        days.items.push_back(std::to_string(day));
    t.listInit.push_back(std::move(days));
    return t;
}

DialogTemplate makeResults()
{
    DialogTemplate t;
    t.id = kResultsDialog;
    t.caption = "Results";
    t.cx = 279;
    t.cy = 193;
    t.controls = {
        pushButton(kReturn, "Return", {222, 172, 50, 14}, true),
        readOnlyTextBox(kFunctionsBox, {11, 81, 257, 65}),
        readOnlyTextBox(kLoaderBox, {11, 18, 257, 28}),
        groupBox("Load Function Source", {7, 7, 265, 60}),
        groupBox("JavaScript Functions", {7, 70, 265, 95}),
        label(kNoId, "Copy the text in the above box and paste it into your HTML page just above the",
              {11, 148, 257, 8}),
        label(kNoId, "close head tag.  (</HEAD>)", {11, 156, 257, 8}),
        // Until the dialog sets it, the instruction for the default trigger, On Load.
        label(kInstructionLine, kBodyInstruction, {11, 50, 257, 8}),
        pushButton(kCopyLoader, "Copy Loader", {7, 172, 60, 14}),
        pushButton(kCopyFunctions, "Copy Functions", {71, 172, 60, 14}),
    };
    return t;
}

}  // namespace

const DialogTemplate& resultsTemplate()
{
    static const DialogTemplate t = makeResults();
    return t;
}

const DialogTemplate& aboutTemplate()
{
    static const DialogTemplate t = makeAbout();
    return t;
}

const DialogTemplate& mainTemplate()
{
    static const DialogTemplate t = makeMain();
    return t;
}

const fw::StringTable& strings()
{
    static const fw::StringTable table = {
        {kAboutMenuString, TAVRIN_ABOUT_MENU_STRING},
        {kSocketsFailedString, TAVRIN_SOCKETS_FAILED_STRING},
    };
    return table;
}

}  // namespace tavrin::res
