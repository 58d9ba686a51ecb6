#pragma once
// The Results dialog: shows the texts of one generated script and copies the
// loader or the script block to the clipboard.
//
//   CResultsDlg dlg(this);
//   dlg.functionsText = script.functionsText;  // and the other two texts
//   dlg.DoModal();

#include "framework/Dialog.h"

#include <string>

namespace tavrin::ui {

// Shows a generated script and puts its parts on the clipboard on request.
class CResultsDlg : public fw::CDialog {
public:
    explicit CResultsDlg(fw::CDialog* parent = nullptr);

    std::string loaderText;
    std::string functionsText;
    std::string instructionText;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    std::span<const fw::CommandEntry> commandTable() const override;

private:
    static const fw::CommandEntry kCommands[];

    // "Copy Loader": the loader attribute to the clipboard.
    void OnCopyLoader();
    // "Copy Functions": the script block to the clipboard.
    void OnCopyFunctions();
    // Puts `text` on the clipboard as plain text, or tells why it could not.
    void copyToClipboard(const std::string& text);
};

}  // namespace tavrin::ui
