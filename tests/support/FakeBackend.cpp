#include "support/FakeBackend.h"

#include "framework/App.h"
#include "framework/Dialog.h"

#include <algorithm>
#include <memory>

namespace tavrin::test {

using fw::ControlKind;

FakeWindow::FakeWindow(const fw::DialogTemplate& tmpl, fw::Window* owner, fw::WindowEvents& events,
                       FakeBackend& backend)
    : tmpl_(tmpl), owner_(owner), events_(events), backend_(backend), frame_{0, 0, tmpl.cx, tmpl.cy}
{
    for (const fw::ControlTemplate& c : tmpl.controls) {
        if (c.id == fw::kNoId)
            continue;
        Control& control = controls_[c.id];
        control.kind = c.kind;
        if (c.kind != ControlKind::ComboBox)
            control.text = c.caption;
    }
}

FakeWindow::Control* FakeWindow::find(int id)
{
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

const FakeWindow::Control* FakeWindow::find(int id) const
{
    return const_cast<FakeWindow*>(this)->find(id);
}

std::string FakeWindow::text(int id) const
{
    const Control* c = find(id);
    return c != nullptr ? c->text : std::string();
}

void FakeWindow::setText(int id, std::string_view text)
{
    if (Control* c = find(id)) {
        c->text = text;
        ++c->textWrites;
    }
}

int FakeWindow::textWrites(int id) const
{
    const Control* c = find(id);
    return c != nullptr ? c->textWrites : 0;
}

int FakeWindow::checkState(int id) const
{
    const Control* c = find(id);
    return c != nullptr ? c->check : 0;
}

void FakeWindow::setCheckState(int id, int state)
{
    if (Control* c = find(id))
        c->check = state;
}

bool FakeWindow::addListItem(int id, std::string_view item)
{
    Control* c = find(id);
    if (c == nullptr || c->kind != ControlKind::ComboBox || backend_.listItemsBeforeFailure == 0)
        return false;
    if (backend_.listItemsBeforeFailure > 0)
        --backend_.listItemsBeforeFailure;
    c->items.emplace_back(item);
    return true;
}

int FakeWindow::listCount(int id) const
{
    const Control* c = find(id);
    return c != nullptr ? static_cast<int>(c->items.size()) : 0;
}

std::string FakeWindow::listItem(int id, int index) const
{
    const Control* c = find(id);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size()))
        return {};
    return c->items[static_cast<std::size_t>(index)];
}

int FakeWindow::listSelection(int id) const
{
    const Control* c = find(id);
    return c != nullptr ? c->selection : -1;
}

void FakeWindow::setListSelection(int id, int index)
{
    Control* c = find(id);
    if (c == nullptr)
        return;
    const bool none = index < 0 || index >= static_cast<int>(c->items.size());
    c->selection = none ? -1 : index;
    c->text = none ? std::string() : c->items[static_cast<std::size_t>(index)];
}

bool FakeWindow::isListDropped(int id) const
{
    const Control* c = find(id);
    return c != nullptr && c->dropped;
}

void FakeWindow::closeList(int id)
{
    if (Control* c = find(id))
        c->dropped = false;
}

void FakeWindow::dropList(int id)
{
    if (Control* c = find(id)) {
        c->dropped = true;
        c->highlight = fw::findListPrefix(*this, id, c->text);
    }
}

int FakeWindow::listHighlight(int id) const
{
    const Control* c = find(id);
    return c != nullptr && c->dropped ? c->highlight : -1;
}

bool FakeWindow::click(int id)
{
    // Every radio button is a group of its own in our templates.
    const fw::ControlTemplate* t = tmpl_.control(id);
    const ControlKind kind = t != nullptr ? t->kind : ControlKind::Text;
    if (kind == ControlKind::CheckBox)
        setCheckState(id, checkState(id) == 0 ? 1 : 0);
    else if (kind == ControlKind::RadioButton)
        setCheckState(id, 1);
    else if (kind != ControlKind::PushButton)
        return false;
    setFocus(id);
    events_.onCommand(id);
    return true;
}

void FakeWindow::pressTab(bool backwards)
{
    std::vector<int> stops;
    for (const fw::ControlTemplate& c : tmpl_.controls) {
        if (c.tabStop && c.id != fw::kNoId)
            stops.push_back(c.id);
    }
    if (stops.empty())
        return;
    const auto at = std::find(stops.begin(), stops.end(), focus_);
    const std::size_t here = at == stops.end() ? 0 : static_cast<std::size_t>(at - stops.begin());
    const std::size_t n = stops.size();
    focus_ = stops[at == stops.end() ? 0 : (backwards ? here + n - 1 : here + 1) % n];
}

void FakeWindow::pressEnter()
{
    Control* c = find(focus_);
    if (c != nullptr && c->dropped) {
        if (c->highlight >= 0)
            setListSelection(focus_, c->highlight);
        closeList(focus_);
        return;
    }
    events_.onEnterKey(focus_);
}

void FakeWindow::pressEscape()
{
    Control* c = find(focus_);
    if (c != nullptr && c->dropped)
        closeList(focus_);
    else
        events_.onEscapeKey();
}

void FakeWindow::pressSpace()
{
    const fw::ControlTemplate* t = tmpl_.control(focus_);
    if (t != nullptr && (t->kind == ControlKind::PushButton || t->kind == ControlKind::CheckBox ||
                         t->kind == ControlKind::RadioButton))
        click(focus_);
}

void FakeWindow::pressDropKey()
{
    Control* c = find(focus_);
    if (c == nullptr || c->kind != ControlKind::ComboBox)
        return;
    if (c->dropped)
        closeList(focus_);
    else
        dropList(focus_);
}

void FakeWindow::pressArrow(int step)
{
    Control* c = find(focus_);
    if (c == nullptr || c->kind != ControlKind::ComboBox || c->items.empty())
        return;
    const int last = static_cast<int>(c->items.size()) - 1;
    const int from = c->dropped ? c->highlight : c->selection;
    const int to = std::clamp(from < 0 ? 0 : from + step, 0, last);
    if (c->dropped)
        c->highlight = to;
    else
        setListSelection(focus_, to);
}

void FakeWindow::setFocus(int id)
{
    if (find(id) != nullptr)
        focus_ = id;
}

void FakeWindow::moveTo(int x, int y)
{
    frame_.x = x;
    frame_.y = y;
}

bool FakeWindow::appendSystemMenuSeparator()
{
    if (tmpl_.systemMenu)
        systemMenu_.push_back({});
    return tmpl_.systemMenu;
}

bool FakeWindow::appendSystemMenuItem(unsigned command, std::string_view text)
{
    if (tmpl_.systemMenu)
        systemMenu_.push_back({command, std::string(text)});
    return tmpl_.systemMenu;
}

void FakeWindow::endDialog(int result)
{
    if (!result_)
        result_ = result;
}

Script& Script::type(int id, std::string text)
{
    return then([id, text = std::move(text)](FakeBackend& ui) {
        FakeWindow* w = ui.target("type", id);
        if (w == nullptr)
            return;
        const fw::ControlTemplate& c = *w->dialogTemplate().control(id);
        if ((c.kind != ControlKind::Edit || c.readOnly) && c.kind != ControlKind::ComboBox)
            return ui.error("type: control " + std::to_string(id) + " takes no typing");
        w->setFocus(id);
        if (c.kind == ControlKind::ComboBox)
            w->setListSelection(id, -1);
        w->setText(id, text);
    });
}

Script& Script::click(int id)
{
    return then([id](FakeBackend& ui) {
        FakeWindow* w = ui.target("click", id);
        if (w != nullptr && !w->click(id))
            ui.error("click: control " + std::to_string(id) + " is not a button");
    });
}

Script& Script::pickItem(int id, int index)
{
    return then([id, index](FakeBackend& ui) {
        FakeWindow* w = ui.target("pickItem", id);
        if (w == nullptr)
            return;
        if (index < 0 || index >= w->listCount(id))
            return ui.error("pickItem: control " + std::to_string(id) + " has no item " + std::to_string(index));
        w->setFocus(id);
        w->setListSelection(id, index);
        w->closeList(id);
    });
}

Script& Script::dropList(int id)
{
    return then([id](FakeBackend& ui) {
        FakeWindow* w = ui.target("dropList", id);
        if (w == nullptr)
            return;
        if (w->dialogTemplate().control(id)->kind != ControlKind::ComboBox)
            return ui.error("dropList: control " + std::to_string(id) + " has no list");
        w->setFocus(id);
        w->dropList(id);
    });
}

Script& Script::pressEnter(int focusId)
{
    return then([focusId](FakeBackend& ui) {
        if (FakeWindow* w = ui.target("pressEnter", focusId)) {
            w->setFocus(focusId);
            w->pressEnter();
        }
    });
}

Script& Script::pressEscape(int focusId)
{
    return then([focusId](FakeBackend& ui) {
        if (FakeWindow* w = ui.target("pressEscape", focusId)) {
            w->setFocus(focusId);
            w->pressEscape();
        }
    });
}

Script& Script::pressF1()
{
    return then([](FakeBackend& ui) {
        if (FakeWindow* w = ui.target("pressF1"))
            w->events().onCommand(fw::kIdHelp);
    });
}

Script& Script::closeBox()
{
    return systemMenu(kScClose);
}

Script& Script::systemMenu(unsigned command)
{
    return then([command](FakeBackend& ui) {
        FakeWindow* w = ui.target("systemMenu");
        if (w == nullptr)
            return;
        const auto& added = w->systemMenu();
        const bool appended = command != 0 && std::any_of(added.begin(), added.end(), [command](const auto& item) {
                                  return item.command == command;
                              });
        if (!w->dialogTemplate().systemMenu || (command != kScClose && !appended))
            return ui.error("systemMenu: the dialog has no system-menu command " + std::to_string(command));
        if (command == kScClose)
            w->events().onCommand(fw::kIdCancel);
        else
            w->events().onWindowMenuCommand(command);
    });
}

Script& Script::then(std::function<void(FakeBackend&)> step)
{
    ui_.actions_.push_back(std::move(step));
    return *this;
}

FakeWindow* FakeBackend::target(const char* action, int id)
{
    if (open_.empty()) {
        error(std::string(action) + ": no dialog is open");
        return nullptr;
    }
    FakeWindow* w = open_.back();
    if (id != fw::kNoId && w->dialogTemplate().control(id) == nullptr) {
        error(std::string(action) + ": dialog " + std::to_string(w->dialogTemplate().id) + " has no control " +
              std::to_string(id));
        return nullptr;
    }
    return w;
}

FakeWindow& FakeBackend::top() const
{
    // `at` stops a test that reads a dialog when none is open.
    return *open_.at(open_.size() - 1);
}

std::vector<int> FakeBackend::openDialogs() const
{
    std::vector<int> ids;
    for (const FakeWindow* w : open_)
        ids.push_back(w->dialogTemplate().id);
    return ids;
}

int FakeBackend::runModal(const fw::DialogTemplate& tmpl, fw::Window* owner, fw::WindowEvents& events)
{
    auto window = std::make_unique<FakeWindow>(tmpl, owner, events, *this);
    open_.push_back(window.get());
    dialogsShown.push_back(tmpl.id);
    struct Closer {
        std::vector<FakeWindow*>& open;
        ~Closer() { open.pop_back(); }
    } closer{open_};

    if (!events.onWindowCreated(*window))
        return -1;
    while (!window->result()) {
        if (actions_.empty()) {
            error("dialog " + std::to_string(tmpl.id) + " waited for a user action that never came");
            window->endDialog(fw::kIdCancel);
            break;
        }
        auto action = std::move(actions_.front());
        actions_.pop_front();
        action(*this);
    }
    return *window->result();
}

int FakeBackend::messageBox(fw::Window* owner, std::string_view text, std::string_view caption,
                            fw::MbButtons buttons, fw::MbIcon icon)
{
    int ownerId = 0;
    for (const FakeWindow* w : open_) {
        if (w == owner)
            ownerId = w->dialogTemplate().id;
    }
    messageBoxes.push_back({ownerId, std::string(text), std::string(caption), buttons, icon});
    if (!messageBoxPresses.empty()) {
        static const std::map<fw::MbButtons, std::vector<int>> kIds = {
            {fw::MbButtons::Ok, {fw::kIdOk}},
            {fw::MbButtons::OkCancel, {fw::kIdOk, fw::kIdCancel}},
            {fw::MbButtons::YesNo, {fw::kIdYes, fw::kIdNo}},
            {fw::MbButtons::YesNoCancel, {fw::kIdYes, fw::kIdNo, fw::kIdCancel}},
        };
        const std::vector<int>& ids = kIds.at(buttons);
        const auto index = static_cast<std::size_t>(messageBoxPresses.front());
        messageBoxPresses.pop_front();
        return ids.at(std::min(index, ids.size() - 1));
    }
    if (messageBoxAnswers.empty())
        return buttons == fw::MbButtons::YesNo || buttons == fw::MbButtons::YesNoCancel ? fw::kIdYes : fw::kIdOk;
    const int answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    return answer;
}

fw::ClipboardResult FakeBackend::copyText(fw::Window&, std::string_view text)
{
    if (copyResult == fw::ClipboardResult::Copied) {
        clipboard = std::string(text);
        ++copies;
    }
    return copyResult;
}

bool FakeBackend::openWithDefaultApplication(const std::string& path)
{
    if (!openFails)
        opened.push_back(path);
    return !openFails;
}

bool FakeBackend::startSockets()
{
    ++socketStarts;
    return socketsAvailable;
}

}  // namespace tavrin::test
