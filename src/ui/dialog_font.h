// Which font the dialogs are made with. The layout is given in dialog units of Windows'
// "MS Sans Serif" 8, a bitmap face, and on Windows the dialogs always use it, whatever it
// measures (at 120 dpi or on an East-Asian system it may miss 6 by 13 by a pixel). Wine
// without Windows' fonts draws a wide outline face under that name, in which texts and
// numbers no longer fit their controls: under Wine only, a face of the system whose 8 points
// give exactly Windows' dialog units takes its place, so that every control keeps its size in
// pixels; an outline face with Windows' average is still wider in capitals and digits, so the
// controls draw their texts in it one pixel smaller than the units are measured in.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvano::ui {

struct DialogFont {
    std::string face;
    int points = 0;
    // Texts drawn one pixel smaller than the face at these points (a substituted face).
    bool smallerText = false;
};

// A font's dialog base: average character width and character height, in pixels.
struct FontBase {
    int width = 0;
    int height = 0;
};

// What the system gives for a face name: its base, and whether it is that face or another
// one put in its place.
struct MeasuredFont {
    FontBase base;
    bool namedFace = true;
};

inline constexpr char kLayoutFontFace[] = "MS Sans Serif";
inline constexpr int kLayoutFontPoints = 8;

// Windows' "MS Sans Serif" 8 at this many pixels per inch: 6 by 13 pixels at 96.
FontBase WindowsDialogBase(int dpi);

// The faces tried, in this order, when the system's "MS Sans Serif" measures differently.
const std::vector<std::string>& SubstituteFaces();

// Measures a face at a point size on the screen; nothing when no font can be made.
using FontMeasure = std::function<std::optional<MeasuredFont>(const std::string&, int)>;

// "MS Sans Serif" 8 on Windows, without measuring anything. Under Wine the same wherever it is
// no wider and no taller than Windows' own; otherwise the first substitute face the system has
// whose 8-point base is exactly Windows', and failing that "MS Sans Serif" at the largest
// smaller size that is no larger than Windows' 8 points.
DialogFont ChooseDialogFont(int dpi, const FontMeasure& measure);

}  // namespace orvano::ui
