// tavrin-cli: generates the pop-up script from options, for scripts and tests.
#include "generator/PopupSettings.h"
#include "generator/ScriptGenerator.h"
#include "generator/TestPageWriter.h"
#include "res/Product.h"

#ifndef _WIN32
#include "gio/OpenFile.h"
#endif

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <map>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

enum class PrintWhat { All, Functions, Loader, Instruction };

// Writes bytes to standard output exactly as they are.
void writeRaw(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    using tavrin::PopupPlacement;
    using tavrin::PopupTrigger;

    tavrin::PopupSettings s = tavrin::PopupSettings::defaults();

    CLI::App app{"Generates the HTML/JavaScript for a pop-up window, as the Tavrin desktop program does.\n"
                 "Every option left out keeps the value the desktop program starts with.",
                 "tavrin-cli"};
    app.option_defaults()->always_capture_default();
    app.set_version_flag("--version", "tavrin-cli " TAVRIN_VERSION, "Print the program's name and version and exit");
    app.add_option("--url", s.pageUrl, "Address of the page shown in the pop-up");
    app.add_option("--name", s.windowName, "Window name (blanks are removed); also the cookie's name");
    app.add_option("--width", s.width, "Window width, as typed");
    app.add_option("--height", s.height, "Window height, as typed");
    app.add_option("--left", s.left, "Horizontal screen position, as typed");
    app.add_option("--top", s.top, "Vertical screen position, as typed");
    app.add_option("--days", s.days, "Days before the pop-up may show again (empty or 0: no cookie)");

    for (const tavrin::WindowFeature& f : tavrin::kWindowFeatures) {
        app.add_flag_callback("--" + std::string(f.option), [&s, flag = f.flag] { s.*flag = 1; },
                              std::string(f.description));
    }
    app.add_flag_callback("--center", [&s] { s.centre = 1; }, "Center tick box (changes no output)");

    // Choices are typed as words and looked up after parsing.
    const std::map<std::string, PopupTrigger> triggers{
        {"load", PopupTrigger::OnLoad}, {"close", PopupTrigger::OnClose}, {"button", PopupTrigger::OnButton}};
    const std::map<std::string, PopupPlacement> placements{{"over", PopupPlacement::Over},
                                                            {"under", PopupPlacement::Under}};
    const std::map<std::string, PrintWhat> prints{
        {"functions", PrintWhat::Functions}, {"loader", PrintWhat::Loader}, {"instruction", PrintWhat::Instruction}};
    std::string trigger = "load";
    std::string placement = "over";
    std::string print;
    app.add_option("--trigger", trigger, "When the pop-up opens")->check(CLI::IsMember(triggers));
    app.add_option("--placement", placement, "Pop over or under the page")->check(CLI::IsMember(placements));
    app.add_option("--print", print, "Write only this text, byte for byte")->check(CLI::IsMember(prints));

    std::string pagePath;
    auto* pageOption = app.add_option("--page", pagePath,
                                      "Write the test page for these settings to this file (as Test Popup writes "
                                      "tvtest.htm); nothing else is printed unless --print is given");
#ifndef _WIN32
    bool open = false;
    app.add_flag("--open", open, "Open the written test page in the default browser")->needs(pageOption);
#endif

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {  // --help or --version
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "tavrin-cli: " << e.what() << " (see --help)\n";
        return 2;
    }
    s.trigger = triggers.at(trigger);
    s.placement = placements.at(placement);

    const tavrin::GeneratedScript out = tavrin::ScriptGenerator::generate(s);
    if (!pagePath.empty()) {
        const tavrin::TestPageWriter writer{pagePath};
        std::error_code error;
        if (!writer.writePage(tavrin::TestPageWriter::composePage(out, *s.trigger), error)) {
            std::cerr << "tavrin-cli: cannot write the test page " << pagePath << ": " << error.message() << "\n";
            return 1;
        }
#ifndef _WIN32
        std::string why;
        const auto openPage = [&why](const std::string& page) {
            return tavrin::gio::openWithDefaultApplication(page, &why);
        };
        if (open && !writer.openPage(openPage)) {
            std::cerr << "tavrin-cli: no application could open " << writer.absolutePath() << ": " << why << "\n";
            return 1;
        }
#endif
        if (print.empty())
            return 0;
    }
    switch (print.empty() ? PrintWhat::All : prints.at(print)) {
    case PrintWhat::Functions: writeRaw(out.functionsText); break;
    case PrintWhat::Loader: writeRaw(out.loaderText); break;
    case PrintWhat::Instruction: writeRaw(out.instructionText); break;
    case PrintWhat::All:
        writeRaw("Loader attribute (" + out.instructionText + "):\n" + out.loaderText +
                 "\n\nJavaScript functions (paste just above </head>):\n" + out.functionsText);
        break;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
