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

namespace {

bool holds(const DluRect& outer, const DluRect& inner)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.cx <= outer.x + outer.cx &&
           inner.y + inner.cy <= outer.y + outer.cy;
}

}  // namespace

const ControlTemplate* groupBoxOf(const DialogTemplate& tmpl, const ControlTemplate& control)
{
    const ControlTemplate* found = nullptr;
    for (const ControlTemplate& box : tmpl.controls) {
        if (box.kind != ControlKind::GroupBox || &box == &control || !holds(box.rect, control.rect))
            continue;
        if (control.kind == ControlKind::GroupBox && holds(control.rect, box.rect))
            continue;  // the box itself
        if (!found || box.rect.cx * box.rect.cy < found->rect.cx * found->rect.cy)
            found = &box;
    }
    return found;
}

std::vector<const ControlTemplate*> radioSetOf(const DialogTemplate& tmpl, const ControlTemplate& radio)
{
    const ControlTemplate* box = groupBoxOf(tmpl, radio);
    std::vector<const ControlTemplate*> set;
    for (const ControlTemplate& c : tmpl.controls) {
        if (c.kind == ControlKind::RadioButton && groupBoxOf(tmpl, c) == box)
            set.push_back(&c);
    }
    return set;
}

}  // namespace tavrin::fw
