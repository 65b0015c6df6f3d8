// Measures fonts on the screen as the dialog manager does for its dialog units.
#include "ui/win32/screen_font.h"

namespace orvano::ui::win32 {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::optional<MeasuredFont> Measure(const std::string& face, int points, int dpi) {
    LOGFONTA font{};
    font.lfHeight = -MulDiv(points, dpi, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, face.c_str(), LF_FACESIZE);
    HFONT handle = CreateFontIndirectA(&font);
    if (!handle) return std::nullopt;
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, handle);
    char chosen[LF_FACESIZE] = "";
    GetTextFaceA(screen, sizeof chosen, chosen);
    TEXTMETRICA metrics{};
    SIZE extent{};
    bool measured = GetTextMetricsA(screen, &metrics) &&
                    GetTextExtentPoint32A(screen, kAlphabet, sizeof kAlphabet - 1, &extent);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    DeleteObject(handle);
    if (!measured) return std::nullopt;
    // The dialog manager's average: half the alphabet's width per letter pair, rounded.
    FontBase base{static_cast<int>((extent.cx / 26 + 1) / 2), static_cast<int>(metrics.tmHeight)};
    // A face the system lacks comes back as another one.
    return MeasuredFont{base, lstrcmpiA(chosen, face.c_str()) == 0};
}

}  // namespace

const DialogFont& ScreenDialogFont() {
    static const DialogFont font = [] {
        int dpi = ScreenDpi();
        return ChooseDialogFont(
            dpi, [dpi](const std::string& face, int points) { return Measure(face, points, dpi); });
    }();
    return font;
}

HFONT ScreenTextFont() {
    static const HFONT font = [] {
        const DialogFont& dialogFont = ScreenDialogFont();
        if (!dialogFont.smallerText) return HFONT{};
        LOGFONTA text{};
        // The dialog manager's character height for the points, one pixel less.
        text.lfHeight = -MulDiv(dialogFont.points, ScreenDpi(), 72) + 1;
        text.lfWeight = FW_NORMAL;
        text.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(text.lfFaceName, dialogFont.face.c_str(), LF_FACESIZE);
        return CreateFontIndirectA(&text);
    }();
    return font;
}

}  // namespace orvano::ui::win32
