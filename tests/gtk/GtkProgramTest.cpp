// The whole program on the GTK back end, driven through the X server as a
// user would: first display, typing and radio clicks, Enter and Escape, the
// close box, Create Popup with its Results dialog and the clipboard, the
// About box from the window menu, the Days list, and Test Popup with a fake
// default browser; the keyboard alone reaching every control and making a
// whole request; pasted non-ASCII and very long texts kept whole on every
// path. Also: every control of the main dialog sits at its template
// rectangle.

#include "GtkTestCommon.h"
#include "ProgramDriver.h"

#include "app/RunTavrin.h"
#include "framework/Dialog.h"
#include "framework/backends/gtk/GtkBackend.h"
#include "framework/backends/gtk/GtkControls.h"
#include "res/Product.h"
#include "res/Resources.h"

#include <gdk/gdkx.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tavrin::fw::gtk::test {
namespace {

namespace fs = std::filesystem;

GtkWindow* mainDialog()
{
    return windowTitled("Tavrin");
}

// Whether the main dialog has the keyboard: under a window manager it gets it back some time after a dialog over
// it closes, and keys sent before then go astray.
bool mainIsActive()
{
    GtkWindow* w = mainDialog();
    return w && gtk_window_is_active(w);
}

// The visible frame of a shown window, with the window manager's decorations.
fw::PixelRect frameOf(GtkWindow* w)
{
    GdkRectangle frame;
    gdk_window_get_frame_extents(gtk_widget_get_window(GTK_WIDGET(w)), &frame);
    return {frame.x, frame.y, frame.width, frame.height};
}

// Whether dialog `w` takes input. Under a window manager a dialog is framed, focused and moved to its place some
// time after it is shown, and keys or clicks sent before then go astray; so it is ready once it is active and
// centred over `over`, where it always first appears. Without one it is ready once shown.
bool readyCentredOver(GtkWindow* w, const fw::PixelRect& over)
{
    if (!w || !gtk_widget_get_mapped(GTK_WIDGET(w)))
        return false;
    if (g_strcmp0(gdk_x11_screen_get_window_manager_name(gdk_screen_get_default()), "unknown") == 0)
        return true;
    const fw::PixelRect frame = frameOf(w);
    return gtk_window_is_active(w) && std::abs(frame.x + frame.cx / 2 - (over.x + over.cx / 2)) <= 2 &&
           std::abs(frame.y + frame.cy / 2 - (over.y + over.cy / 2)) <= 2;
}

// The same for a dialog over the main one.
std::function<bool()> readyOverMain(const char* title)
{
    return [title] { return mainDialog() && readyCentredOver(windowTitled(title), frameOf(mainDialog())); };
}

std::string entryText(GtkWindow* window, const std::string& name)
{
    GtkWidget* entry = named(window, name, GTK_TYPE_ENTRY);
    return entry ? gtk_entry_get_text(GTK_ENTRY(entry)) : "<no " + name + " box>";
}

bool isTicked(GtkWindow* window, const std::string& name)
{
    GtkWidget* button = named(window, name, GTK_TYPE_TOGGLE_BUTTON);
    return button && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(button));
}

std::string viewText(GtkWindow* window, const std::string& name)
{
    GtkWidget* view = named(window, name, GTK_TYPE_TEXT_VIEW);
    if (!view)
        return "<no " + name + " box>";
    return gtk::viewText(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)));
}

GtkWidget* labelWithText(GtkWindow* window, const std::string& text)
{
    return findWidget(GTK_WIDGET(window), GTK_TYPE_LABEL,
                      [&](GtkWidget* label) { return text == gtk_label_get_text(GTK_LABEL(label)); });
}

class GtkProgramTest : public ::testing::Test {
protected:
    // Runs Tavrin with the queued steps; fails the test if a step did not happen.
    void runProgram()
    {
        driver.until("the main dialog to close", [] { return mainDialog() == nullptr; });
        driver.start();
        runTavrin(backend, "tavrin");
        waitFor([this] { return driver.finished() || !driver.failure().empty(); }, 2000);
        EXPECT_TRUE(driver.finished()) << driver.failure();
        EXPECT_TRUE(driver.failure().empty()) << driver.failure();
    }

    ProgramDriver& waitForMain()
    {
        return driver.until("the main dialog", [this] { return readyCentredOver(mainDialog(), backend.workArea()); });
    }

    // Installs a fake default browser for HTML pages that records what it is asked to open, and makes a fresh
    // working folder the current one, where Test Popup writes its page.
    void useFakeBrowser()
    {
        const char* dataHome = std::getenv("XDG_DATA_HOME");
        const char* configHome = std::getenv("XDG_CONFIG_HOME");
        ASSERT_TRUE(dataHome && configHome) << "run under with-xvfb.sh, which gives the test its own XDG folders";
        work = fs::path(dataHome).parent_path() / "work";
        fs::remove_all(work);
        fs::create_directories(work);
        opened = work / "opened.txt";
        fs::path browser = work / "fake-browser.sh";
        // It also notes whether it was started with GDK_GL, which tavrin sets for GTK alone.
        std::ofstream(browser) << "#!/bin/sh\necho \"GDK_GL=${GDK_GL-unset}\" > '" << (work / "env.txt").string()
                               << "'\nprintf '%s\\n' \"$1\" >> '" << opened.string() << "'\n";
        fs::permissions(browser, fs::perms::owner_all);
        fs::create_directories(fs::path(dataHome) / "applications");
        std::ofstream(fs::path(dataHome) / "applications" / "tavrin-fake-browser.desktop")
            << "[Desktop Entry]\nType=Application\nName=Fake Browser\nExec=" << browser.string()
            << " %u\nMimeType=text/html;\n";
        std::ofstream(fs::path(configHome) / "mimeapps.list")
            << "[Default Applications]\ntext/html=tavrin-fake-browser.desktop\n";
        previousFolder = fs::current_path();
        fs::current_path(work);
    }
    void TearDown() override
    {
        if (!previousFolder.empty())
            fs::current_path(previousFolder);
    }
    // Waits until the fake browser has been started.
    ProgramDriver& untilBrowserStarted()
    {
        return driver.until("the fake browser to be started",
                            [this] { return fileText(opened).find('\n') != std::string::npos; });
    }
    // The page Test Popup wrote must be the one tavrin-cli writes with `options`, and must have been opened.
    void expectPageAsTheCommandLineWritesIt(std::vector<std::string> options)
    {
        std::string page = (work / "tvtest.htm").string();
        std::string recorded = fileText(opened);
        EXPECT_TRUE(recorded == page + "\n" || recorded == "file://" + page + "\n") << recorded;
        std::vector<std::string> cli{TAVRIN_CLI, "--page", (work / "expected.htm").string()};
        cli.insert(cli.end(), options.begin(), options.end());
        commandOutput(cli);
        EXPECT_FALSE(fileText(page).empty());
        EXPECT_TRUE(fileText(page) == fileText(work / "expected.htm")) << "the page differs from tavrin-cli's";
    }

    GtkBackend backend;
    ProgramDriver driver;
    fs::path work;
    fs::path opened;
    fs::path previousFolder;
};

TEST_F(GtkProgramTest, FirstDisplayShowsTheDefaultsCentredAndEscapeEndsIt)
{
    waitForMain().then([this] {
        GtkWindow* w = mainDialog();
        EXPECT_EQ(entryText(w, "Name"), "PopUp");
        EXPECT_EQ(entryText(w, "URL"), "http://www.tavrin.example/tavrin/demo.htm");
        EXPECT_EQ(entryText(w, "Height"), "200");
        EXPECT_EQ(entryText(w, "Width"), "200");
        EXPECT_EQ(entryText(w, "X"), "");
        EXPECT_EQ(entryText(w, "Y"), "");
        EXPECT_EQ(entryText(w, "Days"), "");
        for (const char* box : {"Directories", "Menu Bar", "Location", "Resizable", "Scroll Bars", "Status Bar",
                                "Toolbar", "Center"})
            EXPECT_FALSE(isTicked(w, box)) << box;
        EXPECT_TRUE(isTicked(w, "On Load"));
        EXPECT_FALSE(isTicked(w, "On Close"));
        EXPECT_FALSE(isTicked(w, "On Button"));
        EXPECT_TRUE(isTicked(w, "Pop Over"));
        EXPECT_FALSE(isTicked(w, "Pop Under"));
        EXPECT_EQ(gtk_window_get_focus(w), named(w, "Name", GTK_TYPE_ENTRY));

        // Centred on the screen's work area.
        GdkRectangle frame;
        gdk_window_get_frame_extents(gtk_widget_get_window(GTK_WIDGET(w)), &frame);
        fw::PixelRect area = backend.workArea();
        EXPECT_NEAR(frame.x + frame.width / 2, area.x + area.cx / 2, 2);
        EXPECT_NEAR(frame.y + frame.height / 2, area.y + area.cy / 2, 2);

        sendKey(named(w, "Name"), GDK_KEY_Escape);
    });
    runProgram();
}

TEST_F(GtkProgramTest, TypedWidthStaysWhenARadioIsClickedAndTheCloseBoxCancels)
{
    waitForMain()
        .then([] {
            GtkWidget* width = named(mainDialog(), "Width", GTK_TYPE_ENTRY);
            sendClick(width);
            sendKey(width, GDK_KEY_a, GDK_CONTROL_MASK);
            sendText(width, "300");
            sendClick(named(mainDialog(), "On Close"));
        })
        .until("On Close selected", [] { return isTicked(mainDialog(), "On Close"); })
        .then([] {
            GtkWindow* w = mainDialog();
            EXPECT_EQ(entryText(w, "Width"), "300");
            EXPECT_FALSE(isTicked(w, "On Load"));
            EXPECT_FALSE(isTicked(w, "On Button"));
            EXPECT_TRUE(isTicked(w, "Pop Over"));
            EXPECT_FALSE(isTicked(w, "Pop Under"));
            sendClick(named(w, "Pop Over"));
            sendClick(named(w, "Directories"));
        })
        .until("the click after it to tick Directories", [] { return isTicked(mainDialog(), "Directories"); })
        .until("both clicks handled", inputHandled())
        .then([] {
            GtkWindow* w = mainDialog();
            EXPECT_TRUE(isTicked(w, "Pop Over")) << "clicking the selected radio changes nothing";
            EXPECT_FALSE(isTicked(w, "Pop Under"));
            EXPECT_TRUE(isTicked(w, "On Close"));
            sendClick(closeBox(w));
        });
    runProgram();
}

TEST_F(GtkProgramTest, EnterInTheUrlBoxQuits)
{
    waitForMain().then([] {
        GtkWidget* url = named(mainDialog(), "URL", GTK_TYPE_ENTRY);
        sendClick(url);
        sendKey(url, GDK_KEY_Return);
    });
    runProgram();
}

TEST_F(GtkProgramTest, CreatePopupShowsResultsOverTheBlockedMainDialogAndCopiesTheFunctions)
{
    const std::string expected = commandOutput({TAVRIN_CLI, "--print", "functions"});
    ASSERT_FALSE(expected.empty());
    waitForMain()
        .then([] { sendClick(named(mainDialog(), "Create Popup")); })
        .until("the Results dialog", readyOverMain("Results"))
        .then([] {
            GtkWindow* results = windowTitled("Results");
            EXPECT_EQ(gtk_window_get_transient_for(results), mainDialog());
            EXPECT_TRUE(gtk_window_get_modal(results));
            EXPECT_EQ(gtk_window_get_focus(results), named(results, "Return"));
            // The main dialog takes no input while Results is open; the Copy Functions click after the two
            // shows when they have been handled.
            clearClipboard();
            sendClick(named(mainDialog(), "Quit"));
            sendClick(closeBox(mainDialog()));
            sendClick(named(results, "Copy Functions"));
        })
        .until("the functions on the clipboard", clipboardHolds(expected))
        .until("the clicks handled", inputHandled())
        .then([expected] {
            GtkWindow* results = windowTitled("Results");
            ASSERT_NE(results, nullptr) << "copying, or a click on the main dialog, closed Results";
            ASSERT_NE(mainDialog(), nullptr);
            EXPECT_EQ(viewText(results, "JavaScript Functions"), expected);
            EXPECT_NE(expected.find("\r\n"), std::string::npos);
            sendClick(named(results, "Return"));
        })
        .until("the Results dialog to close", [] { return windowTitled("Results") == nullptr && mainIsActive(); })
        .then([] { sendKey(named(mainDialog(), "Name"), GDK_KEY_Escape); });
    runProgram();
}

TEST_F(GtkProgramTest, ASecondClickQueuedWhileResultsOpensIsDroppedWithIt)
{
    waitForMain()
        .then([] {
            GtkWidget* create = named(mainDialog(), "Create Popup");
            sendClick(create);
            sendClick(create);
        })
        .until("the Results dialog", [] { return windowTitled("Results") != nullptr; })
        .then([] { sendClick(named(windowTitled("Results"), "Return")); })
        .until("the Results dialog to close", [] { return windowTitled("Results") == nullptr && mainIsActive(); })
        // A click after it, on the main dialog, is handled only once the second click has been.
        .then([] { sendClick(named(mainDialog(), "Directories")); })
        .until("the next click handled", [] { return windowTitled("Results") || isTicked(mainDialog(), "Directories"); })
        .until("all input handled", inputHandled())
        .then([] {
            EXPECT_EQ(windowTitled("Results"), nullptr) << "the second click opened Results again";
            sendKey(named(mainDialog(), "Name"), GDK_KEY_Escape);
        });
    runProgram();
}

TEST_F(GtkProgramTest, WindowMenuOpensTheAboutBox)
{
    auto menu = std::make_shared<GtkWidget*>(nullptr);
    waitForMain()
        .then([menu] {
            GtkWidget* button = named(mainDialog(), "Window menu", GTK_TYPE_MENU_BUTTON);
            ASSERT_NE(button, nullptr);
            *menu = GTK_WIDGET(gtk_menu_button_get_popup(GTK_MENU_BUTTON(button)));
            // A click on the window icon; Alt+Space does the same where the window manager lets it through.
            sendClick(button);
        })
        .until("the window menu", [menu] { return *menu && gtk_widget_get_mapped(*menu); })
        .then([menu] {
            GtkWidget* about = findWidget(*menu, GTK_TYPE_MENU_ITEM, [](GtkWidget* item) {
                return g_strcmp0(gtk_menu_item_get_label(GTK_MENU_ITEM(item)), "_About Tavrin...") == 0;
            });
            ASSERT_NE(about, nullptr);
            sendClick(about);
        })
        .until("the About box", readyOverMain("About Tavrin"))
        .then([] {
            GtkWindow* about = windowTitled("About Tavrin");
            EXPECT_NE(labelWithText(about, "Tavrin Version " TAVRIN_VERSION), nullptr);
            EXPECT_EQ(gtk_window_get_focus(about), named(about, "OK"));
            EXPECT_EQ(gtk_window_get_transient_for(about), mainDialog());
            sendKey(named(about, "OK"), GDK_KEY_Return);
        })
        .until("the About box to close", [] { return windowTitled("About Tavrin") == nullptr && mainIsActive(); })
        .then([] {
            EXPECT_EQ(entryText(mainDialog(), "Name"), "PopUp");
            sendKey(named(mainDialog(), "Name"), GDK_KEY_Escape);
        });
    runProgram();
}

// Whether item `index` of the dropped Days list is shown whole.
bool rowInView(GtkWidget* list, int index)
{
    GtkTreePath* path = gtk_tree_path_new_from_indices(index, -1);
    GdkRectangle row;
    gtk_tree_view_get_background_area(GTK_TREE_VIEW(list), path, nullptr, &row);
    gtk_tree_path_free(path);
    GdkRectangle shown;
    gtk_tree_view_get_visible_rect(GTK_TREE_VIEW(list), &shown);
    return row.height > 0 && row.y >= 0 && row.y + row.height <= shown.height;
}

// Clicks item `index` of the dropped Days list.
void clickListItem(GtkWidget* list, int index)
{
    GtkTreePath* path = gtk_tree_path_new_from_indices(index, -1);
    GdkRectangle cell;
    gtk_tree_view_get_cell_area(GTK_TREE_VIEW(list), path, gtk_tree_view_get_column(GTK_TREE_VIEW(list), 0), &cell);
    gtk_tree_path_free(path);
    int x = 0;
    int y = 0;
    gtk_tree_view_convert_bin_window_to_widget_coords(GTK_TREE_VIEW(list), cell.x + cell.width / 2,
                                                      cell.y + cell.height / 2, &x, &y);
    sendClick(list, x, y);
}

GtkWidget* droppedList()
{
    GList* toplevels = gtk_window_list_toplevels();
    GtkWidget* popup = nullptr;
    for (GList* item = toplevels; item && !popup; item = item->next) {
        auto* widget = GTK_WIDGET(item->data);
        if (gtk_widget_get_mapped(widget) &&
            gtk_style_context_has_class(gtk_widget_get_style_context(widget), "tavrin-dropdown"))
            popup = widget;
    }
    g_list_free(toplevels);
    return popup ? findWidget(popup, GTK_TYPE_TREE_VIEW) : nullptr;
}

ProgramDriver& createPopupAndReturn(ProgramDriver& driver)
{
    return driver.then([] { sendClick(named(mainDialog(), "Create Popup")); })
        .until("the Results dialog", [] { return windowTitled("Results") != nullptr; })
        .then([] { sendKey(named(windowTitled("Results"), "Return"), GDK_KEY_Return); })
        .until("the Results dialog to close", [] { return windowTitled("Results") == nullptr && mainIsActive(); });
}

TEST_F(GtkProgramTest, DaysListPicksAnItemAndTypedTextStays)
{
    waitForMain().then([] {
        GtkWidget* days = named(mainDialog(), "Days", GTK_TYPE_ENTRY);
        sendClick(days);
        sendKey(days, GDK_KEY_Down, GDK_MOD1_MASK);
    });
    driver.until("the Days list", [] { return droppedList() != nullptr; })
        .then([] {
            GtkWidget* list = droppedList();
            GtkAllocation allocation;
            gtk_widget_get_allocation(gtk_widget_get_toplevel(list), &allocation);
            EXPECT_LT(allocation.height, 260) << "the list is about as tall as its template, not the screen";
            EXPECT_EQ(gtk_tree_model_iter_n_children(gtk_tree_view_get_model(GTK_TREE_VIEW(list)), nullptr), 365);
            GtkTreePath* path = gtk_tree_path_new_from_indices(29, -1);
            gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(list), path, nullptr, FALSE, 0, 0);
            gtk_tree_path_free(path);
        })
        .until("item 30 scrolled into view", [] { return rowInView(droppedList(), 29); })
        .then([] { clickListItem(droppedList(), 29); })
        .until("Days shows 30", [] { return entryText(mainDialog(), "Days") == "30"; });
    createPopupAndReturn(driver)
        .then([] {
            EXPECT_EQ(entryText(mainDialog(), "Days"), "30");
            GtkWidget* days = named(mainDialog(), "Days", GTK_TYPE_ENTRY);
            sendClick(days);
            sendKey(days, GDK_KEY_a, GDK_CONTROL_MASK);
            sendText(days, "7 days");
        })
        .until("Days shows the typed text", [] { return entryText(mainDialog(), "Days") == "7 days"; });
    createPopupAndReturn(driver).then([] {
        EXPECT_EQ(entryText(mainDialog(), "Days"), "7 days");
        sendKey(named(mainDialog(), "Name"), GDK_KEY_Escape);
    });
    runProgram();
}

TEST_F(GtkProgramTest, TestPopupWritesThePageAndOpensItWithTheDefaultApplication)
{
    useFakeBrowser();
    waitForMain().then([] { sendClick(named(mainDialog(), "Test Popup")); });
    untilBrowserStarted().then([] { sendKey(named(mainDialog(), "Name"), GDK_KEY_Escape); });
    runProgram();
    // The browser is given the page's absolute location, as a file URI or a path, and the user's environment.
    expectPageAsTheCommandLineWritesIt({});
    EXPECT_EQ(fileText(work / "env.txt"), "GDK_GL=unset\n");
}

// The dialog running innermost, as the framework sees it.
fw::Window& activeDialog()
{
    return *fw::activeDialogWindow();
}

int focusedId()
{
    fw::Window* window = fw::activeDialogWindow();
    return window ? window->focus() : fw::kNoId;
}

// Every setting the main dialog shows: its boxes' texts and its buttons' states, in template order.
std::vector<std::string> shownSettings()
{
    std::vector<std::string> shown;
    for (const fw::ControlTemplate& c : res::mainTemplate().controls) {
        if (c.kind == fw::ControlKind::Edit || c.kind == fw::ControlKind::ComboBox)
            shown.push_back(activeDialog().text(c.id));
        else if (c.kind == fw::ControlKind::CheckBox || c.kind == fw::ControlKind::RadioButton)
            shown.push_back(std::to_string(activeDialog().checkState(c.id)));
    }
    return shown;
}

std::vector<int> tabStops(const fw::DialogTemplate& tmpl)
{
    std::vector<int> stops;
    for (const fw::ControlTemplate& c : tmpl.controls) {
        if (c.tabStop)
            stops.push_back(c.id);
    }
    return stops;
}

TEST_F(GtkProgramTest, KeyboardReachesEveryControlAndOnlySpaceChangesASetting)
{
    waitForMain().then([] {
        GtkWidget* w = GTK_WIDGET(mainDialog());
        const std::vector<int> stops = tabStops(res::mainTemplate());
        ASSERT_EQ(stops.size(), 24u);
        const std::vector<std::string> defaults = shownSettings();

        // Tab and Shift+Tab visit the 24 tab stops in template order, and around again.
        std::vector<int> forward{focusedId()};
        std::vector<int> backward{stops.front()};
        for (std::size_t i = 0; i < stops.size(); ++i) {
            pressKey(w, GDK_KEY_Tab);
            waitFor([&] { return focusedId() != forward.back(); });
            forward.push_back(focusedId());
        }
        for (std::size_t i = 0; i < stops.size(); ++i) {
            pressKey(w, GDK_KEY_Tab, GDK_SHIFT_MASK);
            waitFor([&] { return focusedId() != backward.back(); });
            backward.push_back(focusedId());
        }
        std::vector<int> expected = stops;
        expected.push_back(stops.front());
        EXPECT_EQ(forward, expected);
        std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(backward, expected);
        EXPECT_EQ(shownSettings(), defaults) << "tabbing changed a setting";

        // No arrow key changes a setting, wherever the focus is (Up and Down in Days are its own, below).
        for (int id : stops) {
            for (guint key : {GDK_KEY_Up, GDK_KEY_Down, GDK_KEY_Left, GDK_KEY_Right}) {
                if (id == res::kDays && (key == GDK_KEY_Up || key == GDK_KEY_Down))
                    continue;
                activeDialog().setFocus(id);
                pressKey(w, key);
                EXPECT_EQ(shownSettings(), defaults) << gdk_keyval_name(key) << " on control " << id;
            }
        }

        // Space selects each radio, clearing the others of its group, and ticks and clears each check box.
        const std::vector<std::vector<int>> groups = {{res::kOnLoad, res::kOnClose, res::kOnButton},
                                                      {res::kPopOver, res::kPopUnder}};
        for (const std::vector<int>& group : groups) {
            for (int id : {group.back(), group.front()}) {
                activeDialog().setFocus(id);
                pressKey(w, GDK_KEY_space);
                EXPECT_SOON_EQ(activeDialog().checkState(id), 1);
                for (int other : group)
                    EXPECT_EQ(activeDialog().checkState(other), other == id ? 1 : 0) << "Space on " << id;
            }
        }
        for (const fw::ControlTemplate& c : res::mainTemplate().controls) {
            if (c.kind != fw::ControlKind::CheckBox)
                continue;
            activeDialog().setFocus(c.id);
            pressKey(w, GDK_KEY_space);
            EXPECT_SOON_EQ(activeDialog().checkState(c.id), 1) << c.caption;
            pressKey(w, GDK_KEY_space);
            EXPECT_SOON_EQ(activeDialog().checkState(c.id), 0) << c.caption;
        }
        EXPECT_EQ(shownSettings(), defaults);

        // In Days, Up and Down step through its items and keep the focus (Up went to "Pop Under").
        activeDialog().setFocus(res::kDays);
        pressKey(w, GDK_KEY_Down);
        EXPECT_SOON_EQ(activeDialog().text(res::kDays), "1");
        pressKey(w, GDK_KEY_Down);
        EXPECT_SOON_EQ(activeDialog().text(res::kDays), "2");
        pressKey(w, GDK_KEY_Up);
        EXPECT_SOON_EQ(activeDialog().text(res::kDays), "1");
        EXPECT_EQ(focusedId(), res::kDays);
        sendKey(w, GDK_KEY_Escape);
    });
    runProgram();
}

TEST_F(GtkProgramTest, TheTypicalRequestCanBeMadeFromTheKeyboardAlone)
{
    const std::string expected = commandOutput(
        {TAVRIN_CLI, "--name", "My Popup", "--trigger", "close", "--scrollbars", "--print", "functions"});
    ASSERT_FALSE(expected.empty());
    auto press = [](guint key) {
        return [key] {
            GtkWindow* top = windowTitled("Results") ? windowTitled("Results") : mainDialog();
            sendKey(GTK_WIDGET(top), key);
        };
    };
    auto tabs = [](int times) {
        return [times] {
            GtkWindow* top = windowTitled("Results") ? windowTitled("Results") : mainDialog();
            for (int i = 0; i < times; ++i)
                sendKey(GTK_WIDGET(top), GDK_KEY_Tab);
        };
    };
    auto focusOn = [](int id) { return [id] { return focusedId() == id; }; };
    // Type a name, choose On Close, tick Scroll Bars, Create Popup, Copy Functions.
    waitForMain()
        .until("the focus in the Name box", focusOn(res::kName))
        .then([] { sendText(GTK_WIDGET(mainDialog()), "My Popup"); })
        .until("the typed name", [] { return activeDialog().text(res::kName) == "My Popup"; })
        .then(tabs(3))
        .until("the focus on On Close", focusOn(res::kOnClose))
        .then(press(GDK_KEY_space))
        .until("On Close selected", [] { return activeDialog().checkState(res::kOnClose) == 1; })
        .then(tabs(8))
        .until("the focus on Scroll Bars", focusOn(res::kScrollBars))
        .then(press(GDK_KEY_space))
        .until("Scroll Bars ticked", [] { return activeDialog().checkState(res::kScrollBars) == 1; })
        .then(tabs(10))
        .until("the focus on Create Popup", focusOn(res::kCreatePopup))
        .then(press(GDK_KEY_Return))
        .until("the Results dialog", [] { return windowTitled("Results") != nullptr; })
        .until("the focus on Return", focusOn(res::kReturn))
        .then(tabs(4))
        .until("the focus on Copy Functions", focusOn(res::kCopyFunctions))
        .then(clearClipboard)
        .then(press(GDK_KEY_space))
        .until("the functions on the clipboard", clipboardHolds(expected))
        .then(press(GDK_KEY_Escape))
        .until("the Results dialog to close", [] { return windowTitled("Results") == nullptr && mainIsActive(); })
        .then([] {
            EXPECT_EQ(activeDialog().text(res::kName), "MyPopup");
            sendKey(GTK_WIDGET(mainDialog()), GDK_KEY_Escape);
        });
    runProgram();
}

TEST_F(GtkProgramTest, EveryBoxKeepsAPasted100KbTextWhole)
{
    // A pasted line break stays in the one line, as it always has in these boxes.
    std::string text = "Привет é 😀 \nline two\r\nline three ";
    while (text.size() < 102400)
        text += "0123456789";
    auto source = std::make_shared<ClipboardOwner>();
    waitForMain()
        .then([source, text] { source->serve(text); })
        .until("another program to hold the text", [source] { return source->serving(); });
    for (int id : {res::kName, res::kUrl, res::kHeight, res::kWidth, res::kLeft, res::kTop, res::kDays}) {
        driver
            .then([id] {
                activeDialog().setFocus(id);
                sendKey(GTK_WIDGET(mainDialog()), GDK_KEY_a, GDK_CONTROL_MASK);
                sendKey(GTK_WIDGET(mainDialog()), GDK_KEY_v, GDK_CONTROL_MASK);
            })
            .until("box " + std::to_string(id) + " to hold the whole text",
                   [id, text] { return activeDialog().text(id) == text; });
    }
    driver.then([] { sendKey(GTK_WIDGET(mainDialog()), GDK_KEY_Escape); });
    runProgram();
}

TEST_F(GtkProgramTest, PastedNonAsciiAndA100KbUrlStayWholeOnEveryPath)
{
    // Cyrillic, accented Latin and an emoji in both texts, and a URL of 102,400 characters.
    const std::string name = "Привет \"é\" 😀";
    std::string url = "http://www.tavrin.example/страница/café-😀/";
    while (g_utf8_strlen(url.c_str(), -1) < 102400)
        url += "abcdefghij";
    url.resize(url.size() - static_cast<std::size_t>(g_utf8_strlen(url.c_str(), -1) - 102400));
    ASSERT_EQ(g_utf8_strlen(url.c_str(), -1), 102400);
    std::string strippedName = name;
    std::erase(strippedName, ' ');
    const std::vector<std::string> settings = {"--name", name, "--url", url};
    auto cli = [settings](const char* print) {
        std::vector<std::string> argv{TAVRIN_CLI};
        argv.insert(argv.end(), settings.begin(), settings.end());
        argv.insert(argv.end(), {"--print", print});
        return commandOutput(argv);
    };
    const std::string functions = cli("functions");
    const std::string loader = cli("loader");
    ASSERT_NE(functions.find(url), std::string::npos);

    useFakeBrowser();
    auto source = std::make_shared<ClipboardOwner>();
    // Presses a copy button and waits for another program to read the text; the Results dialog stays open.
    auto copyAndRead = [this](const char* button, const std::string& expected) {
        driver
            .then([button] {
                clearClipboard();
                sendClick(named(windowTitled("Results"), button));
            })
            .until(std::string(button) + ": the whole text on the clipboard", clipboardHolds(expected));
    };
    waitForMain()
        .then([source, name] { source->serve(name); })
        .until("another program to hold the name", [source] { return source->serving(); })
        .then([] { sendKey(GTK_WIDGET(mainDialog()), GDK_KEY_v, GDK_CONTROL_MASK); })
        .until("the pasted name", [name] { return activeDialog().text(res::kName) == name; })
        .then([source, url] { source->serve(url); })
        .until("another program to hold the URL", [source] { return source->serving(); })
        .then([] {
            sendKey(GTK_WIDGET(mainDialog()), GDK_KEY_Tab);
            sendKey(GTK_WIDGET(mainDialog()), GDK_KEY_v, GDK_CONTROL_MASK);
        })
        .until("the whole URL pasted", [url] { return activeDialog().text(res::kUrl) == url; })
        .then([] { sendClick(named(mainDialog(), "Create Popup")); })
        .until("the Results dialog", [] { return windowTitled("Results") != nullptr; })
        .then([functions, loader] {
            GtkWindow* results = windowTitled("Results");
            EXPECT_TRUE(viewText(results, "JavaScript Functions") == functions) << "the script box lost text";
            EXPECT_TRUE(viewText(results, "Load Function Source") == loader);
        });
    copyAndRead("Copy Loader", loader);
    copyAndRead("Copy Functions", functions);
    driver.then([] { sendClick(named(windowTitled("Results"), "Return")); })
        .until("the Results dialog to close", [] { return windowTitled("Results") == nullptr && mainIsActive(); })
        .then([strippedName, url] {
            EXPECT_EQ(activeDialog().text(res::kName), strippedName);
            EXPECT_TRUE(activeDialog().text(res::kUrl) == url) << "the URL box lost text";
            sendClick(named(mainDialog(), "Test Popup"));
        });
    untilBrowserStarted().then([] { sendKey(GTK_WIDGET(mainDialog()), GDK_KEY_Escape); });
    runProgram();
    expectPageAsTheCommandLineWritesIt(settings);
}

TEST_F(GtkProgramTest, EveryDialogsControlsSitAtTheirDialogUnitRectangles)
{
    for (const fw::DialogTemplate* tmpl : {&res::mainTemplate(), &res::resultsTemplate(), &res::aboutTemplate()}) {
        SCOPED_TRACE(tmpl->caption);
        ScriptedEvents events([&](GtkDialogWindow& window) { expectTemplateLayout(window, *tmpl); });
        backend.runModal(*tmpl, nullptr, events);
        EXPECT_TRUE(events.scriptDone);
    }
}

}  // namespace
}  // namespace tavrin::fw::gtk::test

int main(int argc, char** argv)
{
    return tavrin::fw::gtk::test::runTestsOnDisplay(argc, argv);
}
