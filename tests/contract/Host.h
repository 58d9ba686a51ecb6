#pragma once
// The contract suite runs the same cases against every back end. Each back
// end's host gives the suite what the seam does not: a user's input as the
// platform delivers it, the clipboard as another program reads it, and a
// way to run the case's steps inside a modal loop.
//
// A case is a chain of steps run from inside the innermost modal loop:
//
//   steps.then([&] { host.press(window, Key::Tab); })
//        .until("the focus on First", [&] { return window.focus() == kFirst; });
//
// `until` waits (the loop runs meanwhile) with one generous deadline, and
// names what never happened.

#include "framework/Backend.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavrin::test::contract {

enum class Key { Tab, ShiftTab, Enter, Escape, Space, F4, AltDown, Up, Down };

class Host {
public:
    virtual ~Host() = default;
    virtual fw::Backend& backend() = 0;

    // Calls `tick` from inside the innermost modal loop, every few
    // milliseconds, until it returns true.
    virtual void repeat(std::function<bool()> tick) = 0;

    // A key pressed and released in `window`, which is brought to the front.
    virtual void press(fw::Window& window, Key key) = 0;
    // A click in the middle of control `id` of `window`, wherever that
    // window is: a modal dialog's owner takes no input.
    virtual void click(fw::Window& window, int id) = 0;
    virtual void clickCloseBox(fw::Window& window) = 0;
    // Chooses the entry `command` that the program appended to the window menu.
    virtual void chooseWindowMenuEntry(fw::Window& window, unsigned command) = 0;
    // Presses button `index` (0 the first) of the next message box once it shows.
    virtual void answerMessageBox(int index) = 0;
    // The clipboard's plain text as another program reads it; none when it
    // holds no text.
    virtual std::optional<std::string> clipboardText() = 0;
};

// The host of the back end this suite is built for.
std::unique_ptr<Host> makeHost();

// A chain of actions and waits, run by `Host::repeat`.
class Steps {
public:
    explicit Steps(Host& host) : host_(host) {}
    ~Steps() { *alive_ = false; }
    Steps(const Steps&) = delete;
    Steps& operator=(const Steps&) = delete;
    Steps& then(std::function<void()> action);
    Steps& until(std::string what, std::function<bool()> done);
    // Starts running the steps in the current modal loop; `finished` runs
    // after the last one, or at the first wait that times out (then
    // `failure()` says which).
    void start(std::function<void()> finished);
    const std::string& failure() const { return failure_; }
    bool done() const { return next_ == steps_.size() && failure_.empty(); }

private:
    struct Step {
        std::string what;  // empty for an action
        std::function<bool()> run;
    };
    bool tick();

    Host& host_;
    // False once the steps are gone: the host may still call their tick.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    long long waitStarted_ = -1;
    std::string failure_;
    std::function<void()> finished_;
};

}  // namespace tavrin::test::contract
