#include "framework/Dialog.h"

#include "framework/App.h"

#include <algorithm>
#include <vector>

namespace tavrin::fw {

namespace {

// The dialogs running modally, innermost last.
std::vector<CDialog*>& modalStack()
{
    static std::vector<CDialog*> stack;
    return stack;
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
}

// Keeps `pos` .. `pos + size` inside `start` .. `start + extent`, the start
// winning when the window is larger than the area.
int clampInto(int pos, int size, int start, int extent)
{
    pos = std::min(pos, start + extent - size);
    return std::max(pos, start);
}

}  // namespace

void DataExchange::text(int id, std::string& value)
{
    if (save_)
        value = window_.text(id);
    else if (window_.text(id) != value)
        window_.setText(id, value);
}

void DataExchange::comboText(int id, std::string& value)
{
    if (save_) {
        value = window_.text(id);
        return;
    }
    const int index = findListPrefix(window_, id, value);
    window_.setListSelection(id, index);
    if (index < 0)
        window_.setText(id, value);
}

void DataExchange::check(int id, std::int32_t& value)
{
    if (save_) {
        value = window_.checkState(id);
        return;
    }
    if (value < 0 || value > 2)
        value = 0;
    window_.setCheckState(id, value);
}

void DataExchange::radio(int id, std::int32_t& value)
{
    if (save_)
        value = window_.checkState(id) != 0 ? 0 : -1;
    else
        window_.setCheckState(id, value == 0 ? 1 : 0);
}

int findListPrefix(const Window& window, int comboId, std::string_view prefix)
{
    if (prefix.empty())
        return -1;
    const int count = window.listCount(comboId);
    for (int i = 0; i < count; ++i) {
        if (startsWithIgnoringCase(window.listItem(comboId, i), prefix))
            return i;
    }
    return -1;
}

PixelRect centredFrame(const PixelRect& frame, const PixelRect& over, const PixelRect& workArea)
{
    PixelRect r = frame;
    r.x = clampInto(over.x + (over.cx - frame.cx) / 2, frame.cx, workArea.x, workArea.cx);
    r.y = clampInto(over.y + (over.cy - frame.cy) / 2, frame.cy, workArea.y, workArea.cy);
    return r;
}

Window* activeDialogWindow()
{
    const auto& stack = modalStack();
    return stack.empty() ? nullptr : stack.back()->window();
}

CDialog::CDialog(const DialogTemplate& tmpl, CDialog* parent) : tmpl_(tmpl), parent_(parent) {}

int CDialog::DoModal()
{
    owner_ = parent_ != nullptr ? parent_->window() : activeDialogWindow();
    const int result = AfxGetBackend().runModal(tmpl_, owner_, *this);
    auto& stack = modalStack();
    if (window_ != nullptr && !stack.empty() && stack.back() == this)
        stack.pop_back();
    window_ = nullptr;
    owner_ = nullptr;
    return result;
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    if (window_ == nullptr)
        return false;
    DataExchange dx(*window_, saveAndValidate);
    DoDataExchange(dx);
    return true;
}

void CDialog::EndDialog(int result)
{
    if (window_ != nullptr)
        window_->endDialog(result);
}

int CDialog::MessageBox(std::string_view text, std::string_view caption, MbButtons buttons, MbIcon icon)
{
    return AfxGetBackend().messageBox(window_, text, caption, buttons, icon);
}

bool CDialog::OnInitDialog()
{
    return fillLists() && UpdateData(false);
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(kIdOk);
}

void CDialog::OnCancel()
{
    EndDialog(kIdCancel);
}

bool CDialog::onWindowCreated(Window& window)
{
    window_ = &window;
    modalStack().push_back(this);
    centre();
    if (!OnInitDialog())
        return false;
    focusFirstTabStop();
    return true;
}

void CDialog::onCommand(int id)
{
    if (dispatchCommand<CDialog>(*this, commandTable(), id))
        return;
    if (id == kIdOk)
        OnOK();
    else if (id == kIdCancel)
        OnCancel();
    else if (CWinApp* app = AfxGetApp())
        app->routeCommand(id);
}

void CDialog::onEnterKey(int focusId)
{
    const ControlTemplate* focused = tmpl_.control(focusId);
    if (focused != nullptr && focused->kind == ControlKind::PushButton) {
        onCommand(focusId);
        return;
    }
    int defaultId = kIdOk;
    for (const ControlTemplate& c : tmpl_.controls) {
        if (c.kind == ControlKind::PushButton && c.defaultButton) {
            defaultId = c.id;
            break;
        }
    }
    onCommand(defaultId);
}

void CDialog::onEscapeKey()
{
    onCommand(kIdCancel);
}

// Alt+Space opens the window menu.
void CDialog::onAltSpaceKey()
{
    if (tmpl_.systemMenu)
        window_->openWindowMenu();
}

// The field shows the item selected, else the first one its text begins with.
int CDialog::onListItemRequest(int comboId)
{
    const int selected = window_->listSelection(comboId);
    return selected >= 0 ? selected : findListPrefix(*window_, comboId, window_->text(comboId));
}

void CDialog::onWindowMenuCommand(unsigned command)
{
    OnSysCommand(command);
}

bool CDialog::fillLists()
{
    for (const ListInit& list : tmpl_.listInit) {
        for (const std::string& item : list.items) {
            if (!window_->addListItem(list.controlId, item))
                return false;
        }
    }
    return true;
}

void CDialog::centre()
{
    const PixelRect workArea = AfxGetBackend().workArea();
    const bool overOwner = owner_ != nullptr && owner_->isVisibleAndNotMinimised();
    const PixelRect r = centredFrame(window_->frame(), overOwner ? owner_->frame() : workArea, workArea);
    window_->moveTo(r.x, r.y);
}

void CDialog::focusFirstTabStop()
{
    for (const ControlTemplate& c : tmpl_.controls) {
        if (c.tabStop && c.id != kNoId) {
            window_->setFocus(c.id);
            return;
        }
    }
}

}  // namespace tavrin::fw
