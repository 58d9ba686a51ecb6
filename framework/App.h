#pragma once
// The application object and the framework-wide services reached through it.
//
// A program derives one class from `CWinApp`, overrides `InitInstance` to
// run its dialogs, and hands the platform's back end to `run`:
//
//   class MyApp : public fw::CWinApp { bool InitInstance() override; };
//   MyApp theApp;
//   int main(int, char** argv) { return theApp.run(backend, argv[0]); }
//
// There is no message loop after start-up: the program's whole work is the
// modal runs of its dialogs inside `InitInstance`, and the program ends when
// `InitInstance` returns. While `run` is running, `AfxGetApp`,
// `AfxGetBackend` and `AfxMessageBox` reach that application and its back end.

#include "framework/Backend.h"
#include "framework/CommandTable.h"

#include <map>
#include <span>
#include <string>
#include <string_view>

namespace tavrin::fw {

// String resources by id.
using StringTable = std::map<int, std::string>;

class CWinApp;

// One entry of an application's command table: command id to member handler.
using AppCommandEntry = CommandTableEntry<CWinApp>;

// Builds a command table entry from a handler of a class derived from CWinApp.
template <class App>
inline AppCommandEntry appCommand(int id, void (App::*handler)())
{
    return {id, static_cast<void (CWinApp::*)()>(handler)};
}

// The base of every application: names it, holds its strings and back end,
// and runs its start-up.
class CWinApp {
public:
    explicit CWinApp(const StringTable& strings);
    virtual ~CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Takes the application's name from `argv0` (the program file's name
    // without its extension), calls `InitInstance` on `backend`, and returns
    // 0 once it has returned, whatever it returned.
    int run(Backend& backend, const char* argv0);

    // Start-up and the program's work: runs its dialogs and returns when the
    // program is to end. The result is not used; there is no message loop
    // that true could start.
    virtual bool InitInstance() { return false; }

    // Does nothing: the program has no help file.
    void OnHelp() {}

    // Routes a command no dialog handled through the command table; false
    // when the table has no entry for it.
    bool routeCommand(int id);

    const std::string& appName() const { return name_; }
    Backend& backend() const { return *backend_; }
    // The string resource `id`, or an empty text when there is none.
    std::string loadString(int id) const;

protected:
    virtual std::span<const AppCommandEntry> commandTable() const { return {}; }

private:
    const StringTable& strings_;
    std::string name_;
    Backend* backend_ = nullptr;
};

// The program file's name without its directory and extension.
std::string appNameFromPath(std::string_view path);

// The running application; nullptr outside `CWinApp::run`.
CWinApp* AfxGetApp();
// The running application's back end.
Backend& AfxGetBackend();

// A modal message box over the active dialog with the application's name as
// caption and, when no icon is named, the exclamation icon. Returns the id of
// the button pressed.
int AfxMessageBox(std::string_view text, MbButtons buttons = MbButtons::Ok, MbIcon icon = MbIcon::None);
// The same with the text of string resource `stringId`.
int AfxMessageBox(int stringId, MbButtons buttons = MbButtons::Ok, MbIcon icon = MbIcon::None);

}  // namespace tavrin::fw
