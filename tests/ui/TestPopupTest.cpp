// "Test Popup" from the main dialog: the page written in the current
// directory, opened through the back end, and each failure told.

#include "res/Resources.h"
#include "support/FakeBackend.h"
#include "ui/CGeneratorApp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using namespace res;

// Makes a new empty directory the current one for the test, and removes it
// after. Its name is not ASCII, as a user's own folders may not be.
class InScratchDirectory {
public:
    InScratchDirectory() : previous_(fs::current_path())
    {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
            fs::path candidate = fs::temp_directory_path() / fs::path(u8"tavrin-тест-");
            candidate += std::to_string(random());
            std::error_code ec;
            if (fs::create_directory(candidate, ec))
                dir_ = candidate;
        }
        if (dir_.empty()) {
            ADD_FAILURE() << "no scratch directory could be made";
            return;
        }
        fs::current_path(dir_);
    }
    ~InScratchDirectory()
    {
        if (dir_.empty())
            return;
        fs::current_path(previous_);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    InScratchDirectory(const InScratchDirectory&) = delete;
    InScratchDirectory& operator=(const InScratchDirectory&) = delete;
    const fs::path& path() const { return dir_; }

private:
    fs::path previous_;
    fs::path dir_;
};

std::string readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TestPopupTest : public ::testing::Test {
protected:
    // Types a name with blanks, presses "Test Popup", checks the Name box, quits.
    void testPopup()
    {
        ui.script()
            .type(kName, "Big Sale")
            .click(kOnClose)
            .click(kTestPopup)
            .then([](FakeBackend& u) {
                EXPECT_THAT(u.openDialogs(), ElementsAre(102));
                EXPECT_EQ(u.text(kName), "BigSale");
            })
            .click(kQuit);
        ui::theApp.run(ui, "tavrin");
        EXPECT_THAT(ui.errors(), IsEmpty());
    }

    InScratchDirectory scratch;
    FakeBackend ui;
};

TEST_F(TestPopupTest, WritesThePageInTheCurrentDirectoryAndOpensIt)
{
    testPopup();
    EXPECT_THAT(ui.opened, ElementsAre("tvtest.htm"));
    const std::string page = readFile(scratch.path() / "tvtest.htm");
    EXPECT_THAT(page, HasSubstr("BigSale"));
    EXPECT_THAT(page, HasSubstr("onUnload"));
    EXPECT_THAT(ui.messageBoxes, IsEmpty());
}

TEST_F(TestPopupTest, APageThatCannotBeWrittenIsToldAndNotOpened)
{
    fs::create_directory(scratch.path() / "tvtest.htm");
    testPopup();
    EXPECT_THAT(ui.opened, IsEmpty());
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    const ShownMessageBox& box = ui.messageBoxes[0];
    // The program's text, then the page's full path and the system's reason.
    const std::u8string page = (fs::current_path() / "tvtest.htm").u8string();
    const std::string told = "Error Saving Test File\n\n" + std::string(page.begin(), page.end()) + "\n";
    EXPECT_EQ(box.text.substr(0, told.size()), told);
    EXPECT_GT(box.text.size(), told.size() + 3) << "no reason given";
    EXPECT_EQ(box.caption, "Save Test");
    EXPECT_EQ(box.ownerTemplateId, 102);
    EXPECT_EQ(box.buttons, fw::MbButtons::Ok);
    EXPECT_EQ(box.icon, fw::MbIcon::None);
    EXPECT_TRUE(fs::is_directory(scratch.path() / "tvtest.htm"));
}

TEST_F(TestPopupTest, APageNoApplicationCouldOpenIsToldWithItsFullPath)
{
    ui.openFails = true;
    testPopup();
    EXPECT_TRUE(fs::exists(scratch.path() / "tvtest.htm"));
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    const std::u8string page = (fs::current_path() / "tvtest.htm").u8string();
    EXPECT_EQ(ui.messageBoxes[0].text,
              "No program could be started to show the test page. Open this file in your browser:\n" +
                  std::string(page.begin(), page.end()));
    EXPECT_EQ(ui.messageBoxes[0].caption, "Test Popup");
    EXPECT_EQ(ui.messageBoxes[0].ownerTemplateId, 102);
}

}  // namespace
}  // namespace tavrin::test
