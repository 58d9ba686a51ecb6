#include "framework/backends/web/WebDialogWindow.h"

#include "framework/App.h"
#include "framework/backends/web/PageCalls.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

// The page calls that suspend the program, and the queue's current event.
// Takes the first queued event for `handle` (dropping any left for dialogs
// that have gone), waiting for one if there is none.
EM_ASYNC_JS(int, tv_wait_event, (int handle), {
    for (;;) {
        while (TV.queue.length > 0) {
            var e = TV.queue.shift();
            if (e.handle === handle) {
                TV.arg = e.arg;
                return e.type;
            }
        }
        await new Promise(function(resolve) { TV.wake = resolve; });
    }
});

EM_JS(int, tv_event_arg, (), { return TV.arg; });

namespace tavrin::fw::web {

namespace {

int flagsOf(const fw::ControlTemplate& c)
{
    return (c.tabStop ? TV_TAB_STOP : 0) | (c.defaultButton ? TV_DEFAULT : 0) | (c.readOnly ? TV_READ_ONLY : 0) |
           (c.multiLine ? TV_MULTI_LINE : 0) | (c.wrap ? TV_WRAP : 0);
}

// A text area hands back its line breaks as LF alone; the program's texts end their lines in CR LF.
std::string withCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

PageDialog::~PageDialog()
{
    tv_dialog_destroy(handle_);
}

fw::PixelRect PageDialog::frame() const
{
    int r[4] = {};
    tv_frame(handle_, r);
    return {r[0], r[1], r[2], r[3]};
}

void PageDialog::moveTo(int x, int y)
{
    tv_move(handle_, x, y);
}

WebDialogWindow::WebDialogWindow(const fw::DialogTemplate& tmpl, fw::WindowEvents& events)
    : events_(events),
      page_(tv_dialog_create(tmpl.caption.c_str(), tmpl.cx, tmpl.cy, tmpl.fontName.c_str(), tmpl.fontPoints,
                             tmpl.systemMenu ? 1 : 0))
{
    controls_.reserve(tmpl.controls.size());
    for (const fw::ControlTemplate& c : tmpl.controls) {
        const int index = static_cast<int>(controls_.size());
        tv_control_add(page_.handle(), index, static_cast<int>(c.kind), c.caption.c_str(), c.rect.x, c.rect.y,
                       c.rect.cx, c.rect.cy, flagsOf(c), c.iconId);
        controls_.push_back({&c, c.caption, {}});
    }
    for (const fw::ControlTemplate& c : tmpl.controls) {
        const fw::ControlTemplate* box = fw::groupBoxOf(tmpl, c);
        int position = 0;
        int count = 0;
        if (c.kind == fw::ControlKind::RadioButton) {
            const std::vector<const fw::ControlTemplate*> set = fw::radioSetOf(tmpl, c);
            count = static_cast<int>(set.size());
            position = static_cast<int>(std::find(set.begin(), set.end(), &c) - set.begin()) + 1;
        }
        if (box || count > 0)
            tv_control_group(page_.handle(), static_cast<int>(&c - tmpl.controls.data()),
                             box ? static_cast<int>(box - tmpl.controls.data()) : -1, position, count);
    }
    tv_dialog_show(page_.handle());
}

int WebDialogWindow::run()
{
    if (!events_.onWindowCreated(*this))
        return -1;
    while (!ended_) {
        const int type = tv_wait_event(page_.handle());
        deliver(type, tv_event_arg());
    }
    return result_;
}

void WebDialogWindow::deliver(int type, int arg)
{
    switch (type) {
    case TV_COMMAND:
        if (arg >= 0 && arg < static_cast<int>(controls_.size()) && controls_[arg].tmpl->id != fw::kNoId)
            events_.onCommand(controls_[arg].tmpl->id);
        break;
    case TV_ENTER:
        events_.onEnterKey(arg >= 0 && arg < static_cast<int>(controls_.size()) ? controls_[arg].tmpl->id
                                                                                : fw::kNoId);
        break;
    case TV_ESCAPE:
        events_.onEscapeKey();
        break;
    case TV_CLOSE:
        events_.onCommand(fw::kIdCancel);
        break;
    case TV_SYSCOMMAND:
        events_.onWindowMenuCommand(static_cast<unsigned>(arg));
        break;
    case TV_HELP:
        events_.onCommand(fw::kIdHelp);
        break;
    case TV_ALT_SPACE:
        events_.onAltSpaceKey();
        break;
    default:
        break;
    }
}

int WebDialogWindow::indexOf(int id) const
{
    if (id == fw::kNoId)
        return -1;
    for (size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i].tmpl->id == id)
            return static_cast<int>(i);
    }
    return -1;
}

const WebDialogWindow::Control* WebDialogWindow::find(int id) const
{
    const int index = indexOf(id);
    return index < 0 ? nullptr : &controls_[index];
}

std::string WebDialogWindow::text(int id) const
{
    const int index = indexOf(id);
    if (index < 0)
        return {};
    const Control& control = controls_[index];
    const fw::ControlKind kind = control.tmpl->kind;
    if (kind != fw::ControlKind::Edit && kind != fw::ControlKind::ComboBox)
        return control.text;
    const int state = tv_text_state(page_.handle(), index);
    if (state == 0)
        return control.text;
    if (state >= 2 && state - 2 < static_cast<int>(control.items.size()))
        return control.items[state - 2];
    const std::unique_ptr<char, decltype(&std::free)> value(tv_value(page_.handle(), index), &std::free);
    if (!value)
        return control.text;
    return control.tmpl->multiLine ? withCrLf(value.get()) : std::string(value.get());
}

void WebDialogWindow::setText(int id, std::string_view text)
{
    const int index = indexOf(id);
    if (index < 0)
        return;
    controls_[index].text = text;
    tv_set_text(page_.handle(), index, text.data(), static_cast<int>(text.size()));
}

int WebDialogWindow::checkState(int id) const
{
    const int index = indexOf(id);
    return index < 0 ? 0 : tv_check(page_.handle(), index);
}

void WebDialogWindow::setCheckState(int id, int state)
{
    if (const int index = indexOf(id); index >= 0)
        tv_set_check(page_.handle(), index, state);
}

bool WebDialogWindow::addListItem(int id, std::string_view item)
{
    const int index = indexOf(id);
    if (index < 0)
        return false;
    const std::string copy(item);
    if (tv_list_add(page_.handle(), index, copy.c_str()) == 0)
        return false;
    controls_[index].items.push_back(copy);
    return true;
}

int WebDialogWindow::listCount(int id) const
{
    const Control* control = find(id);
    return control ? static_cast<int>(control->items.size()) : 0;
}

std::string WebDialogWindow::listItem(int id, int index) const
{
    const Control* control = find(id);
    if (!control || index < 0 || index >= static_cast<int>(control->items.size()))
        return {};
    return control->items[index];
}

int WebDialogWindow::listSelection(int id) const
{
    const int index = indexOf(id);
    return index < 0 ? -1 : tv_list_selection(page_.handle(), index);
}

void WebDialogWindow::setListSelection(int id, int item)
{
    const int index = indexOf(id);
    if (index < 0)
        return;
    Control& control = controls_[index];
    const bool valid = item >= 0 && item < static_cast<int>(control.items.size());
    control.text = valid ? control.items[item] : std::string();
    tv_list_select(page_.handle(), index, valid ? item : -1);
}

bool WebDialogWindow::isListDropped(int id) const
{
    const int index = indexOf(id);
    return index >= 0 && tv_list_dropped(page_.handle(), index) != 0;
}

void WebDialogWindow::closeList(int id)
{
    if (const int index = indexOf(id); index >= 0)
        tv_list_close(page_.handle(), index);
}

int WebDialogWindow::focus() const
{
    const int index = tv_focus(page_.handle());
    return index < 0 ? fw::kNoId : controls_[index].tmpl->id;
}

void WebDialogWindow::setFocus(int id)
{
    if (const int index = indexOf(id); index >= 0)
        tv_set_focus(page_.handle(), index);
}

bool WebDialogWindow::isVisibleAndNotMinimised() const
{
    return tv_visible(page_.handle()) != 0;
}

void WebDialogWindow::setIcon(int iconId)
{
    tv_set_icon(page_.handle(), iconId);
}

bool WebDialogWindow::appendSystemMenuSeparator()
{
    return tv_menu_add(page_.handle(), -2, nullptr) != 0;
}

bool WebDialogWindow::appendSystemMenuItem(unsigned command, std::string_view text)
{
    const std::string copy(text);
    return tv_menu_add(page_.handle(), static_cast<int>(command), copy.c_str()) != 0;
}

void WebDialogWindow::openWindowMenu()
{
    tv_menu_open(page_.handle());
}

// A run ends with the first result it is given.
void WebDialogWindow::endDialog(int result)
{
    if (ended_)
        return;
    result_ = result;
    ended_ = true;
}

}  // namespace tavrin::fw::web
