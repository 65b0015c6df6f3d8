// The choice of the dialog font, by measurement.
#include "ui/dialog_font.h"

#include "platform/system.h"

namespace orvano::ui {

namespace {

// Below this a dialog is no longer readable; the layout's own font is better then.
constexpr int kSmallestPoints = 6;

int Scaled(int pixels, int dpi) {
    return (pixels * dpi + 48) / 96;
}

bool NoLargerThan(const FontBase& measured, const FontBase& limit) {
    return measured.width > 0 && measured.width <= limit.width && measured.height <= limit.height;
}

}  // namespace

FontBase WindowsDialogBase(int dpi) {
    if (dpi <= 0) dpi = 96;
    return {Scaled(6, dpi), Scaled(13, dpi)};
}

const std::vector<std::string>& SubstituteFaces() {
    // Faces that are drawn like Windows' dialog font at 8 points on common systems; each is
    // measured before it is taken.
    static const std::vector<std::string> faces = {
        "Microsoft Sans Serif",   "Tahoma",  "Arial", "Liberation Sans", "DejaVu Sans Condensed",
        "Liberation Sans Narrow", "FreeSans"};
    return faces;
}

DialogFont ChooseDialogFont(int dpi, const FontMeasure& measure) {
    const FontBase windows = WindowsDialogBase(dpi);
    DialogFont layoutFont{kLayoutFontFace, kLayoutFontPoints};
    // Windows' own face is the layout's, however it rounds; only Wine's stand-in is measured.
    if (!platform::RunningUnderWine()) return layoutFont;
    // Whatever the system draws under the layout's face name is what counts here.
    std::optional<MeasuredFont> own = measure(kLayoutFontFace, kLayoutFontPoints);
    // Without a measurement there is nothing better to go by than the layout's own font.
    if (!own || NoLargerThan(own->base, windows)) return layoutFont;

    for (const std::string& face : SubstituteFaces()) {
        std::optional<MeasuredFont> font = measure(face, kLayoutFontPoints);
        if (font && font->namedFace && font->base.width == windows.width &&
            font->base.height == windows.height)
            return {face, kLayoutFontPoints, true};
    }
    for (int points = kLayoutFontPoints - 1; points >= kSmallestPoints; --points) {
        std::optional<MeasuredFont> font = measure(kLayoutFontFace, points);
        if (font && NoLargerThan(font->base, windows)) return {kLayoutFontFace, points};
    }
    return layoutFont;
}

}  // namespace orvano::ui
