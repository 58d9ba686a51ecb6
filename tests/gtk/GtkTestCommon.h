#pragma once
// What both GTK test programs share: the check that a dialog's controls sit
// at their template rectangles, and a main that needs a display.

#include "GtkTestSupport.h"

#include "framework/backends/gtk/GtkBackend.h"

#include <gtest/gtest.h>

#include <cstdio>

// Checks that wait for what they check: GTK runs, and the condition or the value is read again, until it holds
// or a generous deadline passes; the failure then says what never happened or what the value was.
#define EXPECT_SOON(condition) \
    EXPECT_TRUE(::tavrin::fw::gtk::test::waitFor([&] { return bool(condition); })) << #condition " never held"
#define ASSERT_SOON(condition) \
    ASSERT_TRUE(::tavrin::fw::gtk::test::waitFor([&] { return bool(condition); })) << #condition " never held"
#define EXPECT_SOON_EQ(actual, expected) \
    EXPECT_EQ((::tavrin::fw::gtk::test::waitFor([&] { return (actual) == (expected); }), (actual)), expected)

namespace tavrin::fw::gtk::test {

// Every control of `tmpl` within a pixel of its dialog-unit rectangle; the
// client area the template's size. Liberation Sans gives 6 x 13 base units.
inline void expectTemplateLayout(GtkDialogWindow& window, const fw::DialogTemplate& tmpl)
{
    const DialogFont font = dialogFont(tmpl.fontName, tmpl.fontPoints);
    if (font.family == "Liberation Sans") {
        EXPECT_EQ(font.baseX, 6);
        EXPECT_EQ(font.baseY, 13);
    }
    // The controls in template order, as placed in the client area.
    GtkWidget* fixed = gtk_bin_get_child(GTK_BIN(window.gtkWindow()));
    GList* placed = gtk_container_get_children(GTK_CONTAINER(fixed));
    ASSERT_EQ(g_list_length(placed), tmpl.controls.size());
    GtkAllocation client;
    gtk_widget_get_allocation(fixed, &client);
    EXPECT_NEAR(client.width, font.toPixelsX(tmpl.cx), 1);
    EXPECT_NEAR(client.height, font.toPixelsY(tmpl.cy), 1);
    for (std::size_t i = 0; i < tmpl.controls.size(); ++i) {
        const fw::ControlTemplate& c = tmpl.controls[i];
        SCOPED_TRACE("control " + std::to_string(c.id) + " \"" + c.caption + "\"");
        GtkAllocation a;
        gtk_widget_get_allocation(GTK_WIDGET(g_list_nth_data(placed, static_cast<guint>(i))), &a);
        EXPECT_NEAR(a.x - client.x, font.toPixelsX(c.rect.x), 1);
        EXPECT_NEAR(a.y - client.y, font.toPixelsY(c.rect.y), 1);
        if (c.kind == fw::ControlKind::Icon)
            continue;  // icons show at their picture's size
        EXPECT_NEAR(a.width, font.toPixelsX(c.rect.cx), 1);
        // A combo box's rectangle includes its dropped list; the field itself is one line tall.
        int height = c.kind == fw::ControlKind::ComboBox ? font.baseY + 8 : font.toPixelsY(c.rect.cy);
        EXPECT_NEAR(a.height, height, 1);
    }
    g_list_free(placed);
}

inline int runTestsOnDisplay(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!initToolkit(argc, argv)) {
        std::fprintf(stderr, "%s: no display; run it under scripts/with-xvfb.sh\n", argv[0]);
        return 1;
    }
    return RUN_ALL_TESTS();
}

}  // namespace tavrin::fw::gtk::test
