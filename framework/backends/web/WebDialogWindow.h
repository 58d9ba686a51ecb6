#pragma once
// One dialog drawn in the page from its template, as the framework sees it.
//
// The page keeps what the user sees and changes; this side keeps, for each
// control, the text the program last gave it, so a text comes back exactly
// as it was given (line ends, bytes a page cannot show) until the user
// changes it.

#include "framework/Backend.h"

#include <string>
#include <vector>

namespace tavrin::fw::web {

// A dialog or message box in the page, removed with its owner.
class PageDialog {
public:
    explicit PageDialog(int handle) : handle_(handle) {}
    PageDialog(const PageDialog&) = delete;
    PageDialog& operator=(const PageDialog&) = delete;
    ~PageDialog();

    int handle() const { return handle_; }
    fw::PixelRect frame() const;
    void moveTo(int x, int y);

private:
    int handle_;
};

class WebDialogWindow final : public fw::Window {
public:
    WebDialogWindow(const fw::DialogTemplate& tmpl, fw::WindowEvents& events);

    // Initialises the dialog and runs it until `endDialog`; the end result,
    // or -1 when initialisation failed.
    int run();

    std::string text(int id) const override;
    void setText(int id, std::string_view text) override;
    int checkState(int id) const override;
    void setCheckState(int id, int state) override;
    bool addListItem(int id, std::string_view item) override;
    int listCount(int id) const override;
    std::string listItem(int id, int index) const override;
    int listSelection(int id) const override;
    void setListSelection(int id, int index) override;
    bool isListDropped(int id) const override;
    void closeList(int id) override;
    int focus() const override;
    void setFocus(int id) override;
    fw::PixelRect frame() const override { return page_.frame(); }
    void moveTo(int x, int y) override { page_.moveTo(x, y); }
    bool isVisibleAndNotMinimised() const override;
    void setIcon(int iconId) override;
    bool appendSystemMenuSeparator() override;
    bool appendSystemMenuItem(unsigned command, std::string_view text) override;
    void openWindowMenu() override;
    void endDialog(int result) override;

private:
    struct Control {
        const fw::ControlTemplate* tmpl = nullptr;
        std::string text;  // as the program last set it
        std::vector<std::string> items;
    };

    // The control's template index; -1 for an id the template lacks.
    int indexOf(int id) const;
    const Control* find(int id) const;
    void deliver(int type, int arg);

    fw::WindowEvents& events_;
    PageDialog page_;
    std::vector<Control> controls_;
    int result_ = 0;
    bool ended_ = false;
};

}  // namespace tavrin::fw::web
