#pragma once
// The font a dialog template names, as GTK draws it, and the dialog base
// units derived from it.
//
// Base units follow the Windows rule: the average width of "A".."Z" and
// "a".."z" (rounded as Windows rounds it) and the font's height. A control
// at x dialog units sits at x * baseX / 4 pixels, y units at y * baseY / 8.

#include <string>

namespace tavrin::fw::gtk {

struct DialogFont {
    std::string family;  // CSS font family
    int pixelSize = 0;
    int baseX = 0;
    int baseY = 0;

    int toPixelsX(int dlu) const { return (dlu * baseX + 2) / 4; }
    int toPixelsY(int dlu) const { return (dlu * baseY + 4) / 8; }
};

// The font for `templateFont` at `points`: the metric-compatible Liberation
// Sans where installed for the classic dialog font, else the desktop's sans.
// Its size follows the desktop's text size (gtk-font-name) relative to GTK's
// default of 10 points.
DialogFont dialogFont(const std::string& templateFont, int points);

}  // namespace tavrin::fw::gtk
