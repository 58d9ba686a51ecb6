// The GTK back end on its own, with a small template of every control kind:
// layout in dialog units, keys and clicks reported to the framework, radio
// buttons the program can clear, the drop-down list, the window menu,
// modality, message boxes and the clipboard as another process reads it.

#include "GtkTestCommon.h"

#include "framework/backends/gtk/GtkPtr.h"
#include "support/Templates.h"

#include <algorithm>
#include <memory>

namespace tavrin::fw::gtk::test {
namespace {

using fw::ControlKind;
using tavrin::test::control;

enum : int { kName = 10, kFirst = 11, kSecond = 12, kTick = 13, kDays = 14, kNotes = 15, kPress = 16, kFooter = 17 };

fw::DialogTemplate probeTemplate()
{
    fw::DialogTemplate t;
    t.id = 900;
    t.caption = "Probe";
    t.cx = 200;
    t.cy = 120;
    t.controls.push_back(control(fw::kNoId, ControlKind::Text, "&Name:", {5, 7, 30, 8}, false));
    t.controls.push_back(control(kName, ControlKind::Edit, "", {40, 5, 100, 12}));
    t.controls.push_back(control(fw::kNoId, ControlKind::GroupBox, "Choice", {5, 22, 90, 40}, false));
    t.controls.push_back(control(kFirst, ControlKind::RadioButton, "&First", {10, 32, 60, 10}));
    t.controls.push_back(control(kSecond, ControlKind::RadioButton, "&Second", {10, 45, 60, 10}));
    t.controls.push_back(control(kTick, ControlKind::CheckBox, "&Tick", {100, 32, 60, 10}));
    t.controls.push_back(control(fw::kNoId, ControlKind::Text, "&Days:", {5, 70, 25, 8}, false));
    t.controls.push_back(control(kDays, ControlKind::ComboBox, "", {40, 68, 40, 80}));
    t.controls.push_back(control(fw::kNoId, ControlKind::GroupBox, "Notes", {97, 42, 98, 50}, false));
    fw::ControlTemplate notes = control(kNotes, ControlKind::Edit, "", {100, 50, 90, 38});
    notes.multiLine = notes.readOnly = notes.vScroll = notes.wrap = true;
    t.controls.push_back(notes);
    fw::ControlTemplate ok = control(fw::kIdOk, ControlKind::PushButton, "OK", {145, 5, 50, 14});
    ok.defaultButton = true;
    t.controls.push_back(ok);
    t.controls.push_back(control(fw::kIdCancel, ControlKind::PushButton, "Cancel", {145, 22, 50, 14}));
    t.controls.push_back(control(kPress, ControlKind::PushButton, "&Press", {145, 100, 50, 14}));
    t.controls.push_back(control(kFooter, ControlKind::Text, "Footer line", {5, 108, 130, 8}, false));
    return t;
}

// The font a widget draws its text in, as "Family Size".
std::string fontOf(GtkWidget* widget)
{
    GtkStyleContext* style = gtk_widget_get_style_context(widget);
    PangoFontDescription* font = nullptr;
    gtk_style_context_get(style, gtk_style_context_get_state(style), GTK_STYLE_PROPERTY_FONT, &font, nullptr);
    FontDescriptionPtr owned(font);
    return gio::GCharPtr(pango_font_description_to_string(font)).get();
}

class GtkBackendTest : public ::testing::Test {
protected:
    // Runs the probe dialog with `script`; returns its result.
    int run(ScriptedEvents& events) { return backend.runModal(tmpl, nullptr, events); }

    GtkBackend backend;
    fw::DialogTemplate tmpl = probeTemplate();
};

TEST_F(GtkBackendTest, ControlsSitAtTheirDialogUnitRectangles)
{
    ScriptedEvents events([&](GtkDialogWindow& window) { expectTemplateLayout(window, tmpl); });
    run(events);
    EXPECT_TRUE(events.scriptDone);
}

TEST_F(GtkBackendTest, ALargerDesktopFontScalesTheDialogAndItsLayoutAlike)
{
    // The client area's size and the OK button's width, as laid out.
    auto measure = [this] {
        std::pair<GtkAllocation, GtkAllocation> seen{};
        ScriptedEvents events([&](GtkDialogWindow& window) {
            gtk_widget_get_allocation(gtk_bin_get_child(GTK_BIN(window.gtkWindow())), &seen.first);
            gtk_widget_get_allocation(controlWidget(window, fw::kIdOk), &seen.second);
        });
        run(events);
        return seen;
    };
    GtkSettings* settings = gtk_settings_get_default();
    gchar* raw = nullptr;
    g_object_get(settings, "gtk-font-name", &raw, nullptr);
    const GCharPtr desktopFont(raw);
    ASSERT_STREQ(desktopFont.get(), "Sans 10") << "GTK's default";
    const auto [client, ok] = measure();
    g_object_set(settings, "gtk-font-name", "Sans 14", nullptr);
    const auto [largerClient, largerOk] = measure();
    g_object_set(settings, "gtk-font-name", desktopFont.get(), nullptr);
    // 14 points over 10, give or take the rounding of the base units to whole pixels.
    EXPECT_NEAR(double(largerClient.width) / client.width, 1.4, 0.15);
    EXPECT_NEAR(double(largerClient.height) / client.height, 1.4, 0.15);
    EXPECT_NEAR(double(largerOk.width) / ok.width, 1.4, 0.15);
}

TEST_F(GtkBackendTest, EnterIsReportedWithTheFocusedControl)
{
    ScriptedEvents events([](GtkDialogWindow& window) {
        window.setFocus(kName);
        EXPECT_EQ(window.focus(), kName);
        pressKey(controlWidget(window, kName), GDK_KEY_Return);
        window.setFocus(kPress);
        pressKey(controlWidget(window, kPress), GDK_KEY_KP_Enter);
        window.setFocus(kNotes);
        pressKey(controlWidget(window, kNotes), GDK_KEY_Return);
        EXPECT_EQ(window.text(kNotes), "");
    });
    EXPECT_EQ(run(events), 0);
    EXPECT_EQ(events.log, (std::vector<std::string>{"enter 10", "enter 16", "enter 15"}));
}

TEST_F(GtkBackendTest, TypedTextAndClickedButtonsReachTheFramework)
{
    ScriptedEvents events([](GtkDialogWindow& window) {
        window.setFocus(kName);
        typeText(controlWidget(window, kName), "Pop up 7");
        EXPECT_SOON_EQ(window.text(kName), "Pop up 7");
        click(controlWidget(window, kTick));
        EXPECT_SOON_EQ(window.checkState(kTick), 1);
        click(controlWidget(window, kPress));
        click(controlWidget(window, fw::kIdOk));
    });
    EXPECT_EQ(run(events), fw::kIdOk);
    EXPECT_EQ(events.log, (std::vector<std::string>{"command 13", "command 16", "command 1"}));
}

TEST_F(GtkBackendTest, EachRadioIsItsOwnGroupAndCanBeCleared)
{
    ScriptedEvents events([](GtkDialogWindow& window) {
        EXPECT_EQ(window.checkState(kFirst), 0);
        EXPECT_EQ(window.checkState(kSecond), 0);
        window.setCheckState(kFirst, 1);
        EXPECT_EQ(window.checkState(kFirst), 1);
        click(controlWidget(window, kSecond));
        EXPECT_SOON_EQ(window.checkState(kSecond), 1);
        EXPECT_EQ(window.checkState(kFirst), 1) << "selecting one radio must not clear another";
        window.setCheckState(kFirst, 0);
        EXPECT_EQ(window.checkState(kFirst), 0);
        click(controlWidget(window, kSecond));
        EXPECT_EQ(window.checkState(kSecond), 1) << "clicking a selected radio keeps it selected";
        window.setCheckState(kTick, 2);
        EXPECT_EQ(window.checkState(kTick), 2);
    });
    run(events);
    // Only the two clicks are commands; setting states is not.
    EXPECT_EQ(events.log, (std::vector<std::string>{"command 12", "command 12"}));
}

TEST_F(GtkBackendTest, TextsKeepTheirBytesAndCaptionsTheirMnemonics)
{
    ScriptedEvents events([](GtkDialogWindow& window) {
        std::string script = "<SCRIPT>\r\nfunction f() {\r\n}\r\n</SCRIPT>\r\n";
        window.setText(kNotes, script);
        EXPECT_EQ(window.text(kNotes), script);
        window.setText(kFooter, "Tavrin - the footer");
        EXPECT_EQ(window.text(kFooter), "Tavrin - the footer");
        EXPECT_EQ(window.text(kPress), "&Press");
        GtkWidget* label = gtk_bin_get_child(GTK_BIN(controlWidget(window, kPress)));
        EXPECT_STREQ(gtk_label_get_label(GTK_LABEL(label)), "_Press");
        // Mnemonic of the label in front of the Name box moves the focus there.
        window.setFocus(kPress);
        pressKey(controlWidget(window, kPress), GDK_KEY_n, GDK_MOD1_MASK);
        EXPECT_SOON_EQ(window.focus(), kName);
    });
    run(events);
}

TEST_F(GtkBackendTest, AMultiLineBoxReadsBackLongLinesExactly)
{
    ScriptedEvents events([](GtkDialogWindow& window) {
        // Lines of several kilobytes whose two- and three-byte characters fall at every offset around the
        // places where a long line is cut for display, ending in CR LF, a lone CR or LF.
        std::string text;
        for (int shift = 0; shift < 6; ++shift) {
            std::string line(static_cast<std::size_t>(1020 + shift), 'a');
            for (int i = 0; i < 2000; ++i)
                line += i % 3 ? "é" : "€";
            text += line + (shift % 3 == 0 ? "\r\n" : shift % 3 == 1 ? "\r" : "\n");
        }
        window.setText(kNotes, text);
        EXPECT_TRUE(window.text(kNotes) == text);
        AtkObject* accessible = gtk_widget_get_accessible(controlWidget(window, kNotes));
        GCharPtr read(atk_text_get_text(ATK_TEXT(accessible), 0, -1));
        EXPECT_TRUE(text == read.get()) << "a screen reader reads the text as it is";
        window.setText(kNotes, "short");
        EXPECT_EQ(window.text(kNotes), "short");
    });
    run(events);
}

// How many display lines of `view` end in a character drawn wider than it is alone: the hyphen Pango adds when it
// breaks inside a word is drawn in the last character's place. `lines` is set to the number of lines.
int linesEndingWiderThanTheirText(GtkWidget* view, int& lines)
{
    GtkTextIter line;
    gtk_text_buffer_get_start_iter(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), &line);
    int widened = 0;
    lines = 0;
    do {
        GtkTextIter last = line;
        gtk_text_view_forward_display_line_end(GTK_TEXT_VIEW(view), &last);
        // A wrapped line's end is at its last character, a paragraph's after it.
        while ((gtk_text_iter_is_end(&last) || gtk_text_iter_get_char(&last) == '\n') &&
               gtk_text_iter_backward_char(&last)) {
        }
        GdkRectangle shown;
        gtk_text_view_get_iter_location(GTK_TEXT_VIEW(view), &last, &shown);
        gchar character[8] = {};
        g_unichar_to_utf8(gtk_text_iter_get_char(&last), character);
        GObjectPtr<PangoLayout> alone(gtk_widget_create_pango_layout(view, character));
        int width = 0;
        pango_layout_get_pixel_size(alone.get(), &width, nullptr);
        ++lines;
        widened += shown.width > width + 1;
    } while (gtk_text_view_forward_display_line(GTK_TEXT_VIEW(view), &line));
    return widened;
}

TEST_F(GtkBackendTest, AWrappedBoxDrawsNoHyphenTheTextDoesNotHold)
{
    ScriptedEvents events([](GtkDialogWindow& window) {
        window.setText(kNotes, "height=200,width=200,resizable=yes,scrollbars=yes abcdefghijabcdefghijabcdefghijabcdefghij");
        GtkWidget* view = controlWidget(window, kNotes);
        int lines = 0;
        EXPECT_SOON(linesEndingWiderThanTheirText(view, lines) == 0 && lines >= 3);
        EXPECT_EQ(linesEndingWiderThanTheirText(view, lines), 0) << "of " << lines << " lines";
    });
    run(events);
}

TEST_F(GtkBackendTest, ControlsAreNamedForAssistiveTechnology)
{
    ScriptedEvents events([](GtkDialogWindow& window) {
        auto name = [&](int id) { return std::string(atk_object_get_name(gtk_widget_get_accessible(controlWidget(window, id)))); };
        EXPECT_EQ(name(kName), "Name");
        EXPECT_EQ(name(kDays), "Days");
        EXPECT_EQ(name(kNotes), "Notes") << "a box with no label in front takes its group box's name";
        EXPECT_EQ(name(kFirst), "First");
        EXPECT_EQ(name(kPress), "Press");
    });
    run(events);
}

// The framework fills lists from the template's data as the dialog opens.
void fillDays(GtkDialogWindow& window)
{
    for (int day = 1; day <= 365; ++day)
        window.addListItem(kDays, std::to_string(day));
}

// The row highlighted in the dropped list, as the user sees it; -1 for none.
int highlightedRow()
{
    GtkTreeModel* model = nullptr;
    GtkTreeIter row;
    GtkWidget* list = findWidget(dropDown(), GTK_TYPE_TREE_VIEW);
    if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(GTK_TREE_VIEW(list)), &model, &row))
        return -1;
    GtkTreePath* path = gtk_tree_model_get_path(model, &row);
    int index = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
    return index;
}

void replaceText(GtkWidget* entry, const std::string& text)
{
    gtk_editable_select_region(GTK_EDITABLE(entry), 0, -1);
    typeText(entry, text);
}

TEST_F(GtkBackendTest, DaysListDropsSmallAtTheCurrentItemAndClosesOnEscapeOrEnter)
{
    ScriptedEvents events([](GtkDialogWindow& window) {
        GtkWidget* arrow = findWidget(placedWidget(window, kDays), GTK_TYPE_BUTTON);
        ASSERT_NE(arrow, nullptr);
        EXPECT_EQ(window.listCount(kDays), 365);
        EXPECT_EQ(dropDown(), nullptr) << "the list is built when it first drops";
        window.setListSelection(kDays, 29);
        EXPECT_EQ(window.text(kDays), "30");

        click(arrow);
        ASSERT_TRUE(waitFor([&] { return dropDown() && gtk_widget_get_mapped(dropDown()); }));
        EXPECT_TRUE(window.isListDropped(kDays));
        GtkAllocation list;
        gtk_widget_get_allocation(dropDown(), &list);
        const DialogFont font = dialogFont("MS Sans Serif", 8);
        int expected = font.toPixelsY(80) - (font.baseY + 8);
        EXPECT_NEAR(list.height, expected, 2);
        EXPECT_EQ(highlightedRow(), 29);
        // The list is a window of its own, yet its rows are in the dialog's font.
        EXPECT_EQ(fontOf(findWidget(dropDown(), GTK_TYPE_TREE_VIEW)), fontOf(controlWidget(window, kDays)));

        pressKey(dropDown(), GDK_KEY_Escape);
        EXPECT_SOON(!window.isListDropped(kDays));
        EXPECT_EQ(window.text(kDays), "30");

        window.setFocus(kDays);
        pressKey(controlWidget(window, kDays), GDK_KEY_Down, GDK_MOD1_MASK);
        ASSERT_SOON(window.isListDropped(kDays));
        pressKey(dropDown(), GDK_KEY_Down);
        pressKey(dropDown(), GDK_KEY_Return);
        EXPECT_SOON(!window.isListDropped(kDays));
        EXPECT_SOON_EQ(window.text(kDays), "31");
        EXPECT_EQ(window.listSelection(kDays), 30);

        // Typed text stays as typed and selects nothing.
        replaceText(controlWidget(window, kDays), "7 days");
        EXPECT_SOON_EQ(window.text(kDays), "7 days");
        EXPECT_EQ(window.listSelection(kDays), -1);
        click(arrow);
        ASSERT_SOON(window.isListDropped(kDays));
        click(controlWidget(window, kName));  // a click elsewhere closes the list
        EXPECT_SOON(!window.isListDropped(kDays));
        EXPECT_EQ(window.text(kDays), "7 days");
    }, fillDays);
    EXPECT_EQ(run(events), 0) << "Escape and Enter on the list must not end the dialog";
    EXPECT_TRUE(events.log.empty());
}

TEST_F(GtkBackendTest, DaysListOpensOnTheTypedItemAndArrowsStepThroughTheItems)
{
    ScriptedEvents events([](GtkDialogWindow& window) {
        GtkWidget* arrow = findWidget(placedWidget(window, kDays), GTK_TYPE_BUTTON);
        GtkWidget* field = controlWidget(window, kDays);
        const std::vector<std::pair<const char*, std::function<void()>>> openers = {
            {"F4", [&] { pressKey(field, GDK_KEY_F4); }},
            {"Alt+Down", [&] { pressKey(field, GDK_KEY_Down, GDK_MOD1_MASK); }},
            {"the arrow", [&] { click(arrow); }},
        };
        for (const auto& [opener, open] : openers) {
            SCOPED_TRACE(opener);
            window.setFocus(kDays);
            replaceText(field, "30");
            open();
            ASSERT_TRUE(waitFor([&] { return window.isListDropped(kDays); }));
            EXPECT_EQ(highlightedRow(), 29);
            pressKey(dropDown(), GDK_KEY_Return);
            EXPECT_SOON(!window.isListDropped(kDays));
            EXPECT_EQ(window.text(kDays), "30");
            EXPECT_EQ(window.listSelection(kDays), 29);

            // A text no item begins with highlights nothing, so Enter keeps it.
            replaceText(field, "7 days");
            open();
            ASSERT_TRUE(waitFor([&] { return window.isListDropped(kDays); }));
            EXPECT_EQ(highlightedRow(), -1);
            pressKey(dropDown(), GDK_KEY_Return);
            EXPECT_SOON(!window.isListDropped(kDays));
            EXPECT_EQ(window.text(kDays), "7 days");
            EXPECT_EQ(window.listSelection(kDays), -1);
            EXPECT_EQ(window.focus(), kDays);
        }
        // Other keys leave the list as it is; from no highlight, Down highlights the first item.
        pressKey(field, GDK_KEY_F4);
        ASSERT_SOON(window.isListDropped(kDays));
        pressKey(dropDown(), GDK_KEY_space);
        EXPECT_EQ(highlightedRow(), -1);
        pressKey(dropDown(), GDK_KEY_Down);
        EXPECT_SOON_EQ(highlightedRow(), 0);
        pressKey(dropDown(), GDK_KEY_Page_Down);
        EXPECT_SOON(highlightedRow() > 1) << "a page is as many rows as the list shows";
        pressKey(dropDown(), GDK_KEY_Home);
        EXPECT_SOON_EQ(highlightedRow(), 0);
        pressKey(dropDown(), GDK_KEY_End);
        pressKey(dropDown(), GDK_KEY_Return);
        EXPECT_SOON_EQ(window.text(kDays), "365");

        // With the list closed, Up and Down step through the items and the focus stays.
        const std::vector<std::pair<guint, std::string>> steps = {
            {GDK_KEY_Down, "365"}, {GDK_KEY_Up, "364"}, {GDK_KEY_Up, "363"}};
        for (const auto& [key, shown] : steps) {
            pressKey(field, key);
            EXPECT_SOON_EQ(window.text(kDays), shown) << gdk_keyval_name(key);
        }
        replaceText(field, "30");
        EXPECT_SOON_EQ(window.text(kDays), "30");
        pressKey(field, GDK_KEY_Down);
        EXPECT_SOON_EQ(window.text(kDays), "31");
        EXPECT_EQ(window.listSelection(kDays), 30);
        replaceText(field, "7 days");
        EXPECT_SOON_EQ(window.text(kDays), "7 days");
        pressKey(field, GDK_KEY_Down);
        EXPECT_SOON_EQ(window.text(kDays), "1");
        pressKey(field, GDK_KEY_Up);
        EXPECT_EQ(window.text(kDays), "1");
        EXPECT_EQ(window.focus(), kDays);
        EXPECT_FALSE(window.isListDropped(kDays));
    }, fillDays);
    EXPECT_EQ(run(events), 0);
    EXPECT_TRUE(events.log.empty()) << "picking or stepping through Days is no command";
}

TEST_F(GtkBackendTest, WindowMenuHoldsCloseAndAppendedItems)
{
    ScriptedEvents events([](GtkDialogWindow& window) {
        ASSERT_TRUE(window.appendSystemMenuSeparator());
        ASSERT_TRUE(window.appendSystemMenuItem(0x10, "&About Probe..."));
        pressKey(controlWidget(window, kName), GDK_KEY_space, GDK_MOD1_MASK);
        GtkWidget* menuButton = named(window.gtkWindow(), "Window menu", GTK_TYPE_MENU_BUTTON);
        GtkWidget* menu = GTK_WIDGET(gtk_menu_button_get_popup(GTK_MENU_BUTTON(menuButton)));
        ASSERT_TRUE(waitFor([&] { return gtk_widget_get_mapped(menu); }));
        GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
        ASSERT_EQ(g_list_length(items), 3u);
        EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(items->data)), "_Close");
        EXPECT_TRUE(GTK_IS_SEPARATOR_MENU_ITEM(items->next->data));
        EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(items->next->next->data)), "_About Probe...");
        g_list_free(items);
        pressKey(menu, GDK_KEY_a);
        EXPECT_TRUE(waitFor([&] { return !gtk_widget_get_mapped(menu); }));

        click(menuButton);
        ASSERT_TRUE(waitFor([&] { return gtk_widget_get_mapped(menu); }));
        pressKey(menu, GDK_KEY_c);
    });
    EXPECT_EQ(run(events), fw::kIdCancel);
    EXPECT_EQ(events.log, (std::vector<std::string>{"syscommand 16", "command 2"}));
}

// Where the title bar's top left is on the screen.
std::pair<int, int> titleBarOrigin(GtkDialogWindow& window)
{
    GtkWidget* title = gtk_window_get_titlebar(window.gtkWindow());
    int x = 0;
    int y = 0;
    gtk_widget_translate_coordinates(title, GTK_WIDGET(window.gtkWindow()), 0, 0, &x, &y);
    int originX = 0;
    int originY = 0;
    gdk_window_get_origin(gtk_widget_get_window(GTK_WIDGET(window.gtkWindow())), &originX, &originY);
    return {originX + x, originY + y};
}

TEST_F(GtkBackendTest, FrameIsTheVisibleWindowThatMoveToPlaces)
{
    // The frame the framework centres starts at the title bar, not at the shadow around it, before the window
    // is shown and after; moving it to where it is leaves it there.
    ScriptedEvents events([](GtkDialogWindow& window) {
        EXPECT_SOON(titleBarOrigin(window) == std::make_pair(300, 200));
        EXPECT_EQ(window.frame().x, 300);
        EXPECT_EQ(window.frame().y, 200);
        window.moveTo(120, 80);
        EXPECT_SOON(titleBarOrigin(window) == std::make_pair(120, 80));
        EXPECT_SOON(window.frame().x == 120 && window.frame().y == 80);
        window.moveTo(window.frame().x, window.frame().y);
        handleSentInput();
        EXPECT_EQ(titleBarOrigin(window), std::make_pair(120, 80));
        EXPECT_EQ(window.frame().x, 120);
        window.endDialog(0);
    }, [](GtkDialogWindow& window) {
        window.moveTo(300, 200);
        EXPECT_EQ(window.frame().x, 300);
        EXPECT_EQ(window.frame().y, 200);
    });
    run(events);
}

TEST_F(GtkBackendTest, ModalDialogBlocksItsOwner)
{
    ScriptedEvents inner([](GtkDialogWindow& window) {
        GtkWindow* owner = gtk_window_get_transient_for(window.gtkWindow());
        ASSERT_NE(owner, nullptr);
        EXPECT_TRUE(gtk_window_get_modal(window.gtkWindow()));
        // Keys and clicks aimed at the owner do not reach it.
        GtkWidget* ownerOk = findWidget(GTK_WIDGET(owner), GTK_TYPE_BUTTON, [](GtkWidget* button) {
            return g_strcmp0(gtk_button_get_label(GTK_BUTTON(button)), "OK") == 0;
        });
        ASSERT_NE(ownerOk, nullptr);
        click(ownerOk);
        click(closeBox(owner));
        pressKey(GTK_WIDGET(owner), GDK_KEY_Escape);
    }, [](GtkDialogWindow& window) { window.moveTo(500, 500); });
    ScriptedEvents outer([&](GtkDialogWindow& window) {
        EXPECT_EQ(backend.runModal(tmpl, &window, inner), fw::kIdCancel);
        EXPECT_TRUE(gtk_widget_get_sensitive(GTK_WIDGET(window.gtkWindow())));
    });
    EXPECT_EQ(run(outer), 0);
    EXPECT_TRUE(outer.log.empty()) << outer.log.front();
    EXPECT_EQ(inner.log, (std::vector<std::string>{"escape"})) << "the owner's Escape went to the modal dialog";
}

TEST_F(GtkBackendTest, MessageBoxLooksLikeTheDialogsAndReportsTheButton)
{
    ScriptedEvents events([&](GtkDialogWindow& window) {
        struct Seen {
            GtkWidget* box = nullptr;
            std::string title, layout, textFont, focused;
            GtkMessageType type = GTK_MESSAGE_OTHER;
            bool resizable = true, selectable = false;
            GdkWindowTypeHint hint = GDK_WINDOW_TYPE_HINT_NORMAL;
        } seen;
        guint timer = g_timeout_add(50, [](gpointer data) -> gboolean {
            auto* seen = static_cast<Seen*>(data);
            seen->box = shownToplevel(GTK_TYPE_MESSAGE_DIALOG);
            if (!seen->box)
                return G_SOURCE_CONTINUE;
            GtkWindow* box = GTK_WINDOW(seen->box);
            seen->title = gtk_window_get_title(box);
            g_object_get(box, "message-type", &seen->type, NULL);
            seen->resizable = gtk_window_get_resizable(box);
            seen->hint = gtk_window_get_type_hint(box);
            // Its own title bar with a close box alone, as the dialogs have; a window manager adds none.
            if (GtkWidget* bar = gtk_window_get_titlebar(box); GTK_IS_HEADER_BAR(bar))
                seen->layout = gtk_header_bar_get_decoration_layout(GTK_HEADER_BAR(bar));
            GtkWidget* text = findWidget(seen->box, GTK_TYPE_LABEL, [](GtkWidget* label) {
                return g_strcmp0(gtk_label_get_text(GTK_LABEL(label)), "Could not write the page.") == 0;
            });
            seen->selectable = text && gtk_label_get_selectable(GTK_LABEL(text));
            seen->textFont = text ? fontOf(text) : "";
            GtkWidget* focus = gtk_window_get_focus(box);
            seen->focused = GTK_IS_BUTTON(focus) ? gtk_button_get_label(GTK_BUTTON(focus)) : "";
            pressKey(seen->box, GDK_KEY_Escape);
            return G_SOURCE_REMOVE;
        }, &seen);
        int result = backend.messageBox(&window, "Could not write the page.", "tavrin", fw::MbButtons::OkCancel,
                                        fw::MbIcon::Exclamation);
        EXPECT_EQ(result, fw::kIdCancel);
        EXPECT_EQ(seen.title, "tavrin");
        EXPECT_EQ(seen.type, GTK_MESSAGE_WARNING);
        EXPECT_FALSE(seen.resizable);
        EXPECT_EQ(seen.hint, GDK_WINDOW_TYPE_HINT_DIALOG);
        EXPECT_EQ(seen.layout, ":close");
        EXPECT_TRUE(seen.selectable) << "the message can be selected and copied";
        EXPECT_EQ(seen.textFont, fontOf(controlWidget(window, kFirst))) << "the dialogs' font";
        EXPECT_EQ(seen.focused, "_OK");
        (void)timer;
    });
    run(events);
}

// How many light pixels `button` draws inside the blue box of its mark: a ticked or selected mark of Adwaita is
// light on blue, in the light theme and the dark one.
int lightPixelsInsideBlue(GtkWidget* button)
{
    int width = gtk_widget_get_allocated_width(button);
    int height = gtk_widget_get_allocated_height(button);
    const std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height), cairo_surface_destroy);
    {
        const std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()), cairo_destroy);
        gtk_widget_draw(button, cr.get());
    }
    cairo_surface_flush(surface.get());
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    int stride = cairo_image_surface_get_stride(surface.get());
    auto pixel = [&](int x, int y) { return reinterpret_cast<const guint32*>(data + y * stride)[x]; };
    auto channel = [](guint32 p, int shift) { return static_cast<int>((p >> shift) & 0xff); };
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            guint32 p = pixel(x, y);
            if (channel(p, 0) > 150 && channel(p, 0) > channel(p, 16) + 60) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
    }
    int light = 0;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            guint32 p = pixel(x, y);
            light += channel(p, 16) > 200 && channel(p, 8) > 200 && channel(p, 0) > 200;
        }
    }
    return light;
}

// Whether `widget` draws its text light, as the dark theme does, once its style follows the theme.
bool drawsLightOnDark(GtkWidget* widget)
{
    GtkStyleContext* style = gtk_widget_get_style_context(widget);
    GdkRGBA color;
    gtk_style_context_get_color(style, gtk_style_context_get_state(style), &color);
    return color.red + color.green + color.blue > 1.5;
}

TEST_F(GtkBackendTest, TickedAndSelectedMarksAreLightOnBlueInBothAdwaitaThemes)
{
    GtkSettings* settings = gtk_settings_get_default();
    g_object_set(settings, "gtk-enable-animations", FALSE, nullptr);
    ScriptedEvents events([settings](GtkDialogWindow& window) {
        window.setCheckState(kTick, 1);
        window.setCheckState(kFirst, 1);
        for (bool dark : {false, true}) {
            SCOPED_TRACE(dark ? "dark" : "light");
            g_object_set(settings, "gtk-application-prefer-dark-theme", gboolean(dark), nullptr);
            EXPECT_SOON(drawsLightOnDark(placedWidget(window, kTick)) == dark);
            EXPECT_GE(lightPixelsInsideBlue(placedWidget(window, kTick)), 10);
            EXPECT_GE(lightPixelsInsideBlue(placedWidget(window, kFirst)), 4);
        }
        g_object_set(settings, "gtk-application-prefer-dark-theme", FALSE, nullptr);
        click(controlWidget(window, fw::kIdOk));
    });
    run(events);
    g_object_set(settings, "gtk-enable-animations", TRUE, nullptr);
}

TEST(AdwaitaMarks, ArePngOnlyWhileTheThemeIsAdwaita)
{
    GtkSettings* settings = gtk_settings_get_default();
    AdwaitaMarks marks;
    EXPECT_TRUE(marks.inUse()) << "Adwaita at scale 1";
    g_object_set(settings, "gtk-theme-name", "HighContrast", nullptr);
    EXPECT_FALSE(marks.inUse());
    g_object_set(settings, "gtk-theme-name", "Adwaita-dark", nullptr);
    EXPECT_TRUE(marks.inUse());
    g_object_set(settings, "gtk-theme-name", "Adwaita", nullptr);
}

TEST_F(GtkBackendTest, WorkAreaIsTheScreen)
{
    fw::PixelRect area = backend.workArea();
    EXPECT_GT(area.cx, 0);
    EXPECT_GT(area.cy, 0);
    EXPECT_TRUE(backend.startSockets());
}

}  // namespace
}  // namespace tavrin::fw::gtk::test

int main(int argc, char** argv)
{
    return tavrin::fw::gtk::test::runTestsOnDisplay(argc, argv);
}
