#pragma once
// The application: checks the sockets layer, then runs the main dialog as the
// program's one window. `theApp` is the one instance; a program entry runs it
// on its back end with `theApp.run(backend, argv[0])`.

#include "framework/App.h"

namespace tavrin::ui {

// Starts Tavrin and ends it when the main dialog closes.
class CGeneratorApp : public fw::CWinApp {
public:
    CGeneratorApp();
    bool InitInstance() override;

protected:
    std::span<const fw::AppCommandEntry> commandTable() const override;

private:
    static const fw::AppCommandEntry kCommands[];
};

extern CGeneratorApp theApp;

}  // namespace tavrin::ui
