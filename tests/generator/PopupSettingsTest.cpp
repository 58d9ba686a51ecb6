#include "generator/PopupSettings.h"

#include <gtest/gtest.h>

#include <string>

using namespace tavrin;

TEST(PopupSettings, ConstructionIsEmptyWithNoRadioSelection)
{
    const PopupSettings s;
    for (const std::string* text : {&s.height, &s.windowName, &s.pageUrl, &s.width, &s.left, &s.top, &s.days})
        EXPECT_TRUE(text->empty());
    for (std::int32_t flag : {s.centre, s.directories, s.location, s.menuBar, s.resizable, s.scrollBars,
                              s.statusBar, s.toolbar})
        EXPECT_EQ(flag, 0);
    EXPECT_FALSE(s.trigger.has_value());
    EXPECT_FALSE(s.placement.has_value());
}

TEST(PopupSettings, DefaultsAreWhatTheMainDialogShowsFirst)
{
    const PopupSettings s = PopupSettings::defaults();
    EXPECT_EQ(s.height, "200");
    EXPECT_EQ(s.width, "200");
    EXPECT_EQ(s.windowName, "PopUp");
    EXPECT_EQ(s.pageUrl, "http://www.tavrin.example/tavrin/demo.htm");
    EXPECT_EQ(s.left, "");
    EXPECT_EQ(s.top, "");
    EXPECT_EQ(s.days, "");
    EXPECT_EQ(s.trigger, PopupTrigger::OnLoad);
    EXPECT_EQ(s.placement, PopupPlacement::Over);
    EXPECT_EQ(s.centre + s.directories + s.location + s.menuBar + s.resizable + s.scrollBars + s.statusBar +
                  s.toolbar,
              0);
}

TEST(ReadNumber, FollowsAtoi)
{
    EXPECT_EQ(readNumber(""), 0);
    EXPECT_EQ(readNumber("0"), 0);
    EXPECT_EQ(readNumber("px"), 0);
    EXPECT_EQ(readNumber("-3"), -3);
    EXPECT_EQ(readNumber("+8"), 8);
    EXPECT_EQ(readNumber(" 12px"), 12);
    EXPECT_EQ(readNumber("\t\n\v\f\r 42"), 42);
    EXPECT_EQ(readNumber("7 days"), 7);
    EXPECT_EQ(readNumber("- 7"), 0);
    EXPECT_EQ(readNumber("+-7"), 0);
    EXPECT_EQ(readNumber("0012"), 12);
    EXPECT_EQ(readNumber(std::string("5\0" "9", 3)), 5);
    EXPECT_EQ(readNumber(std::string("\0" "9", 2)), 0);
}

TEST(ReadNumber, SaturatesInsteadOfOverflowing)
{
    EXPECT_EQ(readNumber("2147483647"), 2147483647);
    EXPECT_EQ(readNumber("2147483648"), 2147483647);
    EXPECT_EQ(readNumber("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(readNumber("-2147483649"), -2147483647 - 1);
    EXPECT_EQ(readNumber(std::string(100000, '9')), 2147483647);
    EXPECT_EQ(readNumber("-" + std::string(100000, '9')), -2147483647 - 1);
    EXPECT_EQ(readNumber(std::string(5000, '0') + "1"), 1);
}
