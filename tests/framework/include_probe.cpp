// Built only by the test layers_kept_by_the_build. This program links the
// dialogs alone, so the dialogs' own header must compile and the platform's
// back end must be out of reach: the build is meant to fail on the second
// include.
#include "ui/CGeneratorDlg.h"
#ifdef _WIN32
#include "framework/backends/win32/Win32Backend.h"
#else
#include "framework/backends/gtk/GtkBackend.h"
#endif

int main()
{
    return 0;
}
