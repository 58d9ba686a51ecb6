// The dialog templates and strings Tavrin runs on: ids, tab order, sizes and texts.

#include "res/Product.h"
#include "res/Resources.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace tavrin::test {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;
using namespace res;

// Ids of a template, in template order, without the controls that have none.
std::vector<int> idsOf(const fw::DialogTemplate& t, bool tabStopsOnly)
{
    std::vector<int> ids;
    for (const fw::ControlTemplate& c : t.controls) {
        if (c.id != fw::kNoId && (!tabStopsOnly || c.tabStop))
            ids.push_back(c.id);
    }
    return ids;
}

TEST(Templates, ControlIdsAreUniqueWithinEachDialog)
{
    for (const fw::DialogTemplate* t : {&res::mainTemplate(), &res::aboutTemplate(), &res::resultsTemplate()}) {
        const std::vector<int> ids = idsOf(*t, false);
        EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), ids.size()) << t->id;
    }
}

TEST(Templates, MainDialogHasItsTabOrderSizesAndTexts)
{
    const fw::DialogTemplate& t = res::mainTemplate();
    EXPECT_EQ(t.id, 102);
    EXPECT_EQ(t.caption, "Tavrin");
    EXPECT_EQ(t.cx, 320);
    EXPECT_EQ(t.cy, 169);
    EXPECT_TRUE(t.appWindow);
    EXPECT_TRUE(t.systemMenu);
    EXPECT_THAT(idsOf(t, true),
                ElementsAre(kName, kUrl, kOnLoad, kOnClose, kOnButton, kPopOver, kPopUnder, kDirectories, kMenuBar,
                            kLocation, kResizable, kScrollBars, kStatusBar, kToolbar, kHeight, kWidth, kLeft, kTop,
                            kCenter, kDays, kQuit, kCreatePopup, kTestPopup, kHelpButton));
    EXPECT_EQ(t.control(kName)->rect.cx, 128);
    EXPECT_EQ(t.control(kUrl)->rect.cx, 128);
    EXPECT_EQ(t.control(kDays)->rect.cy, 150);
    EXPECT_FALSE(t.control(kDays)->autoHScroll);
    EXPECT_EQ(t.control(kFooter)->rect.cx, 270);
    EXPECT_EQ(t.control(kFooter)->rect.cy, 8);
    EXPECT_THAT(t.control(kFooter)->caption, StartsWith("Tavrin - v" TAVRIN_FOOTER_VERSION " - Popup Creator"));
    EXPECT_TRUE(t.control(kQuit)->defaultButton);
    for (int radio : {kOnLoad, kOnClose, kOnButton, kPopOver, kPopUnder})
        EXPECT_TRUE(t.control(radio)->group) << radio;
    std::vector<std::string> frames;
    for (const fw::ControlTemplate& c : t.controls) {
        if (c.kind == fw::ControlKind::GroupBox)
            frames.push_back(c.caption);
    }
    EXPECT_THAT(frames, ElementsAre("When to PopUp:", "Where to PopUp", "Popup Feartures:", "Popup Size:",
                                    "Popup Position:", "Show Again?"));
    ASSERT_EQ(t.listInit.size(), 1u);
    EXPECT_EQ(t.listInit[0].controlId, kDays);
    ASSERT_EQ(t.listInit[0].items.size(), 365u);
    for (std::size_t i = 0; i < 365; ++i)
        EXPECT_EQ(t.listInit[0].items[i], std::to_string(i + 1));
}

TEST(Templates, GroupBoxesHoldTheControlsInsideThemAndTheirRadioSets)
{
    const fw::DialogTemplate& t = res::mainTemplate();
    auto boxOf = [&](int id) {
        const fw::ControlTemplate* box = fw::groupBoxOf(t, *t.control(id));
        return box ? box->caption : "<none>";
    };
    auto setOf = [&](int id) {
        std::vector<int> ids;
        for (const fw::ControlTemplate* radio : fw::radioSetOf(t, *t.control(id)))
            ids.push_back(radio->id);
        return ids;
    };
    EXPECT_EQ(boxOf(kLeft), "Popup Position:");
    EXPECT_EQ(boxOf(kTop), "Popup Position:");
    EXPECT_EQ(boxOf(kOnClose), "When to PopUp:");
    EXPECT_EQ(boxOf(kName), "<none>");
    EXPECT_THAT(setOf(kOnClose), ElementsAre(kOnLoad, kOnClose, kOnButton));
    EXPECT_THAT(setOf(kPopUnder), ElementsAre(kPopOver, kPopUnder));
}

TEST(Templates, AboutBoxAndStrings)
{
    const fw::DialogTemplate& t = res::aboutTemplate();
    EXPECT_EQ(t.id, 100);
    EXPECT_EQ(t.caption, "About Tavrin");
    EXPECT_EQ(t.cx, 235);
    EXPECT_EQ(t.cy, 55);
    ASSERT_EQ(t.controls.size(), 4u);
    EXPECT_EQ(t.controls[0].kind, fw::ControlKind::Icon);
    EXPECT_EQ(t.controls[0].iconId, 128);
    EXPECT_EQ(t.controls[1].caption, "Tavrin Version " TAVRIN_VERSION);
    EXPECT_EQ(t.controls[2].rect.cx, 163);
    EXPECT_TRUE(t.control(kAboutOk)->defaultButton);
    EXPECT_EQ(res::strings().at(101), "&About Tavrin...");
    EXPECT_EQ(res::strings().at(103), "Windows sockets initialization failed.");
}

TEST(ResultsTemplate, HasTheCaptionsSizesAndTabOrderOfTheResultsDialog)
{
    const fw::DialogTemplate& t = res::resultsTemplate();
    EXPECT_EQ(t.id, 131);
    EXPECT_EQ(t.caption, "Results");
    EXPECT_EQ(t.cx, 279);
    EXPECT_EQ(t.cy, 193);
    EXPECT_EQ(t.fontName, "MS Sans Serif");
    EXPECT_EQ(t.fontPoints, 8);
    EXPECT_THAT(idsOf(t, true), ElementsAre(kReturn, kFunctionsBox, kLoaderBox, kCopyLoader, kCopyFunctions));
    EXPECT_TRUE(t.control(kReturn)->defaultButton);
    EXPECT_EQ(t.control(kFunctionsBox)->rect.cx, 257);
    EXPECT_EQ(t.control(kFunctionsBox)->rect.cy, 65);
    EXPECT_EQ(t.control(kLoaderBox)->rect.cy, 28);
    for (int box : {kFunctionsBox, kLoaderBox}) {
        const fw::ControlTemplate& c = *t.control(box);
        EXPECT_TRUE(c.readOnly && c.multiLine && c.vScroll && c.wrap) << box;
    }
    EXPECT_EQ(t.control(kInstructionLine)->caption, "Paste this code into your body tag just before it closes with >");
}

}  // namespace
}  // namespace tavrin::test
