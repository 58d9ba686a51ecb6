// The whole program on the GTK back end, driven through the X server as a
// user would: first display, typing and radio clicks, Enter and Escape, the
// close box, Create Popup with its Results dialog and the clipboard, the
// About box from the window menu, the Days list, and Test Popup with a fake
// default browser. Also: every control of the main dialog sits at its
// template rectangle.

#include "GtkTestCommon.h"
#include "ProgramDriver.h"

#include "app/RunTavrin.h"
#include "framework/backends/gtk/GtkBackend.h"
#include "res/Resources.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tavrin::gtk::test {
namespace {

namespace fs = std::filesystem;

GtkWindow* mainDialog()
{
    return windowTitled("Tavrin");
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
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    GtkTextIter start;
    GtkTextIter end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    GCharPtr text(gtk_text_buffer_get_text(buffer, &start, &end, TRUE));
    return text.get();
}

GtkWidget* labelWithText(GtkWindow* window, const std::string& text)
{
    return findWidget(GTK_WIDGET(window), GTK_TYPE_LABEL,
                      [&](GtkWidget* label) { return text == gtk_label_get_text(GTK_LABEL(label)); });
}

// A pause for the program to handle what was sent, as a user's next action comes later.
std::function<bool()> after(int ms)
{
    auto until = std::make_shared<gint64>(0);
    return [until, ms] {
        if (*until == 0)
            *until = g_get_monotonic_time() + ms * 1000;
        return g_get_monotonic_time() >= *until;
    };
}

// Reads the clipboard with xclip, in another process, while the program keeps serving it.
class ClipboardReader {
public:
    void start()
    {
        GError* error = nullptr;
        process_.reset(g_subprocess_new(G_SUBPROCESS_FLAGS_STDOUT_PIPE, &error, "xclip", "-o", "-selection",
                                        "clipboard", nullptr));
        GErrorPtr owned(error);
        if (!process_) {
            done_ = true;
            text_ = "<xclip did not start>";
            return;
        }
        g_subprocess_communicate_async(process_.get(), nullptr, nullptr, finished, this);
    }
    bool done() const { return done_; }
    const std::string& text() const { return text_; }

private:
    static void finished(GObject* source, GAsyncResult* result, gpointer self)
    {
        auto* reader = static_cast<ClipboardReader*>(self);
        GBytes* out = nullptr;
        if (g_subprocess_communicate_finish(G_SUBPROCESS(source), result, &out, nullptr, nullptr) && out) {
            gsize size = 0;
            auto* data = static_cast<const char*>(g_bytes_get_data(out, &size));
            reader->text_.assign(data, size);
        }
        if (out)
            g_bytes_unref(out);
        reader->done_ = true;
    }
    GObjectPtr<GSubprocess> process_;
    bool done_ = false;
    std::string text_;
};

std::string commandOutput(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    gchar* out = nullptr;
    gsize length = 0;
    GError* error = nullptr;
    GObjectPtr<GSubprocess> process(g_subprocess_newv(args.data(), G_SUBPROCESS_FLAGS_STDOUT_PIPE, &error));
    GErrorPtr owned(error);
    if (!process)
        return {};
    GBytes* bytes = nullptr;
    g_subprocess_communicate(process.get(), nullptr, nullptr, &bytes, nullptr, nullptr);
    std::string text;
    if (bytes) {
        out = static_cast<gchar*>(const_cast<void*>(g_bytes_get_data(bytes, &length)));
        text.assign(out, length);
        g_bytes_unref(bytes);
    }
    return text;
}

std::string fileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
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

    ProgramDriver& waitForMain() { return driver.until("the main dialog", [] { return mainDialog() != nullptr; }); }

    GtkBackend backend;
    ProgramDriver driver;
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
        })
        .until("a moment", after(300))
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
    auto clipboard = std::make_shared<ClipboardReader>();
    waitForMain()
        .then([] { sendClick(named(mainDialog(), "Create Popup")); })
        .until("the Results dialog", [] { return windowTitled("Results") != nullptr; })
        .then([] {
            GtkWindow* results = windowTitled("Results");
            EXPECT_EQ(gtk_window_get_transient_for(results), mainDialog());
            EXPECT_TRUE(gtk_window_get_modal(results));
            EXPECT_EQ(gtk_window_get_focus(results), named(results, "Return"));
            // The main dialog takes no input while Results is open.
            sendClick(named(mainDialog(), "Quit"));
            sendClick(closeBox(mainDialog()));
        })
        .until("a moment", after(300))
        .then([clipboard] {
            ASSERT_NE(windowTitled("Results"), nullptr);
            ASSERT_NE(mainDialog(), nullptr);
            sendClick(named(windowTitled("Results"), "Copy Functions"));
        })
        .until("a moment", after(300))
        .then([clipboard] { clipboard->start(); })
        .until("xclip to read the clipboard", [clipboard] { return clipboard->done(); })
        .then([clipboard] {
            GtkWindow* results = windowTitled("Results");
            std::string expected = commandOutput({TAVRIN_CLI, "--print", "functions"});
            EXPECT_FALSE(expected.empty());
            EXPECT_EQ(clipboard->text(), expected);
            EXPECT_EQ(viewText(results, "JavaScript Functions"), expected);
            EXPECT_NE(clipboard->text().find("\r\n"), std::string::npos);
            EXPECT_NE(windowTitled("Results"), nullptr) << "copying leaves the dialog open";
            sendClick(named(results, "Return"));
        })
        .until("the Results dialog to close", [] { return windowTitled("Results") == nullptr; })
        .then([] { sendKey(named(mainDialog(), "Name"), GDK_KEY_Escape); });
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
        .until("the About box", [] { return windowTitled("About Tavrin") != nullptr; })
        .then([] {
            GtkWindow* about = windowTitled("About Tavrin");
            EXPECT_NE(labelWithText(about, "Tavrin Version 1.2"), nullptr);
            EXPECT_EQ(gtk_window_get_focus(about), named(about, "OK"));
            EXPECT_EQ(gtk_window_get_transient_for(about), mainDialog());
            sendKey(named(about, "OK"), GDK_KEY_Return);
        })
        .until("the About box to close", [] { return windowTitled("About Tavrin") == nullptr; })
        .then([] {
            EXPECT_EQ(entryText(mainDialog(), "Name"), "PopUp");
            sendKey(named(mainDialog(), "Name"), GDK_KEY_Escape);
        });
    runProgram();
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
        .until("the Results dialog to close", [] { return windowTitled("Results") == nullptr; });
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
        .until("a moment", after(200))
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
    // A fake default browser for HTML pages that records what it is asked to open.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    ASSERT_TRUE(dataHome && configHome) << "run under with-xvfb.sh, which gives the test its own XDG folders";
    fs::path work = fs::path(dataHome).parent_path() / "work";
    fs::create_directories(work);
    fs::path record = work / "opened.txt";
    fs::path browser = work / "fake-browser.sh";
    std::ofstream(browser) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << record.string() << "'\n";
    fs::permissions(browser, fs::perms::owner_all);
    fs::create_directories(fs::path(dataHome) / "applications");
    std::ofstream(fs::path(dataHome) / "applications" / "tavrin-fake-browser.desktop")
        << "[Desktop Entry]\nType=Application\nName=Fake Browser\nExec=" << browser.string()
        << " %u\nMimeType=text/html;\n";
    std::ofstream(fs::path(configHome) / "mimeapps.list")
        << "[Default Applications]\ntext/html=tavrin-fake-browser.desktop\n";
    fs::path previous = fs::current_path();
    fs::current_path(work);

    waitForMain()
        .then([] { sendClick(named(mainDialog(), "Test Popup")); })
        .until("the fake browser to be started", [record] { return fileText(record).find('\n') != std::string::npos; })
        .then([] { sendKey(named(mainDialog(), "Name"), GDK_KEY_Escape); });
    runProgram();
    fs::current_path(previous);

    // The browser is given the page's absolute location, as a file URI or a path.
    std::string opened = fileText(record);
    std::string page = (work / "tvtest.htm").string();
    EXPECT_TRUE(opened == page + "\n" || opened == "file://" + page + "\n") << opened;
    // The page is the one the command line writes for the same settings.
    commandOutput({TAVRIN_CLI, "--page", (work / "expected.htm").string()});
    EXPECT_EQ(fileText(page), fileText(work / "expected.htm"));
    EXPECT_FALSE(fileText(page).empty());
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
}  // namespace tavrin::gtk::test

int main(int argc, char** argv)
{
    return tavrin::gtk::test::runTestsOnDisplay(argc, argv);
}
