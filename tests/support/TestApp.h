#pragma once
// Runs test code inside a framework application on the in-memory back end.

#include "framework/App.h"
#include "support/FakeBackend.h"

#include <functional>
#include <utility>

namespace tavrin::test {

inline const fw::StringTable& testStrings()
{
    static const fw::StringTable table = {{7, "Seven is a string resource."}};
    return table;
}

// An application whose start-up runs the test's body.
class TestApp : public fw::CWinApp {
public:
    explicit TestApp(const fw::StringTable& strings = testStrings()) : CWinApp(strings) {}
    bool InitInstance() override
    {
        body_();
        return false;
    }
    int helpCommands = 0;
    void onHelpCommand() { ++helpCommands; }
    void runWith(fw::Backend& backend, std::function<void()> body, const char* argv0 = "/opt/tavrin/bin/tavrin")
    {
        body_ = std::move(body);
        run(backend, argv0);
    }

protected:
    std::span<const fw::AppCommandEntry> commandTable() const override;

private:
    static const fw::AppCommandEntry kCommands[];
    std::function<void()> body_;
};

inline const fw::AppCommandEntry TestApp::kCommands[] = {fw::appCommand(fw::kIdHelp, &TestApp::onHelpCommand)};

inline std::span<const fw::AppCommandEntry> TestApp::commandTable() const
{
    return kCommands;
}

}  // namespace tavrin::test
