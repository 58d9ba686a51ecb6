#pragma once
// The modal dialog base and its two-way data exchange.
//
// A dialog derives from `CDialog`, keeps its bound values as members, lists
// its bindings in `DoDataExchange` (one call per control, in binding order)
// and its commands in a static table:
//
//   class CMyDlg : public fw::CDialog {
//   public:
//       CMyDlg() : CDialog(myTemplate()) {}
//       std::string name;
//   protected:
//       void DoDataExchange(fw::DataExchange& dx) override { dx.text(1001, name); }
//       std::span<const fw::CommandEntry> commandTable() const override;
//   private:
//       static const fw::CommandEntry kCommands[];
//       void OnApply();
//   };
//
//   // In the .cpp, after the class is complete:
//   const fw::CommandEntry CMyDlg::kCommands[] = {fw::command(1002, &CMyDlg::OnApply)};
//   std::span<const fw::CommandEntry> CMyDlg::commandTable() const { return kCommands; }
//
// Commands with no entry go to `OnOK` (1), `OnCancel` (2) or the application's
// command table, and otherwise do nothing.
//
// `DoModal` runs the dialog through the application's back end and returns
// 1 after OK, 2 after cancel and -1 when it could not be initialised.

#include "framework/Backend.h"
#include "framework/CommandTable.h"
#include "framework/Template.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tavrin::fw {

class CDialog;

// One entry of a dialog's command table: control id to member handler.
using CommandEntry = CommandTableEntry<CDialog>;

// Builds a command table entry from a handler of a class derived from CDialog.
template <class Dlg>
inline CommandEntry command(int id, void (Dlg::*handler)())
{
    return {id, static_cast<void (CDialog::*)()>(handler)};
}

// One pass of data exchange between a dialog's controls and its members.
class DataExchange {
public:
    DataExchange(Window& window, bool saveAndValidate) : window_(window), save_(saveAndValidate) {}

    // True: controls to members; false: members to controls.
    bool saving() const { return save_; }

    // The control's whole text; a control already showing the text is left alone.
    void text(int id, std::string& value);
    // The combo's edit field; showing a value selects the first list item
    // that begins with it (case ignored), else shows the text with no item
    // selected. An empty text never matches.
    void comboText(int id, std::string& value);
    // 1 ticked, 0 clear (2 indeterminate); a value outside 0..2 is reset to 0
    // before it is shown.
    void check(int id, std::int32_t& value);
    // A radio button that is a group of its own: 0 selected, -1 clear.
    void radio(int id, std::int32_t& value);

private:
    Window& window_;
    bool save_;
};

// Where a window of `frame`'s size goes when centred over `over`, moved as
// needed to lie inside `workArea`.
PixelRect centredFrame(const PixelRect& frame, const PixelRect& over, const PixelRect& workArea);

// Index of the first list item that begins with `prefix`, case ignored; -1
// when none does or `prefix` is empty.
int findListPrefix(const Window& window, int comboId, std::string_view prefix);

// The base of every modal dialog.
class CDialog : public WindowEvents {
public:
    // `parent` owns the dialog; with none, the active dialog does.
    explicit CDialog(const DialogTemplate& tmpl, CDialog* parent = nullptr);
    ~CDialog() override = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Creates, initialises and runs the dialog modally; 1, 2 or -1.
    int DoModal();

    // Controls to members (true) or members to controls (false).
    bool UpdateData(bool saveAndValidate = true);

    // Ends the modal run with `result`.
    void EndDialog(int result);

    // A modal message box owned by this dialog, with the caller's text and
    // caption and no icon added.
    int MessageBox(std::string_view text, std::string_view caption, MbButtons buttons = MbButtons::Ok,
                   MbIcon icon = MbIcon::None);

    // The dialog's window while it runs; nullptr otherwise.
    Window* window() const { return window_; }

protected:
    // The framework's part of initialisation: fills the combo lists from the
    // template, then members to controls. False ends the dialog with -1.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange&) {}
    virtual std::span<const CommandEntry> commandTable() const { return {}; }
    // Id 1 and Enter on the default button: controls to members, end with 1.
    virtual void OnOK();
    // Id 2, Escape, the close box and the system menu's Close: end with 2.
    virtual void OnCancel();
    // System-menu entries the dialog added itself.
    virtual void OnSysCommand(unsigned) {}
    // Paints the client area where the platform leaves a minimised window's
    // picture to the program; drawing nothing keeps the platform's painting.
    virtual void OnPaint(PaintContext&) {}
    // The icon resource shown while the minimised window is dragged; 0: the platform's.
    virtual int OnQueryDragIcon() { return 0; }

private:
    bool onWindowCreated(Window& window) final;
    void onCommand(int id) final;
    void onEnterKey(int focusId) final;
    void onEscapeKey() final;
    void onAltSpaceKey() final;
    int onListItemRequest(int comboId) final;
    void onWindowMenuCommand(unsigned command) final;
    void onPaintRequest(PaintContext& paint) final { OnPaint(paint); }
    int onDragIconRequest() final { return OnQueryDragIcon(); }

    bool fillLists();
    void centre();
    void focusFirstTabStop();

    const DialogTemplate& tmpl_;
    CDialog* parent_;
    Window* owner_ = nullptr;
    Window* window_ = nullptr;
};

// The window of the innermost dialog running modally; nullptr when none is.
Window* activeDialogWindow();

}  // namespace tavrin::fw
