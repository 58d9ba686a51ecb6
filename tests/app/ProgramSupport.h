#pragma once
// What the program tests share: a picture of everything the main dialog
// shows, to check that an action changed nothing it should not.

#include "support/FakeBackend.h"
#include "res/Resources.h"

#include <map>
#include <string>
#include <tuple>

namespace tavrin::test {

// Text, check state and list selection of one control.
using ControlView = std::tuple<std::string, int, int>;

inline std::map<int, ControlView> viewOf(const fw::Window& window)
{
    std::map<int, ControlView> view;
    for (const fw::ControlTemplate& c : res::mainTemplate().controls) {
        if (c.id != fw::kNoId)
            view[c.id] = {window.text(c.id), window.checkState(c.id), window.listSelection(c.id)};
    }
    return view;
}

}  // namespace tavrin::test
