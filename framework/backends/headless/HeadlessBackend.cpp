#include "framework/backends/headless/HeadlessBackend.h"

#include "framework/App.h"

#include <algorithm>
#include <memory>

namespace tavrin::fw::headless {

namespace {

// Dialog base units of an 8-point "MS Sans Serif" on a 96 dpi screen, and
// the size of a dialog frame with its title bar.
constexpr int kBaseX = 6;
constexpr int kBaseY = 13;
constexpr int kFrameX = 6;
constexpr int kFrameY = 25;

int firstButton(MbButtons buttons)
{
    return (buttons == MbButtons::YesNo || buttons == MbButtons::YesNoCancel) ? kIdYes : kIdOk;
}

bool typable(const ControlTemplate& c)
{
    return (c.kind == ControlKind::Edit && !c.readOnly) || c.kind == ControlKind::ComboBox;
}

}  // namespace

HeadlessWindow::HeadlessWindow(const DialogTemplate& tmpl, Window* owner, WindowEvents& events,
                               HeadlessBackend& backend)
    : tmpl_(tmpl), owner_(owner), events_(events), backend_(backend)
{
    for (const ControlTemplate& c : tmpl.controls) {
        if (c.id == kNoId)
            continue;
        Control& control = controls_[c.id];
        control.tmpl = &c;
        if (c.kind != ControlKind::ComboBox)
            control.text = c.caption;
    }
    if (tmpl.systemMenu) {
        systemMenu_ = {{kScMove, "&Move"}, {kScClose, "&Close"}};
    }
    frame_.cx = tmpl.cx * kBaseX / 4 + kFrameX;
    frame_.cy = tmpl.cy * kBaseY / 8 + kFrameY;
}

HeadlessWindow::Control* HeadlessWindow::find(int id)
{
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

const HeadlessWindow::Control* HeadlessWindow::find(int id) const
{
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

std::string HeadlessWindow::text(int id) const
{
    const Control* c = find(id);
    return c != nullptr ? c->text : std::string();
}

void HeadlessWindow::setText(int id, std::string_view text)
{
    if (Control* c = find(id)) {
        c->text = text;
        ++c->textWrites;
    }
}

int HeadlessWindow::textWrites(int id) const
{
    const Control* c = find(id);
    return c != nullptr ? c->textWrites : 0;
}

int HeadlessWindow::checkState(int id) const
{
    const Control* c = find(id);
    return c != nullptr ? c->check : 0;
}

void HeadlessWindow::setCheckState(int id, int state)
{
    if (Control* c = find(id))
        c->check = state;
}

bool HeadlessWindow::addListItem(int id, std::string_view item)
{
    Control* c = find(id);
    if (c == nullptr || c->tmpl->kind != ControlKind::ComboBox || !backend_.takeListItem())
        return false;
    c->items.emplace_back(item);
    return true;
}

int HeadlessWindow::listCount(int id) const
{
    const Control* c = find(id);
    return c != nullptr ? static_cast<int>(c->items.size()) : 0;
}

std::string HeadlessWindow::listItem(int id, int index) const
{
    const Control* c = find(id);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size()))
        return {};
    return c->items[static_cast<std::size_t>(index)];
}

int HeadlessWindow::listSelection(int id) const
{
    const Control* c = find(id);
    return c != nullptr ? c->selection : -1;
}

void HeadlessWindow::setListSelection(int id, int index)
{
    Control* c = find(id);
    if (c == nullptr)
        return;
    if (index < 0 || index >= static_cast<int>(c->items.size())) {
        c->selection = -1;
        c->text.clear();
    } else {
        c->selection = index;
        c->text = c->items[static_cast<std::size_t>(index)];
    }
}

bool HeadlessWindow::isListDropped(int id) const
{
    const Control* c = find(id);
    return c != nullptr && c->dropped;
}

void HeadlessWindow::closeList(int id)
{
    if (Control* c = find(id))
        c->dropped = false;
}

void HeadlessWindow::dropList(int id)
{
    if (Control* c = find(id))
        c->dropped = true;
}

void HeadlessWindow::setFocus(int id)
{
    if (find(id) != nullptr)
        focus_ = id;
}

void HeadlessWindow::moveTo(int x, int y)
{
    frame_.x = x;
    frame_.y = y;
}

bool HeadlessWindow::appendSystemMenuSeparator()
{
    if (!tmpl_.systemMenu)
        return false;
    systemMenu_.push_back({});
    return true;
}

bool HeadlessWindow::appendSystemMenuItem(unsigned command, std::string_view text)
{
    if (!tmpl_.systemMenu)
        return false;
    systemMenu_.push_back({command, std::string(text)});
    return true;
}

void HeadlessWindow::endDialog(int result)
{
    if (!result_)
        result_ = result;
}

std::string FakeClipboard::text() const
{
    if (!bytes_)
        return {};
    return bytes_->substr(0, bytes_->find('\0'));
}

ClipboardResult FakeClipboard::copy(std::string_view text)
{
    // The steps of a copy, in order: open, allocate a block of the text's
    // length plus one, lock it and copy the text with its zero, empty the
    // clipboard and hand it the block, close.
    if (failure_ == Failure::Open)
        return ClipboardResult::CannotOpen;
    open_ = true;
    struct Closer {
        bool& open;
        ~Closer() { open = false; }
    } closer{open_};

    if (failure_ == Failure::Allocate)
        return ClipboardResult::NoMemory;
    struct Block {
        std::string bytes;
        int& freed;
        bool taken = false;
        ~Block()
        {
            if (!taken)
                ++freed;
        }
    } block{std::string(text.size() + 1, '\0'), freed_};
    ++allocated_;
    if (failure_ == Failure::Lock)
        return ClipboardResult::NoMemory;
    std::copy(text.begin(), text.end(), block.bytes.begin());
    if (failure_ == Failure::Set)
        return ClipboardResult::Refused;
    bytes_ = std::move(block.bytes);
    block.taken = true;
    ++taken_;
    ++copies_;
    return ClipboardResult::Copied;
}

bool FakeOpener::open(const std::string& path)
{
    if (fails_)
        return false;
    opened_.push_back(path);
    return true;
}

Script& Script::type(int id, std::string text)
{
    return then([id, text = std::move(text)](HeadlessBackend& ui) { ui.type(id, text); });
}

Script& Script::click(int id)
{
    return then([id](HeadlessBackend& ui) { ui.click(id); });
}

Script& Script::pickItem(int id, int index)
{
    return then([id, index](HeadlessBackend& ui) { ui.pickItem(id, index); });
}

Script& Script::dropList(int id)
{
    return then([id](HeadlessBackend& ui) { ui.dropList(id); });
}

Script& Script::pressEnter(int focusId)
{
    return then([focusId](HeadlessBackend& ui) { ui.pressEnter(focusId); });
}

Script& Script::pressEscape(int focusId)
{
    return then([focusId](HeadlessBackend& ui) { ui.pressEscape(focusId); });
}

Script& Script::pressF1()
{
    return then([](HeadlessBackend& ui) { ui.pressF1(); });
}

Script& Script::closeBox()
{
    return then([](HeadlessBackend& ui) { ui.closeBox(); });
}

Script& Script::systemMenu(unsigned command)
{
    return then([command](HeadlessBackend& ui) { ui.systemMenu(command); });
}

Script& Script::then(std::function<void(HeadlessBackend&)> step)
{
    ui_.enqueue(std::move(step));
    return *this;
}

HeadlessBackend::HeadlessBackend() = default;

void HeadlessBackend::error(std::string message)
{
    errors_.push_back(std::move(message));
}

HeadlessWindow* HeadlessBackend::target(const char* action)
{
    if (open_.empty()) {
        error(std::string(action) + ": no dialog is open");
        return nullptr;
    }
    return open_.back();
}

const ControlTemplate* HeadlessBackend::targetControl(HeadlessWindow& window, int id, const char* action)
{
    const ControlTemplate* c = window.dialogTemplate().control(id);
    if (c == nullptr)
        error(std::string(action) + ": dialog " + std::to_string(window.dialogTemplate().id) + " has no control " +
              std::to_string(id));
    return c;
}

void HeadlessBackend::type(int id, std::string_view text)
{
    HeadlessWindow* w = target("type");
    const ControlTemplate* c = w != nullptr ? targetControl(*w, id, "type") : nullptr;
    if (c == nullptr)
        return;
    if (!typable(*c)) {
        error("type: control " + std::to_string(id) + " takes no typing");
        return;
    }
    w->setFocus(id);
    if (c->kind == ControlKind::ComboBox)
        w->setListSelection(id, -1);
    w->setText(id, text);
}

void HeadlessBackend::click(int id)
{
    HeadlessWindow* w = target("click");
    const ControlTemplate* c = w != nullptr ? targetControl(*w, id, "click") : nullptr;
    if (c == nullptr)
        return;
    switch (c->kind) {
    case ControlKind::PushButton:
        break;
    case ControlKind::CheckBox:
        w->setCheckState(id, w->checkState(id) == 0 ? 1 : 0);
        break;
    case ControlKind::RadioButton: {
        // An automatic radio button clears the other radio buttons of its
        // group, which runs from a control with the group flag to the next.
        const auto& controls = w->dialogTemplate().controls;
        const auto at = std::find_if(controls.begin(), controls.end(),
                                     [id](const ControlTemplate& t) { return t.id == id; });
        auto first = at;
        while (first != controls.begin() && !first->group)
            --first;
        for (auto it = first; it != controls.end() && (it == first || !it->group); ++it) {
            if (it->kind == ControlKind::RadioButton && it->id != id)
                w->setCheckState(it->id, 0);
        }
        w->setCheckState(id, 1);
        break;
    }
    default:
        error("click: control " + std::to_string(id) + " is not a button");
        return;
    }
    w->setFocus(id);
    w->events().onCommand(id);
}

void HeadlessBackend::pickItem(int id, int index)
{
    HeadlessWindow* w = target("pickItem");
    const ControlTemplate* c = w != nullptr ? targetControl(*w, id, "pickItem") : nullptr;
    if (c == nullptr)
        return;
    if (index < 0 || index >= w->listCount(id)) {
        error("pickItem: control " + std::to_string(id) + " has no item " + std::to_string(index));
        return;
    }
    w->setFocus(id);
    w->setListSelection(id, index);
    w->closeList(id);
}

void HeadlessBackend::dropList(int id)
{
    HeadlessWindow* w = target("dropList");
    const ControlTemplate* c = w != nullptr ? targetControl(*w, id, "dropList") : nullptr;
    if (c == nullptr)
        return;
    if (c->kind != ControlKind::ComboBox) {
        error("dropList: control " + std::to_string(id) + " has no list");
        return;
    }
    w->setFocus(id);
    w->dropList(id);
}

void HeadlessBackend::pressEnter(int focusId)
{
    HeadlessWindow* w = target("pressEnter");
    if (w == nullptr || targetControl(*w, focusId, "pressEnter") == nullptr)
        return;
    w->setFocus(focusId);
    w->events().onEnterKey(focusId);
}

void HeadlessBackend::pressEscape(int focusId)
{
    HeadlessWindow* w = target("pressEscape");
    if (w == nullptr || targetControl(*w, focusId, "pressEscape") == nullptr)
        return;
    w->setFocus(focusId);
    w->events().onEscapeKey();
}

void HeadlessBackend::pressF1()
{
    if (HeadlessWindow* w = target("pressF1"))
        w->events().onCommand(kIdHelp);
}

void HeadlessBackend::closeBox()
{
    HeadlessWindow* w = target("closeBox");
    if (w == nullptr)
        return;
    if (!w->hasSystemMenu()) {
        error("closeBox: the dialog has no close box");
        return;
    }
    w->events().onCommand(kIdCancel);
}

void HeadlessBackend::systemMenu(unsigned command)
{
    HeadlessWindow* w = target("systemMenu");
    if (w == nullptr)
        return;
    const auto& menu = w->systemMenu();
    if (command == 0 || std::none_of(menu.begin(), menu.end(),
                                     [command](const SystemMenuItem& item) { return item.command == command; })) {
        error("systemMenu: the system menu has no command " + std::to_string(command));
        return;
    }
    if (command == kScClose)
        w->events().onCommand(kIdCancel);
    else if (command != kScMove)
        w->events().onSysCommand(command);
}

HeadlessWindow& HeadlessBackend::top() const
{
    // `at` stops a test that reads a dialog when none is open.
    return *open_.at(open_.size() - 1);
}

std::vector<int> HeadlessBackend::openDialogs() const
{
    std::vector<int> ids;
    for (const HeadlessWindow* w : open_)
        ids.push_back(w->dialogTemplate().id);
    return ids;
}

bool HeadlessBackend::takeListItem()
{
    if (listItemsBeforeFailure_ == 0)
        return false;
    if (listItemsBeforeFailure_ > 0)
        --listItemsBeforeFailure_;
    return true;
}

int HeadlessBackend::runModal(const DialogTemplate& tmpl, Window* owner, WindowEvents& events)
{
    auto window = std::make_unique<HeadlessWindow>(tmpl, owner, events, *this);
    open_.push_back(window.get());
    shown_.push_back(tmpl.id);
    struct Closer {
        std::vector<HeadlessWindow*>& open;
        ~Closer() { open.pop_back(); }
    } closer{open_};

    if (!events.onInitDialog(*window))
        return -1;
    while (!window->result()) {
        if (actions_.empty()) {
            error("dialog " + std::to_string(tmpl.id) + " waited for a user action that never came");
            window->endDialog(kIdCancel);
            break;
        }
        auto action = std::move(actions_.front());
        actions_.pop_front();
        action(*this);
    }
    return *window->result();
}

int HeadlessBackend::messageBox(Window* owner, std::string_view text, std::string_view caption, MbButtons buttons,
                                MbIcon icon)
{
    int ownerId = 0;
    for (const HeadlessWindow* w : open_) {
        if (w == owner)
            ownerId = w->dialogTemplate().id;
    }
    messageBoxes_.push_back({ownerId, std::string(text), std::string(caption), buttons, icon});
    if (answers_.empty())
        return firstButton(buttons);
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

ClipboardResult HeadlessBackend::copyText(Window&, std::string_view text)
{
    return clipboard_.copy(text);
}

bool HeadlessBackend::openWithDefaultApplication(const std::string& path)
{
    return opener_.open(path);
}

bool HeadlessBackend::startSockets()
{
    ++socketStarts_;
    return socketsAvailable_;
}

}  // namespace tavrin::fw::headless
