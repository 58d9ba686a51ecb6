#include "res/Resources.h"

namespace tavrin::res {

namespace {

using fw::ControlKind;
using fw::ControlTemplate;
using fw::DialogTemplate;
using fw::kNoId;

ControlTemplate pushButton(int id, const char* caption, fw::DluRect rect, bool isDefault = false)
{
    ControlTemplate c{.id = id, .kind = ControlKind::PushButton, .caption = caption, .rect = rect};
    c.tabStop = true;
    c.defaultButton = isDefault;
    return c;
}

ControlTemplate readOnlyTextBox(int id, fw::DluRect rect)
{
    ControlTemplate c{.id = id, .kind = ControlKind::Edit, .caption = "", .rect = rect};
    c.tabStop = true;
    c.readOnly = true;
    c.multiLine = true;
    c.vScroll = true;
    c.wrap = true;
    return c;
}

ControlTemplate groupBox(const char* caption, fw::DluRect rect)
{
    return {.id = kNoId, .kind = ControlKind::GroupBox, .caption = caption, .rect = rect};
}

ControlTemplate label(int id, const char* caption, fw::DluRect rect)
{
    return {.id = id, .kind = ControlKind::Text, .caption = caption, .rect = rect};
}

DialogTemplate makeResults()
{
    DialogTemplate t;
    t.id = kResultsDialog;
    t.caption = "Results";
    t.cx = 279;
    t.cy = 193;
    t.controls = {
        pushButton(1, "Return", {222, 172, 50, 14}, true),
        readOnlyTextBox(1030, {11, 81, 257, 65}),
        readOnlyTextBox(1031, {11, 18, 257, 28}),
        groupBox("Load Function Source", {7, 7, 265, 60}),
        groupBox("JavaScript Functions", {7, 70, 265, 95}),
        label(kNoId, "Copy the text in the above box and paste it into your HTML page just above the",
              {11, 148, 257, 8}),
        label(kNoId, "close head tag.  (</HEAD>)", {11, 156, 257, 8}),
        label(1032, "Paste this code into your body tag just before it closes with >", {11, 50, 257, 8}),
        pushButton(1033, "Copy Loader", {7, 172, 60, 14}),
        pushButton(1034, "Copy Functions", {71, 172, 60, 14}),
    };
    return t;
}

}  // namespace

const DialogTemplate& resultsTemplate()
{
    static const DialogTemplate t = makeResults();
    return t;
}

const DialogTemplate* dialogTemplate(int id)
{
    switch (id) {
    case kResultsDialog:
        return &resultsTemplate();
    default:
        return nullptr;
    }
}

const fw::StringTable& strings()
{
    static const fw::StringTable table = {
        {kAboutMenuString, "&About Tavrin..."},
        {kSocketsFailedString, "Windows sockets initialization failed."},
    };
    return table;
}

}  // namespace tavrin::res
