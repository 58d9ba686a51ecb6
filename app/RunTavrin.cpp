#include "app/RunTavrin.h"

#include "ui/CGeneratorApp.h"

namespace tavrin {

int runTavrin(fw::Backend& backend, const char* argv0)
{
    return ui::theApp.run(backend, argv0);
}

}  // namespace tavrin
