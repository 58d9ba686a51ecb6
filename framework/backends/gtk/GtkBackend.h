#pragma once
// The GTK 3 back end of the dialog framework.
//
// Call `initToolkit` once at start-up; when it returns false there is no
// display to show dialogs on. Then create one `GtkBackend`, register the
// icon pictures the templates and dialogs name with `addIcon`, and hand it
// to the framework. Destroying the back end hands the clipboard's content to
// the desktop's clipboard manager, so a copy outlives the program.

#include "framework/Backend.h"
#include "framework/backends/gtk/AdwaitaMarks.h"
#include "framework/backends/gtk/GtkPtr.h"

#include <map>
#include <string>
#include <vector>

namespace tavrin::fw::gtk {

struct DialogFont;

// Takes GTK's own options (--display, --class, ...) out of the arguments,
// without opening a display, so the program can read the rest.
void takeToolkitArguments(int& argc, char**& argv);
// Starts GTK (taking its options first); false when no display can be opened.
bool initToolkit(int& argc, char**& argv);

// Builds dialogs from templates as GTK windows and provides the platform services.
class GtkBackend final : public fw::Backend {
public:
    GtkBackend();
    GtkBackend(const GtkBackend&) = delete;
    GtkBackend& operator=(const GtkBackend&) = delete;
    ~GtkBackend() override;

    // Adds a picture in XPM form to icon `iconId`; an icon may have one picture per size.
    void addIcon(int iconId, const char* const* xpm);
    // Icon `iconId` scaled to `size` pixels square; empty when unknown.
    GObjectPtr<GdkPixbuf> icon(int iconId, int size) const;
    // The first registered icon, for title bars of dialogs that set none.
    int defaultIconId() const { return icons_.empty() ? 0 : icons_.begin()->first; }

    // The CSS class that gives a dialog's widgets `family` at `pixelSize`.
    std::string fontClass(const std::string& family, int pixelSize);
    // Makes `window` look like our dialogs: a header bar with `caption` and a close box (or no button) as its
    // title bar, its size fixed, its widgets in `font`. Returns the header bar.
    GtkHeaderBar* dressAsDialog(GtkWindow* window, std::string_view caption, bool closeBox, const DialogFont& font);

    int runModal(const fw::DialogTemplate& tmpl, fw::Window* owner, fw::WindowEvents& events) override;
    fw::PixelRect workArea() const override;
    int messageBox(fw::Window* owner, std::string_view text, std::string_view caption, fw::MbButtons buttons,
                   fw::MbIcon icon) override;
    fw::ClipboardResult copyText(fw::Window& owner, std::string_view text) override;
    bool openWithDefaultApplication(const std::string& path) override;
    bool startSockets() override;

private:
    GObjectPtr<GtkCssProvider> provider_;
    std::string css_;  // the dialogs' rules, then a rule for each font class
    AdwaitaMarks marks_;
    std::map<int, std::vector<GObjectPtr<GdkPixbuf>>> icons_;
    std::map<std::string, std::string> fontClasses_;  // family "/" size to class name
    bool copied_ = false;
};

}  // namespace tavrin::fw::gtk
