#include "framework/Template.h"

namespace tavrin::fw {

const ControlTemplate* DialogTemplate::control(int id) const
{
    for (const ControlTemplate& c : controls) {
        if (c.id == id)
            return &c;
    }
    return nullptr;
}

}  // namespace tavrin::fw
