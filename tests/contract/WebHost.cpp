// The contract's host for the web back end: the suite compiled to a page
// that a browser test (run_web.mjs) opens and serves. Keys and clicks are the
// browser's own input, sent by its automation on request, so the page's
// modal layer and focus rules apply; the clipboard is read by the browser
// test as it reads it for tavrin.html.
//
// A case's steps run inside the innermost modal run: the page posts that run
// a tick, a window-menu command of this host's own, which the host takes
// before the framework sees it. Message boxes run no steps; their buttons
// are pressed by the browser test.
#include "contract/Host.h"

#include "framework/backends/web/WebBackend.h"

#include <emscripten.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>

// The page side (library_contract.js).
extern "C" {
void tvc_request(const char* json);
void tvc_set_ticking(int on);
int tvc_top_dialog();
// The middle of control `index` of dialog `handle` (-1: its close box), in the page's pixels.
void tvc_middle(int handle, int index, int* point);
// The clipboard's text as the browser test last read it, in memory the caller frees; null until it has.
char* tvc_clipboard();
void tvc_finished(int code);
}

namespace tavrin::test::contract {
namespace {

constexpr unsigned kTickCommand = 0xFEED;

std::string jsonText(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

class WebHost final : public Host, private fw::Backend {
public:
    fw::Backend& backend() override { return *this; }

    void repeat(std::function<bool()> tick) override
    {
        ticks_.push_back(std::move(tick));
        tvc_set_ticking(1);
    }

    void press(fw::Window&, Key key) override
    {
        static const std::map<Key, const char*> keys = {
            {Key::Tab, "Tab"},   {Key::ShiftTab, "Shift+Tab"}, {Key::Enter, "Enter"},       {Key::Escape, "Escape"},
            {Key::Space, " "}, {Key::F4, "F4"},            {Key::AltDown, "Alt+ArrowDown"}, {Key::Up, "ArrowUp"},
            {Key::Down, "ArrowDown"},
        };
        request("{\"op\":\"press\",\"keys\":" + jsonText(keys.at(key)) + "}");
    }
    void click(fw::Window& window, int id) override
    {
        const Shown& shown = windows_.at(&window);
        const auto& controls = shown.tmpl->controls;
        const auto it = std::find_if(controls.begin(), controls.end(), [id](const auto& c) { return c.id == id; });
        clickAt(shown.handle, static_cast<int>(it - controls.begin()));
    }
    void clickCloseBox(fw::Window& window) override { clickAt(windows_.at(&window).handle, -1); }
    void chooseWindowMenuEntry(fw::Window&, unsigned command) override
    {
        request("{\"op\":\"menu\",\"command\":" + std::to_string(command) + "}");
    }
    void answerMessageBox(int index) override
    {
        request("{\"op\":\"answer\",\"index\":" + std::to_string(index) + "}");
    }
    std::optional<std::string> clipboardText() override
    {
        // One read at a time by the browser test; nothing until it is done.
        if (!reading_) {
            reading_ = true;
            request("{\"op\":\"clipboard\"}");
            return std::nullopt;
        }
        std::unique_ptr<char, decltype(&std::free)> text(tvc_clipboard(), &std::free);
        if (!text)
            return std::nullopt;
        reading_ = false;
        return std::string(text.get());
    }

private:
    // The back end, with every modal run's events passed through the host so
    // that the run takes its ticks.
    class Events final : public fw::WindowEvents {
    public:
        Events(WebHost& host, const fw::DialogTemplate& tmpl, fw::WindowEvents& inner)
            : host_(host), tmpl_(tmpl), inner_(inner)
        {
        }
        ~Events() override
        {
            if (window_ != nullptr)
                host_.windows_.erase(window_);
        }
        bool onWindowCreated(fw::Window& window) override
        {
            window_ = &window;
            host_.windows_[&window] = {tvc_top_dialog(), &tmpl_};
            return inner_.onWindowCreated(window);
        }
        void onCommand(int id) override { inner_.onCommand(id); }
        void onEnterKey(int focusId) override { inner_.onEnterKey(focusId); }
        void onEscapeKey() override { inner_.onEscapeKey(); }
        void onAltSpaceKey() override { inner_.onAltSpaceKey(); }
        int onListItemRequest(int comboId) override { return inner_.onListItemRequest(comboId); }
        void onWindowMenuCommand(unsigned command) override
        {
            if (command == kTickCommand)
                host_.runTicks();
            else
                inner_.onWindowMenuCommand(command);
        }
        void onPaintRequest(fw::PaintContext& paint) override { inner_.onPaintRequest(paint); }
        int onDragIconRequest() override { return inner_.onDragIconRequest(); }

    private:
        WebHost& host_;
        const fw::DialogTemplate& tmpl_;
        fw::WindowEvents& inner_;
        fw::Window* window_ = nullptr;
    };

    int runModal(const fw::DialogTemplate& tmpl, fw::Window* owner, fw::WindowEvents& events) override
    {
        Events passed(*this, tmpl, events);
        return web_.runModal(tmpl, owner, passed);
    }
    fw::PixelRect workArea() const override { return web_.workArea(); }
    int messageBox(fw::Window* owner, std::string_view text, std::string_view caption, fw::MbButtons buttons,
                   fw::MbIcon icon) override
    {
        return web_.messageBox(owner, text, caption, buttons, icon);
    }
    fw::ClipboardResult copyText(fw::Window& owner, std::string_view text) override
    {
        return web_.copyText(owner, text);
    }
    bool openWithDefaultApplication(const std::string& path) override
    {
        return web_.openWithDefaultApplication(path);
    }
    bool startSockets() override { return web_.startSockets(); }

    void runTicks()
    {
        // A tick may register another; those run from the next tick on.
        if (runningTicks_)
            return;
        runningTicks_ = true;
        auto running = std::move(ticks_);
        ticks_.clear();
        std::erase_if(running, [](auto& tick) { return tick(); });
        running.insert(running.end(), std::make_move_iterator(ticks_.begin()), std::make_move_iterator(ticks_.end()));
        ticks_ = std::move(running);
        runningTicks_ = false;
        tvc_set_ticking(ticks_.empty() ? 0 : 1);
    }
    void clickAt(int handle, int index)
    {
        int point[2] = {};
        tvc_middle(handle, index, point);
        request("{\"op\":\"click\",\"x\":" + std::to_string(point[0]) + ",\"y\":" + std::to_string(point[1]) + "}");
    }
    static void request(const std::string& json) { tvc_request(json.c_str()); }

    struct Shown {
        int handle = 0;
        const fw::DialogTemplate* tmpl = nullptr;
    };

    fw::web::WebBackend web_;
    std::vector<std::function<bool()>> ticks_;
    bool runningTicks_ = false;
    std::map<fw::Window*, Shown> windows_;
    bool reading_ = false;
};

}  // namespace

std::unique_ptr<Host> makeHost()
{
    return std::make_unique<WebHost>();
}

}  // namespace tavrin::test::contract

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    tvc_finished(RUN_ALL_TESTS());
    return 0;
}
