// tavrin, the Linux desktop program: Tavrin's dialogs on the GTK 3 back end.

#include "app/RunTavrin.h"
#include "framework/backends/gtk/GtkBackend.h"
#include "res/Resources.h"

#include <cstdio>

// Icon 128's pictures, as the XPM sources the Windows icon is made from.
#include "res/icon/tavrin-16.xpm"
#include "res/icon/tavrin-32.xpm"

int main(int argc, char** argv)
{
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
