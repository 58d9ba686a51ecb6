// tavrin.html, Tavrin in the browser: its dialogs on the web back end.

#include "app/RunTavrin.h"
#include "framework/backends/web/WebBackend.h"
#include "res/Resources.h"

// Icon 128's pictures, as the XPM sources the Windows icon is made from.
#include "res/icon/tavrin-16.xpm"
#include "res/icon/tavrin-32.xpm"

int main()
{
    tavrin::fw::web::WebBackend backend;
    backend.addIcon(tavrin::res::kAppIcon, tavrin_32);
    backend.addIcon(tavrin::res::kAppIcon, tavrin_16);
    const int status = tavrin::runTavrin(backend, "tavrin");
    backend.programEnded();
    return status;
}
