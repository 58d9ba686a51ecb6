// The contract's host for the in-memory back end: input is handled as the
// desktops handle it (FakeWindow's keys and clicks), in turn with the
// case's steps, by the innermost modal run; a window that is not the
// innermost takes no input.
#include "contract/Host.h"

#include "support/FakeBackend.h"

namespace tavrin::test::contract {
namespace {

class FakeHost final : public Host {
public:
    fw::Backend& backend() override { return fake_; }

    void repeat(std::function<bool()> tick) override
    {
        fake_.script().then([this, tick = std::move(tick)](FakeBackend&) {
            if (!tick())
                repeat(tick);
        });
    }

    void press(fw::Window& window, Key key) override
    {
        toInnermost(window, [key](FakeWindow& w) {
            switch (key) {
            case Key::Tab: w.pressTab(false); break;
            case Key::ShiftTab: w.pressTab(true); break;
            case Key::Enter: w.pressEnter(); break;
            case Key::Escape: w.pressEscape(); break;
            case Key::Space: w.pressSpace(); break;
            case Key::F4:
            case Key::AltDown: w.pressDropKey(); break;
            case Key::Up: w.pressArrow(-1); break;
            case Key::Down: w.pressArrow(1); break;
            }
        });
    }
    void click(fw::Window& window, int id) override
    {
        toInnermost(window, [id](FakeWindow& w) { w.click(id); });
    }
    void clickCloseBox(fw::Window& window) override
    {
        toInnermost(window, [](FakeWindow& w) { w.events().onCommand(fw::kIdCancel); });
    }
    void chooseWindowMenuEntry(fw::Window& window, unsigned command) override
    {
        toInnermost(window, [command](FakeWindow& w) { w.events().onWindowMenuCommand(command); });
    }
    void answerMessageBox(int index) override { fake_.messageBoxPresses.push_back(index); }
    std::optional<std::string> clipboardText() override { return fake_.clipboard; }

private:
    // Queues `input` for `window`; it is lost if, when its turn comes, that
    // window is not the innermost dialog.
    void toInnermost(fw::Window& window, std::function<void(FakeWindow&)> input)
    {
        fake_.script().then([&window, input = std::move(input)](FakeBackend& ui) {
            if (!ui.openDialogs().empty() && &ui.top() == &window)
                input(ui.top());
        });
    }

    FakeBackend fake_;
};

}  // namespace

std::unique_ptr<Host> makeHost()
{
    return std::make_unique<FakeHost>();
}

}  // namespace tavrin::test::contract
