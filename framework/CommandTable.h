#pragma once
// Command tables: static arrays from a command id to a parameterless member
// handler, shared by dialogs and the application object.

#include <span>

namespace tavrin::fw {

template <class Target>
struct CommandTableEntry {
    int id;
    void (Target::*handler)();
};

// Runs the handler `table` gives for `id` on `target`; false when it has none.
template <class Target>
bool dispatchCommand(Target& target, std::span<const CommandTableEntry<Target>> table, int id)
{
    for (const CommandTableEntry<Target>& entry : table) {
        if (entry.id == id) {
            (target.*entry.handler)();
            return true;
        }
    }
    return false;
}

}  // namespace tavrin::fw
