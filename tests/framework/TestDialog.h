#pragma once
// A small dialog with one control of every bound kind, for the framework tests.

#include "framework/Dialog.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tavrin::test {

enum TestControl : int {
    kOk = 1,
    kCancel = 2,
    kName = 1001,
    kFruit = 1002,
    kFlag = 1003,
    kFirst = 1004,
    kSecond = 1005,
    kApply = 1006,
    kNotes = 1007,
    kNested = 1008,
    kUnhandled = 1009,
};

inline fw::DialogTemplate makeTestTemplate()
{
    using fw::ControlKind;
    fw::DialogTemplate t;
    t.id = 900;
    t.caption = "Test";
    t.cx = 200;
    t.cy = 100;
    auto add = [&t](int id, ControlKind kind, const char* caption, bool tabStop = true) -> fw::ControlTemplate& {
        fw::ControlTemplate c;
        c.id = id;
        c.kind = kind;
        c.caption = caption;
        c.tabStop = tabStop;
        t.controls.push_back(c);
        return t.controls.back();
    };
    add(fw::kNoId, ControlKind::Text, "Name:", false);
    add(kName, ControlKind::Edit, "");
    add(kFruit, ControlKind::ComboBox, "");
    add(kFlag, ControlKind::CheckBox, "Flag");
    add(kFirst, ControlKind::RadioButton, "First").group = true;
    add(kSecond, ControlKind::RadioButton, "Second").group = true;
    add(kOk, ControlKind::PushButton, "OK").defaultButton = true;
    add(kCancel, ControlKind::PushButton, "Cancel");
    add(kApply, ControlKind::PushButton, "Apply");
    add(kNested, ControlKind::PushButton, "Nested");
    add(kUnhandled, ControlKind::PushButton, "Unhandled");
    fw::ControlTemplate& notes = add(kNotes, ControlKind::Edit, "");
    notes.readOnly = true;
    notes.multiLine = true;
    t.listInit.push_back({kFruit, {"Apple", "apricot", "Banana", "3", "30", "300"}});
    return t;
}

inline const fw::DialogTemplate& testTemplate()
{
    static const fw::DialogTemplate t = makeTestTemplate();
    return t;
}

// Binds one member to each control and counts its commands.
class TestDialog : public fw::CDialog {
public:
    explicit TestDialog(fw::CDialog* parent = nullptr) : CDialog(testTemplate(), parent) {}

    std::string name;
    std::string fruit;
    std::int32_t flag = 0;
    std::int32_t first = -1;
    std::int32_t second = -1;
    std::string notes;
    int applies = 0;
    int nestedResult = 0;
    // Runs inside the dialog's own initialisation, after the framework's part.
    std::function<void(TestDialog&)> onInit;

protected:
    void DoDataExchange(fw::DataExchange& dx) override
    {
        dx.text(kName, name);
        dx.comboText(kFruit, fruit);
        dx.check(kFlag, flag);
        dx.radio(kFirst, first);
        dx.radio(kSecond, second);
        dx.text(kNotes, notes);
    }
    bool OnInitDialog() override
    {
        if (!CDialog::OnInitDialog())
            return false;
        if (onInit)
            onInit(*this);
        return true;
    }
    std::span<const fw::CommandEntry> commandTable() const override;

private:
    static const fw::CommandEntry kCommands[];

    // "Apply": reads the controls and counts.
    void OnApply()
    {
        UpdateData(true);
        ++applies;
    }
    // "Nested": runs another test dialog with no parent named.
    void OnNested()
    {
        TestDialog nested;
        nestedResult = nested.DoModal();
    }
};

inline const fw::CommandEntry TestDialog::kCommands[] = {
    fw::command(kApply, &TestDialog::OnApply),
    fw::command(kNested, &TestDialog::OnNested),
};

inline std::span<const fw::CommandEntry> TestDialog::commandTable() const
{
    return kCommands;
}

}  // namespace tavrin::test
