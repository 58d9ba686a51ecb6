#include "ui/CGeneratorApp.h"

#include "res/Resources.h"
#include "ui/CGeneratorDlg.h"

namespace tavrin::ui {

CGeneratorApp theApp;

CGeneratorApp::CGeneratorApp() : CWinApp(res::strings()) {}

// F1 asks for help; there is no help file, so it does nothing.
const fw::AppCommandEntry CGeneratorApp::kCommands[] = {
    fw::appCommand(fw::kIdHelp, &CWinApp::OnHelp),
};

std::span<const fw::AppCommandEntry> CGeneratorApp::commandTable() const
{
    return kCommands;
}

bool CGeneratorApp::InitInstance()
{
    if (!backend().startSockets()) {
        fw::AfxMessageBox(res::kSocketsFailedString, fw::MbButtons::Ok, fw::MbIcon::Exclamation);
        return false;
    }
    CGeneratorDlg dlg;
    dlg.DoModal();
    return false;
}

}  // namespace tavrin::ui
