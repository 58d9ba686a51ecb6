#pragma once
// The web back end of the dialog framework: dialogs drawn in the page, for
// the program compiled to WebAssembly with emscripten.
//
// Create one `WebBackend`, register the icon pictures the templates and
// dialogs name with `addIcon`, and hand it to the framework. Modal runs
// suspend the program (ASYNCIFY) until the page reports the next event, so
// the page stays responsive while a dialog is open.

#include "framework/Backend.h"

namespace tavrin::fw::web {

class WebBackend final : public fw::Backend {
public:
    // Adds a picture in XPM form to icon `iconId`; an icon may have one picture per size.
    void addIcon(int iconId, const char* const* xpm);
    // Tells the page that the program has ended.
    void programEnded();

    int runModal(const fw::DialogTemplate& tmpl, fw::Window* owner, fw::WindowEvents& events) override;
    fw::PixelRect workArea() const override;
    int messageBox(fw::Window* owner, std::string_view text, std::string_view caption, fw::MbButtons buttons,
                   fw::MbIcon icon) override;
    fw::ClipboardResult copyText(fw::Window& owner, std::string_view text) override;
    bool openWithDefaultApplication(const std::string& path) override;
    bool startSockets() override;
};

}  // namespace tavrin::fw::web
