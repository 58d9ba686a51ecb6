// The main dialog's picture while minimised: its icon, centred with the
// system's icon size, on platforms that leave that painting to the program.

#include "res/Resources.h"
#include "ui/CGeneratorDlg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrin::ui {
namespace {

// Records the drawing calls of one paint.
class RecordingPaint final : public fw::PaintContext {
public:
    RecordingPaint(bool minimised, int width, int height) : minimised_(minimised), width_(width), height_(height) {}

    std::vector<std::string> calls;

    bool isMinimised() const override { return minimised_; }
    int clientWidth() const override { return width_; }
    int clientHeight() const override { return height_; }
    int iconWidth() const override { return 32; }
    int iconHeight() const override { return 32; }
    void eraseIconBackground() override { calls.push_back("erase"); }
    void drawIcon(int iconId, int x, int y) override
    {
        calls.push_back("icon " + std::to_string(iconId) + " at " + std::to_string(x) + "," + std::to_string(y));
    }

private:
    bool minimised_;
    int width_;
    int height_;
};

std::vector<std::string> paint(bool minimised, int width, int height)
{
    CGeneratorDlg dlg;
    RecordingPaint dc(minimised, width, height);
    static_cast<fw::WindowEvents&>(dlg).onPaintRequest(dc);
    return dc.calls;
}

TEST(MinimisedIcon, IsDrawnCentredAfterTheBackgroundIsErased)
{
    EXPECT_EQ(paint(true, 300, 200), (std::vector<std::string>{"erase", "icon 128 at 134,84"}));
    EXPECT_EQ(paint(true, 33, 32), (std::vector<std::string>{"erase", "icon 128 at 1,0"}));
}

TEST(MinimisedIcon, AClientSmallerThanTheIconRoundsTowardZero)
{
    EXPECT_EQ(paint(true, 10, 1), (std::vector<std::string>{"erase", "icon 128 at -10,-15"}));
}

TEST(MinimisedIcon, AWindowThatIsNotMinimisedPaintsAsUsual)
{
    EXPECT_TRUE(paint(false, 300, 200).empty());
}

TEST(MinimisedIcon, DraggingShowsTheIcon)
{
    CGeneratorDlg dlg;
    EXPECT_EQ(static_cast<fw::WindowEvents&>(dlg).onDragIconRequest(), res::kAppIcon);
}

}  // namespace
}  // namespace tavrin::ui
