#pragma once
// Builds expected texts whose lines end in CR LF, as the script block and
// the test page on disk lay them out.

#include <initializer_list>
#include <string>

namespace tavrin::test {

// Joins lines, each ended by CR LF.
inline std::string crlfLines(std::initializer_list<std::string> lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

}  // namespace tavrin::test
