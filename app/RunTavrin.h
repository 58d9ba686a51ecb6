#pragma once
// The one place a program entry hands its back end to Tavrin:
//
//   int main(int, char** argv) { GtkBackend backend; return tavrin::runTavrin(backend, argv[0]); }
//
// Each platform's `main` picks its back end and calls this; tests pass the
// in-memory back end.

#include "framework/Backend.h"

namespace tavrin {

// Runs the application on `backend`; `argv0` names the program file.
int runTavrin(fw::Backend& backend, const char* argv0);

}  // namespace tavrin
