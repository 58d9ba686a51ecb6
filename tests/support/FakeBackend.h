#pragma once
// A back end without a screen, for the tests: every control's state lives in
// memory, the platform's answers are plain values a test sets, and a test
// acts on the dialogs as a user would.
//
// A test queues user actions, then runs the program or a dialog; each modal
// run takes actions from the queue until its dialog ends, so nested dialogs
// are driven by one script:
//
//   FakeBackend ui;
//   ui.script().type(kWidth, "300").click(kCreatePopup).click(kCopyFunctions)
//              .click(kReturn).pressEnter(kUrl);
//   runTavrin(ui, "tavrin");
//   EXPECT_EQ(ui.clipboard, "...");
//   EXPECT_TRUE(ui.errors().empty());
//
// Actions reach the innermost open dialog, as the owners of a modal dialog
// take no input. A dialog still open when the queue runs dry is cancelled and
// the stall is listed in `errors()`, as is any action that a user could not
// perform (a missing control, typing into a read-only box).

#include "framework/Backend.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavrin::test {

// The system menu's own Close.
inline constexpr unsigned kScClose = 0xF060;

// An entry a dialog appended to its system menu; a separator has command 0 and no text.
struct SystemMenuItem {
    unsigned command = 0;
    std::string text;
};

// A message box as it was shown.
struct ShownMessageBox {
    int ownerTemplateId = 0;  // 0: no owner
    std::string text;
    std::string caption;
    fw::MbButtons buttons = fw::MbButtons::Ok;
    fw::MbIcon icon = fw::MbIcon::None;
};

class FakeBackend;

// A dialog window held in memory, one pixel to a dialog unit.
class FakeWindow final : public fw::Window {
public:
    FakeWindow(const fw::DialogTemplate& tmpl, fw::Window* owner, fw::WindowEvents& events, FakeBackend& backend);

    std::string text(int id) const override;
    void setText(int id, std::string_view text) override;
    int checkState(int id) const override;
    void setCheckState(int id, int state) override;
    bool addListItem(int id, std::string_view item) override;
    int listCount(int id) const override;
    std::string listItem(int id, int index) const override;
    int listSelection(int id) const override;
    void setListSelection(int id, int index) override;
    bool isListDropped(int id) const override;
    void closeList(int id) override;
    int focus() const override { return focus_; }
    void setFocus(int id) override;
    fw::PixelRect frame() const override { return frame_; }
    void moveTo(int x, int y) override;
    bool isVisibleAndNotMinimised() const override { return !minimised_; }
    void setIcon(int iconId) override { iconId_ = iconId; }
    bool appendSystemMenuSeparator() override;
    bool appendSystemMenuItem(unsigned command, std::string_view text) override;
    void openWindowMenu() override { ++windowMenuOpens_; }
    void endDialog(int result) override;

    const fw::DialogTemplate& dialogTemplate() const { return tmpl_; }
    fw::Window* owner() const { return owner_; }
    fw::WindowEvents& events() const { return events_; }
    const std::vector<SystemMenuItem>& systemMenu() const { return systemMenu_; }
    int iconId() const { return iconId_; }
    int windowMenuOpens() const { return windowMenuOpens_; }
    std::optional<int> result() const { return result_; }
    void setMinimised(bool minimised) { minimised_ = minimised; }
    // Drops the list, highlighting the item the field's text stands for.
    void dropList(int id);
    // The item a dropped list highlights; -1 for none.
    int listHighlight(int id) const;

    // A user's input, handled as the desktops handle it: a click on a check
    // box or radio button changes it before its command; Tab moves the focus
    // through the tab stops in template order; a dropped list takes Enter
    // (picks the highlighted item), Escape and the arrows, which with the
    // list closed step through its items; F4 and Alt+Down drop the list.
    // False when no user could give it (a click on a control that is not a
    // button).
    bool click(int id);
    void pressTab(bool backwards);
    void pressEnter();
    void pressEscape();
    void pressSpace();
    void pressDropKey();
    void pressArrow(int step);
    // How often the text of control `id` has been set, by typing or by the program.
    int textWrites(int id) const;

private:
    struct Control {
        fw::ControlKind kind = fw::ControlKind::Text;
        std::string text;
        int check = 0;
        std::vector<std::string> items;
        int selection = -1;
        bool dropped = false;
        int highlight = -1;
        int textWrites = 0;
    };
    Control* find(int id);
    const Control* find(int id) const;

    const fw::DialogTemplate& tmpl_;
    fw::Window* owner_;
    fw::WindowEvents& events_;
    FakeBackend& backend_;
    std::map<int, Control> controls_;
    std::vector<SystemMenuItem> systemMenu_;
    int focus_ = fw::kNoId;
    fw::PixelRect frame_;
    bool minimised_ = false;
    int iconId_ = 0;
    int windowMenuOpens_ = 0;
    std::optional<int> result_;
};

// A queue of user actions, one call per action, done in turn by the modal runs.
class Script {
public:
    explicit Script(FakeBackend& ui) : ui_(ui) {}
    // Replaces the text of an edit box or of the combo's edit field.
    Script& type(int id, std::string text);
    // Presses a push button, ticks or clears a check box, selects a radio button.
    Script& click(int id);
    // Drops the combo's list, picks item `index` and closes the list.
    Script& pickItem(int id, int index);
    Script& dropList(int id);
    Script& pressEnter(int focusId);
    Script& pressEscape(int focusId);
    Script& pressF1();
    Script& closeBox();
    // Chooses the system-menu entry with `command`: kScClose, or one the dialog appended.
    Script& systemMenu(unsigned command);
    // Runs `step` in turn, for checks between actions.
    Script& then(std::function<void(FakeBackend&)> step);

private:
    FakeBackend& ui_;
};

// Dialogs, message boxes, clipboard and opener in memory.
class FakeBackend final : public fw::Backend {
public:
    Script script() { return Script(*this); }
    std::size_t pendingActions() const { return actions_.size(); }

    // What the user sees: the innermost open dialog, or the one `depth` levels in (0: the outermost).
    FakeWindow& top() const;
    FakeWindow& dialog(std::size_t depth) const { return *open_.at(depth); }
    std::vector<int> openDialogs() const;  // template ids, outermost first
    std::string text(int id) const { return top().text(id); }
    int checkState(int id) const { return top().checkState(id); }
    int listSelection(int id) const { return top().listSelection(id); }
    int focus() const { return top().focus(); }
    // Every action a user could not have done, and every stalled dialog.
    const std::vector<std::string>& errors() const { return errors_; }

    // What the program did, and what the platform answers it.
    std::vector<int> dialogsShown;  // template ids, in the order the dialogs ran
    std::vector<ShownMessageBox> messageBoxes;
    std::deque<int> messageBoxAnswers;  // the buttons pressed next, by id; without one, the first button
    std::deque<int> messageBoxPresses;  // the buttons pressed next, by place (0 the first), before any by id
    fw::PixelRect screenWorkArea{0, 0, 1024, 738};
    bool socketsAvailable = true;
    int socketStarts = 0;
    int listItemsBeforeFailure = -1;  // list items that can still be added, as when memory runs out; -1: any
    std::optional<std::string> clipboard;  // the clipboard's text; none while it is empty
    fw::ClipboardResult copyResult = fw::ClipboardResult::Copied;  // any other result leaves the clipboard as it is
    int copies = 0;
    std::vector<std::string> opened;  // files opened with their default application
    bool openFails = false;

    int runModal(const fw::DialogTemplate& tmpl, fw::Window* owner, fw::WindowEvents& events) override;
    fw::PixelRect workArea() const override { return screenWorkArea; }
    int messageBox(fw::Window* owner, std::string_view text, std::string_view caption, fw::MbButtons buttons,
                   fw::MbIcon icon) override;
    fw::ClipboardResult copyText(fw::Window& owner, std::string_view text) override;
    bool openWithDefaultApplication(const std::string& path) override;
    bool startSockets() override;

private:
    friend class Script;
    // The innermost dialog when it has control `id` (or when `id` is kNoId), else nullptr with an error noted.
    FakeWindow* target(const char* action, int id = fw::kNoId);
    void error(std::string message) { errors_.push_back(std::move(message)); }

    std::deque<std::function<void(FakeBackend&)>> actions_;
    std::vector<FakeWindow*> open_;
    std::vector<std::string> errors_;
};

}  // namespace tavrin::test
