#pragma once
// The in-memory back end: every control's state lives in memory and tests
// act on the dialogs as a user would.
//
// A test queues user actions, then runs the program or a dialog; each modal
// run takes actions from the queue until its dialog ends, so nested dialogs
// are driven by one script:
//
//   HeadlessBackend ui;
//   ui.script().type(kWidth, "300").click(kCreatePopup).click(kCopyFunctions)
//              .click(kReturn).pressEnter(kUrl);
//   app.run(ui, "tavrin");
//   EXPECT_EQ(ui.clipboard().text(), "...");
//   EXPECT_TRUE(ui.errors().empty());
//
// Actions always reach the innermost open dialog, as the owners of a modal
// dialog take no input. A dialog still open when the queue runs dry is
// cancelled and the stall is listed in `errors()`, as is any action that a
// user could not perform (a missing control, typing into a read-only box).

#include "framework/Backend.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavrin::fw::headless {

inline constexpr unsigned kScMove = 0xF010;
inline constexpr unsigned kScClose = 0xF060;

// One entry of a system menu; a separator has command 0 and no text.
struct SystemMenuItem {
    unsigned command = 0;
    std::string text;
};

// A message box as it was shown.
struct ShownMessageBox {
    int ownerTemplateId = 0;  // 0: no owner
    std::string text;
    std::string caption;
    MbButtons buttons = MbButtons::Ok;
    MbIcon icon = MbIcon::None;
};

class HeadlessBackend;

// A dialog window held in memory.
class HeadlessWindow final : public Window {
public:
    HeadlessWindow(const DialogTemplate& tmpl, Window* owner, WindowEvents& events, HeadlessBackend& backend);

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
    PixelRect frame() const override { return frame_; }
    void moveTo(int x, int y) override;
    bool isVisibleAndNotMinimised() const override { return !minimised_; }
    void setIcon(int iconId) override { iconId_ = iconId; }
    bool appendSystemMenuSeparator() override;
    bool appendSystemMenuItem(unsigned command, std::string_view text) override;
    void endDialog(int result) override;

    const DialogTemplate& dialogTemplate() const { return tmpl_; }
    Window* owner() const { return owner_; }
    WindowEvents& events() const { return events_; }
    bool hasControl(int id) const { return controls_.contains(id); }
    const std::vector<SystemMenuItem>& systemMenu() const { return systemMenu_; }
    bool hasSystemMenu() const { return tmpl_.systemMenu; }
    int iconId() const { return iconId_; }
    std::optional<int> result() const { return result_; }
    void setMinimised(bool minimised) { minimised_ = minimised; }
    // How often the text of control `id` has been set, by typing or by the program.
    int textWrites(int id) const;
    void dropList(int id);

private:
    struct Control {
        const ControlTemplate* tmpl = nullptr;
        std::string text;
        int check = 0;
        std::vector<std::string> items;
        int selection = -1;
        bool dropped = false;
        int textWrites = 0;
    };
    Control* find(int id);
    const Control* find(int id) const;

    const DialogTemplate& tmpl_;
    Window* owner_;
    WindowEvents& events_;
    HeadlessBackend& backend_;
    std::map<int, Control> controls_;
    std::vector<SystemMenuItem> systemMenu_;
    int focus_ = kNoId;
    PixelRect frame_;
    bool minimised_ = false;
    int iconId_ = 0;
    std::optional<int> result_;
};

// The clipboard, as plain zero-terminated text blocks, with failures on call.
class FakeClipboard {
public:
    // The step of a copy that is made to fail.
    enum class Failure { None, Open, Allocate, Lock, Set };

    void failAt(Failure step) { failure_ = step; }
    // Puts content there as another program would.
    void setBytes(std::string bytes) { bytes_ = std::move(bytes); }

    // The block the clipboard holds, terminating zero included; none when empty.
    const std::optional<std::string>& bytes() const { return bytes_; }
    // The held text up to its terminating zero.
    std::string text() const;
    int copies() const { return copies_; }
    bool isOpen() const { return open_; }
    int blocksAllocated() const { return allocated_; }
    int blocksFreed() const { return freed_; }
    int blocksTaken() const { return taken_; }

    ClipboardResult copy(std::string_view text);

private:
    Failure failure_ = Failure::None;
    std::optional<std::string> bytes_;
    bool open_ = false;
    int copies_ = 0;
    int allocated_ = 0;
    int freed_ = 0;
    int taken_ = 0;
};

// Opening a file with its default application: recorded, and made to fail on call.
class FakeOpener {
public:
    void setFails(bool fails) { fails_ = fails; }
    const std::vector<std::string>& opened() const { return opened_; }
    bool open(const std::string& path);

private:
    bool fails_ = false;
    std::vector<std::string> opened_;
};

// A queue of user actions, built one call per action.
class Script {
public:
    explicit Script(HeadlessBackend& ui) : ui_(ui) {}
    Script& type(int id, std::string text);
    Script& click(int id);
    Script& pickItem(int id, int index);
    Script& dropList(int id);
    Script& pressEnter(int focusId);
    Script& pressEscape(int focusId);
    Script& pressF1();
    Script& closeBox();
    Script& systemMenu(unsigned command);
    // Runs `step` in turn, for checks between actions.
    Script& then(std::function<void(HeadlessBackend&)> step);

private:
    HeadlessBackend& ui_;
};

// A back end without a screen: dialogs, message boxes, clipboard and opener in memory.
class HeadlessBackend final : public Backend {
public:
    HeadlessBackend();

    // Queued actions, taken by the modal runs in order.
    Script script() { return Script(*this); }
    void enqueue(std::function<void(HeadlessBackend&)> action) { actions_.push_back(std::move(action)); }
    std::size_t pendingActions() const { return actions_.size(); }

    // User actions on the innermost open dialog, done at once. Each one that
    // aims at a control first puts the focus there.
    // Replaces the text of an edit box or of the combo's edit field.
    void type(int id, std::string_view text);
    // Presses a push button, ticks or clears a check box, selects a radio button.
    void click(int id);
    // Drops the combo's list, picks item `index` and closes the list.
    void pickItem(int id, int index);
    void dropList(int id);
    void pressEnter(int focusId);
    void pressEscape(int focusId);
    void pressF1();
    void closeBox();
    // Chooses the system-menu entry with `command` (kScClose, or one the dialog added).
    void systemMenu(unsigned command);

    // What the user sees.
    HeadlessWindow& top() const;
    // The open dialog `depth` levels in, 0 being the outermost.
    HeadlessWindow& dialog(std::size_t depth) const { return *open_.at(depth); }
    std::vector<int> openDialogs() const;  // template ids, outermost first
    const std::vector<int>& dialogsShown() const { return shown_; }
    std::string text(int id) const { return top().text(id); }
    int checkState(int id) const { return top().checkState(id); }
    int listSelection(int id) const { return top().listSelection(id); }
    int focus() const { return top().focus(); }
    const std::vector<ShownMessageBox>& messageBoxes() const { return messageBoxes_; }
    // Every action a user could not have done, and every stalled dialog.
    const std::vector<std::string>& errors() const { return errors_; }

    // Answers for the next message boxes; without one the first button is pressed.
    void answerMessageBox(int buttonId) { answers_.push_back(buttonId); }
    void setWorkArea(PixelRect area) { workArea_ = area; }
    void setSocketsAvailable(bool available) { socketsAvailable_ = available; }
    int socketStarts() const { return socketStarts_; }
    // Lets only `count` more list items be added, as when memory runs out.
    void failListItemsAfter(int count) { listItemsBeforeFailure_ = count; }
    // False once the items allowed by `failListItemsAfter` are used up.
    bool takeListItem();
    FakeClipboard& clipboard() { return clipboard_; }
    FakeOpener& opener() { return opener_; }

    int runModal(const DialogTemplate& tmpl, Window* owner, WindowEvents& events) override;
    PixelRect workArea() const override { return workArea_; }
    int messageBox(Window* owner, std::string_view text, std::string_view caption, MbButtons buttons,
                   MbIcon icon) override;
    ClipboardResult copyText(Window& owner, std::string_view text) override;
    bool openWithDefaultApplication(const std::string& path) override;
    bool startSockets() override;

private:
    // The innermost dialog, or nullptr with an error noted for `action`.
    HeadlessWindow* target(const char* action);
    // The control `id` of the innermost dialog, or nullptr with an error noted.
    const ControlTemplate* targetControl(HeadlessWindow& window, int id, const char* action);
    void error(std::string message);

    std::deque<std::function<void(HeadlessBackend&)>> actions_;
    std::vector<HeadlessWindow*> open_;
    std::vector<int> shown_;
    std::vector<ShownMessageBox> messageBoxes_;
    std::deque<int> answers_;
    std::vector<std::string> errors_;
    PixelRect workArea_{0, 0, 1024, 738};
    bool socketsAvailable_ = true;
    int socketStarts_ = 0;
    int listItemsBeforeFailure_ = -1;
    FakeClipboard clipboard_;
    FakeOpener opener_;
};

}  // namespace tavrin::fw::headless
