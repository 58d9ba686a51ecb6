#pragma once
// Opens a page with the desktop's default application for it, through GIO.
//
//   tavrin::GioPageOpener opener;
//   bool started = opener.open("tvtest.htm");
//
// The file is handed over as the file:// URI of its absolute path.

#include "generator/PageOpener.h"

#include <string>

namespace tavrin {

// The Linux page opener: GIO's default application for the file's type.
class GioPageOpener : public PageOpener {
public:
    bool open(const std::string& file) override;
    // Why the last open failed, as GIO put it; empty after a success.
    const std::string& lastError() const { return lastError_; }

private:
    std::string lastError_;
};

}  // namespace tavrin
