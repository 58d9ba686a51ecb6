#pragma once
// The main dialog: edits the one settings record and runs "Create Popup" and
// "Test Popup" on it.
//
//   CGeneratorDlg dlg;
//   dlg.DoModal();  // 1 after "Quit", 2 after a cancel, -1 when it could not start
//
// Every handler that reads or changes the settings first copies the controls
// into the members and ends by copying the members back into the controls.

#include "framework/Dialog.h"
#include "generator/PopupSettings.h"

#include <cstdint>

namespace tavrin::ui {

// Holds the popup settings for the program's whole run and starts the commands on them.
class CGeneratorDlg : public fw::CDialog {
public:
    explicit CGeneratorDlg(fw::CDialog* parent = nullptr);

    // Everything but the two radio choices, which the five values below hold.
    PopupSettings settings;
    // One value per radio button: 0 selected, -1 clear.
    std::int32_t onLoad = -1;
    std::int32_t onClose = -1;
    std::int32_t onButton = -1;
    std::int32_t popOver = -1;
    std::int32_t popUnder = -1;
    // The window's icon resource, shown as its big and small icon.
    int icon;

    // The system-menu command that opens the About box.
    static constexpr unsigned kIdmAboutBox = 0x10;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    std::span<const fw::CommandEntry> commandTable() const override;
    bool OnInitDialog() override;
    void OnSysCommand(unsigned command) override;
    void OnPaint(fw::PaintContext& dc) override;
    int OnQueryDragIcon() override;

private:
    static const fw::CommandEntry kCommands[];

    // "Create Popup": generates the texts and shows them in the Results dialog.
    void OnCreatePopup();
    // "Test Popup": writes the test page and opens it.
    void OnTestPopup();
    // "On Load", "On Close", "On Button": the trigger group's choice.
    void OnOnLoad();
    void OnOnClose();
    void OnOnButton();
    // "Pop Over", "Pop Under": the placement group's choice.
    void OnPopOver();
    void OnPopUnder();

    // Selects one radio value of a group and clears the others, keeping what
    // the other controls show.
    void selectRadio(std::int32_t& selected, std::int32_t& other1, std::int32_t* other2);
    // The five radio values for the two choices of `choices`.
    void showRadioChoices(const PopupSettings& choices);
    // The record with the radio choices as the generator reads them.
    void takeRadioChoices();
};

}  // namespace tavrin::ui
