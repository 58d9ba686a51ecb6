#pragma once
// The seam through which a written test page is shown to the author.
//
// Each platform implements it once: the Windows shell's "open" verb, the
// desktop's default application for HTML on Linux; tests use a recording
// fake. `open` gets the page's path as the writer holds it (relative paths
// are taken from the current directory).

#include <string>

namespace tavrin {

// Shows a file in the application the desktop associates with it.
class PageOpener {
public:
    virtual ~PageOpener() = default;
    // True when the platform could start an application for `file`.
    virtual bool open(const std::string& file) = 0;
};

}  // namespace tavrin
