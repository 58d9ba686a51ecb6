#include "ui/CResultsDlg.h"

#include "framework/App.h"
#include "res/Resources.h"

namespace tavrin::ui {

using namespace res;

CResultsDlg::CResultsDlg(fw::CDialog* parent) : CDialog(res::resultsTemplate(), parent) {}

void CResultsDlg::DoDataExchange(fw::DataExchange& dx)
{
    dx.text(kLoaderBox, loaderText);
    dx.text(kFunctionsBox, functionsText);
    dx.text(kInstructionLine, instructionText);
}

const fw::CommandEntry CResultsDlg::kCommands[] = {
    fw::command(kCopyLoader, &CResultsDlg::OnCopyLoader),
    fw::command(kCopyFunctions, &CResultsDlg::OnCopyFunctions),
};

std::span<const fw::CommandEntry> CResultsDlg::commandTable() const
{
    return kCommands;
}

// Runs on "Copy Loader": puts the loader attribute on the clipboard.
void CResultsDlg::OnCopyLoader()
{
    UpdateData(true);
    copyToClipboard(loaderText);
}

// Runs on "Copy Functions": puts the script block on the clipboard.
void CResultsDlg::OnCopyFunctions()
{
    UpdateData(true);
    copyToClipboard(functionsText);
}

void CResultsDlg::copyToClipboard(const std::string& text)
{
    // A failed copy is told, so that nobody pastes the clipboard's old
    // content believing it is the new script.
    const char* why = nullptr;
    switch (fw::AfxGetBackend().copyText(*window(), text)) {
    case fw::ClipboardResult::Copied:
        return;
    case fw::ClipboardResult::CannotOpen:
        why = "another program is using the clipboard. Please try again.";
        break;
    case fw::ClipboardResult::NoMemory:
        why = "there is not enough memory for it.";
        break;
    case fw::ClipboardResult::Refused:
        why = "the clipboard did not accept it.";
        break;
    }
    MessageBox(std::string("The text was not copied to the clipboard: ") + why, "Copy to Clipboard",
               fw::MbButtons::Ok, fw::MbIcon::Exclamation);
}

}  // namespace tavrin::ui
