#include "framework/App.h"

#include "framework/Dialog.h"

#include <cassert>

namespace tavrin::fw {

namespace {

CWinApp* runningApp = nullptr;

// Makes an application the running one for the length of a scope.
class RunningApp {
public:
    explicit RunningApp(CWinApp& app) : previous_(runningApp) { runningApp = &app; }
    ~RunningApp() { runningApp = previous_; }
    RunningApp(const RunningApp&) = delete;
    RunningApp& operator=(const RunningApp&) = delete;

private:
    CWinApp* previous_;
};

}  // namespace

std::string appNameFromPath(std::string_view path)
{
    // Both separators count, so a Windows path names the same program on
    // every platform.
    const std::size_t slash = path.find_last_of("/\\");
    std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
    // The part before the last dot; a name that only starts with a dot, and "..", keep theirs.
    const std::size_t dot = file.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || file == "..")
        return std::string(file);
    return std::string(file.substr(0, dot));
}

CWinApp::CWinApp(const StringTable& strings) : strings_(strings) {}

int CWinApp::run(Backend& backend, const char* argv0)
{
    name_ = appNameFromPath(argv0 != nullptr ? argv0 : "");
    backend_ = &backend;
    {
        RunningApp running(*this);
        InitInstance();
    }
    backend_ = nullptr;
    return 0;
}

bool CWinApp::routeCommand(int id)
{
    return dispatchCommand<CWinApp>(*this, commandTable(), id);
}

std::string CWinApp::loadString(int id) const
{
    const auto it = strings_.find(id);
    return it == strings_.end() ? std::string() : it->second;
}

CWinApp* AfxGetApp()
{
    return runningApp;
}

Backend& AfxGetBackend()
{
    assert(runningApp != nullptr && "the framework is used outside CWinApp::run");
    return runningApp->backend();
}

int AfxMessageBox(std::string_view text, MbButtons buttons, MbIcon icon)
{
    if (icon == MbIcon::None)
        icon = MbIcon::Exclamation;
    return AfxGetBackend().messageBox(activeDialogWindow(), text, AfxGetApp()->appName(), buttons, icon);
}

int AfxMessageBox(int stringId, MbButtons buttons, MbIcon icon)
{
    return AfxMessageBox(AfxGetApp()->loadString(stringId), buttons, icon);
}

}  // namespace tavrin::fw
