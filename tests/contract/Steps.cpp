#include "contract/Host.h"

#include <chrono>
#include <utility>

namespace tavrin::test::contract {

namespace {

constexpr long long kDeadlineMs = 10000;

long long nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

Steps& Steps::then(std::function<void()> action)
{
    steps_.push_back({{}, [action = std::move(action)] {
                          action();
                          return true;
                      }});
    return *this;
}

Steps& Steps::until(std::string what, std::function<bool()> done)
{
    steps_.push_back({std::move(what), std::move(done)});
    return *this;
}

void Steps::start(std::function<void()> finished)
{
    finished_ = std::move(finished);
    host_.repeat([this, alive = alive_] { return !*alive || tick(); });
}

// Runs every step that can run now; false while a wait goes on.
bool Steps::tick()
{
    while (next_ < steps_.size()) {
        Step& step = steps_[next_];
        if (step.run()) {
            ++next_;
            waitStarted_ = -1;
            continue;
        }
        if (waitStarted_ < 0)
            waitStarted_ = nowMs();
        if (nowMs() - waitStarted_ < kDeadlineMs)
            return false;
        failure_ = "never happened: " + step.what;
        break;
    }
    if (finished_)
        std::exchange(finished_, nullptr)();
    return true;
}

}  // namespace tavrin::test::contract
