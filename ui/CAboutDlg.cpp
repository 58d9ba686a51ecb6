#include "ui/CAboutDlg.h"

#include "res/Resources.h"

namespace tavrin::ui {

CAboutDlg::CAboutDlg() : CDialog(res::aboutTemplate()) {}

}  // namespace tavrin::ui
