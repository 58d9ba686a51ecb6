#include "framework/backends/web/WebBackend.h"

#include "framework/Dialog.h"
#include "framework/backends/web/PageCalls.h"
#include "framework/backends/web/WebDialogWindow.h"

#include <emscripten.h>

#include <string>

// The browser's asynchronous clipboard, which may refuse the text (no
// permission, no secure context, the page not focused).
EM_ASYNC_JS(int, tv_copy_text, (const char* text, int length), {
    try {
        await navigator.clipboard.writeText(length > 0 ? UTF8ToString(text, length) : "");
        return 1;
    } catch (e) {
        return 0;
    }
});

namespace tavrin::fw::web {

namespace {

// What closing a message box without a button means: Cancel where there is one, else the only or the No answer.
int dismissResult(fw::MbButtons buttons)
{
    switch (buttons) {
    case fw::MbButtons::Ok:
        return fw::kIdOk;
    case fw::MbButtons::YesNo:
        return fw::kIdNo;
    case fw::MbButtons::OkCancel:
    case fw::MbButtons::YesNoCancel:
        break;
    }
    return fw::kIdCancel;
}

}  // namespace

void WebBackend::addIcon(int iconId, const char* const* xpm)
{
    tv_add_icon(iconId, xpm);
}

void WebBackend::programEnded()
{
    tv_program_ended();
}

int WebBackend::runModal(const fw::DialogTemplate& tmpl, fw::Window*, fw::WindowEvents& events)
{
    // The page's modal layer keeps the owner (and every dialog under it) from taking input.
    WebDialogWindow window(tmpl, events);
    return window.run();
}

fw::PixelRect WebBackend::workArea() const
{
    int r[4] = {};
    tv_work_area(r);
    return {r[0], r[1], r[2], r[3]};
}

int WebBackend::messageBox(fw::Window* owner, std::string_view text, std::string_view caption, fw::MbButtons buttons,
                           fw::MbIcon icon)
{
    const std::string message(text);
    const std::string title(caption);
    PageDialog box(tv_message_create(message.c_str(), title.c_str(), static_cast<int>(buttons),
                                     static_cast<int>(icon)));
    const fw::PixelRect area = workArea();
    const bool overOwner = owner != nullptr && owner->isVisibleAndNotMinimised();
    const fw::PixelRect place = fw::centredFrame(box.frame(), overOwner ? owner->frame() : area, area);
    box.moveTo(place.x, place.y);
    for (;;) {
        const int type = tv_wait_event(box.handle());
        if (type == TV_COMMAND)
            return tv_event_arg();
        if (type == TV_ESCAPE || type == TV_CLOSE)
            return dismissResult(buttons);
    }
}

fw::ClipboardResult WebBackend::copyText(fw::Window&, std::string_view text)
{
    // Plain text up to the first zero byte, as a zero-terminated text would hold it.
    const std::string_view plain = text.substr(0, text.find('\0'));
    return tv_copy_text(plain.data(), static_cast<int>(plain.size())) != 0 ? fw::ClipboardResult::Copied
                                                                             : fw::ClipboardResult::Refused;
}

bool WebBackend::openWithDefaultApplication(const std::string& path)
{
    return tv_open_page(path.c_str()) != 0;
}

bool WebBackend::startSockets()
{
    // A page needs no sockets layer started.
    return true;
}

}  // namespace tavrin::fw::web
