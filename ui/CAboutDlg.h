#pragma once
// The About box that the main dialog's system menu opens.

#include "framework/Dialog.h"

namespace tavrin::ui {

// Shows the product's name and version; "OK", Enter, Escape and the close box end it.
class CAboutDlg : public fw::CDialog {
public:
    CAboutDlg();
};

}  // namespace tavrin::ui
