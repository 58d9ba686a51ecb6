#include "generator/TestPageCommand.h"

#include "generator/ScriptGenerator.h"
#include "generator/TestPageWriter.h"

namespace tavrin {

std::string openErrorText(const std::string& absolutePath)
{
    return "No program could be started to show the test page. Open this file in your browser:\n" +
           absolutePath;
}

TestPageOutcome runTestPage(PopupSettings& settings, const std::filesystem::path& page, PageOpener& opener,
                            TestPageUi& ui)
{
    const GeneratedScript script = ScriptGenerator::generate(settings);
    const TestPageWriter writer(page);
    if (!writer.writePage(TestPageWriter::composePage(script, settings.trigger.value_or(PopupTrigger::OnLoad)))) {
        ui.showMessage(kSaveErrorText, kSaveErrorCaption);
        return TestPageOutcome::NotSaved;
    }
    if (!writer.openPage(opener)) {
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(page, ec);
        ui.showMessage(openErrorText((ec ? page : absolute).string()), kOpenErrorCaption);
        return TestPageOutcome::NotOpened;
    }
    return TestPageOutcome::Opened;
}

}  // namespace tavrin
