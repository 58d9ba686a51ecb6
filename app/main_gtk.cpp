// tavrin, the Linux desktop program: Tavrin's dialogs on the GTK 3 back end.

#include "app/RunTavrin.h"
#include "framework/backends/gtk/GtkBackend.h"
#include "res/Product.h"
#include "res/Resources.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>

// Icon 128's pictures, as the XPM sources the Windows icon is made from.
#include "res/icon/tavrin-16.xpm"
#include "res/icon/tavrin-32.xpm"

int main(int argc, char** argv)
{
    // GTK's options first; what is left is ours: --help and --version, and
    // nothing else, so a mistyped option is told rather than ignored.
    tavrin::fw::gtk::takeToolkitArguments(argc, argv);
    CLI::App app{"Makes ready-to-paste HTML and JavaScript for a pop-up browser window, in one dialog.\n"
                 "It takes the GTK options (--display and others) and these:",
                 "tavrin"};
    app.set_version_flag("--version", "tavrin " TAVRIN_VERSION, "Print the program's name and version and exit");
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {  // --help or --version
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "tavrin: " << e.what() << " (see --help)\n";
        return 2;
    }

    if (!tavrin::fw::gtk::initToolkit(argc, argv)) {
        std::fprintf(stderr,
                     "tavrin: cannot open a display; start it from a desktop session, or try it with "
                     "'xvfb-run -a %s'\n",
                     argv[0]);
        return 1;
    }
    tavrin::fw::gtk::GtkBackend backend;
    backend.addIcon(tavrin::res::kAppIcon, tavrin_32);
    backend.addIcon(tavrin::res::kAppIcon, tavrin_16);
    return tavrin::runTavrin(backend, argv[0]);
}
