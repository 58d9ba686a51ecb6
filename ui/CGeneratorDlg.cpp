#include "ui/CGeneratorDlg.h"

#include "framework/App.h"
#include "generator/ScriptGenerator.h"
#include "generator/TestPageWriter.h"
#include "res/Resources.h"
#include "ui/CAboutDlg.h"
#include "ui/CResultsDlg.h"

#include <array>

namespace tavrin::ui {

using namespace res;

namespace {

// Opens a file with its default application through the platform's back end.
bool openWithDefaultApplication(const std::string& path)
{
    return fw::AfxGetBackend().openWithDefaultApplication(path);
}

// The check box of each window feature, in the order of kWindowFeatures.
constexpr std::array<int, kWindowFeatures.size()> kFeatureBoxes = {
    kDirectories, kLocation, kMenuBar, kResizable, kScrollBars, kStatusBar, kToolbar,
};

}  // namespace

CGeneratorDlg::CGeneratorDlg(fw::CDialog* parent) : CDialog(res::mainTemplate(), parent), icon(res::kAppIcon) {}

void CGeneratorDlg::DoDataExchange(fw::DataExchange& dx)
{
    dx.text(kHeight, settings.height);
    dx.text(kName, settings.windowName);
    dx.text(kUrl, settings.pageUrl);
    dx.text(kWidth, settings.width);
    dx.text(kLeft, settings.left);
    dx.text(kTop, settings.top);
    dx.comboText(kDays, settings.days);
    dx.check(kCenter, settings.centre);
    for (std::size_t i = 0; i < kWindowFeatures.size(); ++i)
        dx.check(kFeatureBoxes[i], settings.*kWindowFeatures[i].flag);
    dx.radio(kOnButton, onButton);
    dx.radio(kOnClose, onClose);
    dx.radio(kOnLoad, onLoad);
    dx.radio(kPopOver, popOver);
    dx.radio(kPopUnder, popUnder);
}

const fw::CommandEntry CGeneratorDlg::kCommands[] = {
    fw::command(kCreatePopup, &CGeneratorDlg::OnCreatePopup),
    fw::command(kTestPopup, &CGeneratorDlg::OnTestPopup),
    fw::command(kOnLoad, &CGeneratorDlg::OnOnLoad),
    fw::command(kOnClose, &CGeneratorDlg::OnOnClose),
    fw::command(kOnButton, &CGeneratorDlg::OnOnButton),
    fw::command(kPopOver, &CGeneratorDlg::OnPopOver),
    fw::command(kPopUnder, &CGeneratorDlg::OnPopUnder),
};

std::span<const fw::CommandEntry> CGeneratorDlg::commandTable() const
{
    return kCommands;
}

// Runs once the window exists: framework set-up, About entry, icon, defaults.
bool CGeneratorDlg::OnInitDialog()
{
    if (!CDialog::OnInitDialog())
        return false;

    const std::string aboutMenu = fw::AfxGetApp()->loadString(res::kAboutMenuString);
    if (!aboutMenu.empty() && window()->appendSystemMenuSeparator())
        window()->appendSystemMenuItem(kIdmAboutBox, aboutMenu);

    window()->setIcon(icon);

    // The defaults: the radio values of the record's two choices, then its texts.
    const PopupSettings defaults = PopupSettings::defaults();
    showRadioChoices(defaults);
    settings = defaults;

    UpdateData(false);
    return true;
}

// Runs for the system menu's own entries: "&About Tavrin..." opens the About box.
void CGeneratorDlg::OnSysCommand(unsigned command)
{
    if ((command & 0xFFF0) == kIdmAboutBox) {
        CAboutDlg about;
        about.DoModal();
    }
}

// Runs when the window needs painting: while minimised, draws the icon centred.
void CGeneratorDlg::OnPaint(fw::PaintContext& dc)
{
    if (!dc.isMinimised())
        return;
    dc.eraseIconBackground();
    const int cxIcon = dc.iconWidth();
    const int cyIcon = dc.iconHeight();
    const int x = (dc.clientWidth() - cxIcon + 1) / 2;
    const int y = (dc.clientHeight() - cyIcon + 1) / 2;
    dc.drawIcon(icon, x, y);
}

// Runs when the minimised window is dragged: the icon to show.
int CGeneratorDlg::OnQueryDragIcon()
{
    return icon;
}

// Runs on "Create Popup": shows the generated texts in the Results dialog.
void CGeneratorDlg::OnCreatePopup()
{
    UpdateData(true);
    takeRadioChoices();
    const GeneratedScript script = ScriptGenerator::generate(settings);
    {
        CResultsDlg results(this);
        results.functionsText = script.functionsText;
        results.loaderText = script.loaderText;
        results.instructionText = script.instructionText;
        results.DoModal();
    }
    UpdateData(false);
}

// Runs on "Test Popup": writes the test page and opens it in the default browser.
void CGeneratorDlg::OnTestPopup()
{
    UpdateData(true);
    takeRadioChoices();
    const GeneratedScript script = ScriptGenerator::generate(settings);
    const std::string page = TestPageWriter::composePage(script, settings.trigger.value_or(PopupTrigger::OnLoad));
    // A page that could not be written is not opened, so no stale page is shown; one that no program could
    // show is told with its full path, to be opened by hand.
    const TestPageWriter writer;
    std::error_code error;
    if (!writer.writePage(page, error))
        MessageBox("Error Saving Test File\n\n" + writer.absolutePath() + "\n" + error.message(), "Save Test");
    else if (!writer.openPage(openWithDefaultApplication))
        MessageBox("No program could be started to show the test page. Open this file in your browser:\n" +
                       writer.absolutePath(),
                   "Test Popup");
    UpdateData(false);
}

// Runs on a click of "On Load".
void CGeneratorDlg::OnOnLoad()
{
    selectRadio(onLoad, onClose, &onButton);
}

// Runs on a click of "On Close".
void CGeneratorDlg::OnOnClose()
{
    selectRadio(onClose, onLoad, &onButton);
}

// Runs on a click of "On Button".
void CGeneratorDlg::OnOnButton()
{
    selectRadio(onButton, onLoad, &onClose);
}

// Runs on a click of "Pop Over".
void CGeneratorDlg::OnPopOver()
{
    selectRadio(popOver, popUnder, nullptr);
}

// Runs on a click of "Pop Under".
void CGeneratorDlg::OnPopUnder()
{
    selectRadio(popUnder, popOver, nullptr);
}

void CGeneratorDlg::selectRadio(std::int32_t& selected, std::int32_t& other1, std::int32_t* other2)
{
    UpdateData(true);
    selected = 0;
    other1 = -1;
    if (other2 != nullptr)
        *other2 = -1;
    UpdateData(false);
}

void CGeneratorDlg::showRadioChoices(const PopupSettings& choices)
{
    popOver = choices.placement == PopupPlacement::Over ? 0 : -1;
    popUnder = choices.placement == PopupPlacement::Under ? 0 : -1;
    onLoad = choices.trigger == PopupTrigger::OnLoad ? 0 : -1;
    onClose = choices.trigger == PopupTrigger::OnClose ? 0 : -1;
    onButton = choices.trigger == PopupTrigger::OnButton ? 0 : -1;
}

void CGeneratorDlg::takeRadioChoices()
{
    // The choice of each group is the button whose value is 0.
    settings.trigger.reset();
    if (onLoad == 0)
        settings.trigger = PopupTrigger::OnLoad;
    else if (onClose == 0)
        settings.trigger = PopupTrigger::OnClose;
    else if (onButton == 0)
        settings.trigger = PopupTrigger::OnButton;
    settings.placement.reset();
    if (popOver == 0)
        settings.placement = PopupPlacement::Over;
    else if (popUnder == 0)
        settings.placement = PopupPlacement::Under;
}

}  // namespace tavrin::ui
