#pragma once
// The few file steps the test page writer takes, each on the platform's own
// call: paths are UTF-8 strings (made wide for Windows), and a failure
// leaves its reason in errno.
//
// This is the one file of the generator that calls the platform; the rest
// uses the standard library alone.

#include <cstdio>
#include <string>

namespace tavrin::pagefile {

// Creates a new file for writing in binary; fails (errno EEXIST) when
// anything, a link included, already has the name, so nothing is written
// through a link. nullptr on failure.
std::FILE* createNew(const std::string& path);

// Renames `from` over `to`, replacing what `to` names (a link itself, never
// its target) in one step; on Windows the move is written through to disk
// before it returns. A file at `to` that its permissions protect from
// writing is kept (errno EACCES), for root too, as writing into it would
// fail; one that may be written keeps its permissions in the new file.
bool replace(const std::string& from, const std::string& to);

// Removes the file `path`, if it can.
void remove(const std::string& path);

// `path` made absolute from the current directory; `path` itself when that
// fails.
std::string absolute(const std::string& path);

// The characters that end a folder in a path.
#ifdef _WIN32
inline constexpr const char* kSeparators = "/\\:";
#else
inline constexpr const char* kSeparators = "/";
#endif

}  // namespace tavrin::pagefile
