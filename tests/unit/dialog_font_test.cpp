#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "memory_fixture.h"
#include "ui/dialog_font.h"

namespace orvano::testing {
namespace {

using orvano::ui::ChooseDialogFont;
using orvano::ui::FontBase;
using orvano::ui::MeasuredFont;

// A system's fonts: (face, points) -> base. A face it lacks is drawn as its fallback face.
struct System {
    std::map<std::pair<std::string, int>, FontBase> fonts;
    std::string fallback;

    mutable int measured = 0;

    std::optional<MeasuredFont> Measure(const std::string& face, int points) const {
        ++measured;
        auto own = fonts.find({face, points});
        if (own != fonts.end()) return MeasuredFont{own->second, true};
        auto other = fonts.find({fallback, points});
        if (other == fonts.end()) return std::nullopt;
        return MeasuredFont{other->second, false};
    }
};

class DialogFontTest : public MemoryMachineTest {};

TEST_F(DialogFontTest, WindowsKeepsItsFontAndWineReplacesOnlyWhatMeasuresWider) {
    // Wine without Windows' fonts: every name falls back to one wide face.
    System wine{{{{"DejaVu Sans", 8}, {7, 13}},
                 {{"DejaVu Sans", 7}, {6, 10}},
                 {{"DejaVu Sans Condensed", 8}, {6, 13}}},
                "DejaVu Sans"};
    System wineWithoutCondensed{{{{"DejaVu Sans", 8}, {7, 13}}, {{"DejaVu Sans", 7}, {6, 10}}},
                                "DejaVu Sans"};
    System windows{{{{"MS Sans Serif", 8}, {6, 13}}, {{"Tahoma", 8}, {6, 13}}}, "MS Sans Serif"};
    // Large fonts: Windows' own face at 120 dpi stays, however it rounds.
    System windowsLarge{{{{"MS Sans Serif", 8}, {8, 16}}}, "MS Sans Serif"};
    // XP-style scaling at 125 % and East-Asian systems: the bitmap face misses Windows' base by
    // a pixel, while an outline face would match it.
    System windowsScaled{{{{"MS Sans Serif", 8}, {8, 17}}, {{"Tahoma", 8}, {8, 16}}},
                         "MS Sans Serif"};
    System windowsEastAsian{{{{"MS Sans Serif", 8}, {7, 13}}, {{"Tahoma", 8}, {6, 13}}},
                            "MS Sans Serif"};
    // A substitute that is narrow enough but taller than Windows' is not taken.
    System tallSubstitute{{{{"Wide", 8}, {7, 13}},
                           {{"Tahoma", 8}, {6, 14}},
                           {{"Arial", 8}, {6, 13}},
                           {{"Wide", 7}, {6, 11}}},
                          "Wide"};
    // Nothing fits at any size: the layout's own font, as there is nothing better.
    System nothingFits{{{{"Huge", 8}, {9, 18}}, {{"Huge", 7}, {8, 16}}, {{"Huge", 6}, {7, 14}}},
                       "Huge"};
    System noFonts{{}, ""};

    struct Case {
        const char* name;
        bool underWine;
        const System& system;
        int dpi;
        const char* face;
        int points;
        bool smallerText;
    } cases[] = {
        {"Windows", false, windows, 96, "MS Sans Serif", 8, false},
        {"Windows, large fonts", false, windowsLarge, 120, "MS Sans Serif", 8, false},
        {"Windows at 125 %", false, windowsScaled, 120, "MS Sans Serif", 8, false},
        {"Windows, East-Asian", false, windowsEastAsian, 96, "MS Sans Serif", 8, false},
        // The same fonts under Wine would be measured and replaced.
        {"Wine's font on Windows", false, wine, 96, "MS Sans Serif", 8, false},
        {"Wine, scaled", true, windowsScaled, 120, "Tahoma", 8, true},
        {"Wine", true, wine, 96, "DejaVu Sans Condensed", 8, true},
        {"Wine without a narrow face", true, wineWithoutCondensed, 96, "MS Sans Serif", 7, false},
        {"Wine, large fonts", true, windowsLarge, 120, "MS Sans Serif", 8, false},
        {"taller substitute skipped", true, tallSubstitute, 96, "Arial", 8, true},
        {"nothing fits", true, nothingFits, 96, "MS Sans Serif", 8, false},
        {"no measurement", true, noFonts, 96, "MS Sans Serif", 8, false},
    };
    for (const Case& c : cases) {
        mem::SetRunningUnderWine(c.underWine);
        const System& system = c.system;
        system.measured = 0;
        auto font = ChooseDialogFont(c.dpi, [&system](const std::string& face, int points) {
            return system.Measure(face, points);
        });
        EXPECT_EQ(font.face, c.face) << c.name;
        EXPECT_EQ(font.points, c.points) << c.name;
        EXPECT_EQ(font.smallerText, c.smallerText) << c.name;
        if (!c.underWine) {
            EXPECT_EQ(system.measured, 0) << c.name << ": nothing to measure";
        }
    }
}

TEST_F(DialogFontTest, WindowsBaseFollowsTheScreensResolution) {
    struct Case {
        int dpi, width, height;
    } cases[] = {{96, 6, 13}, {120, 8, 16}, {144, 9, 20}, {192, 12, 26}, {0, 6, 13}};
    for (const Case& c : cases) {
        FontBase base = orvano::ui::WindowsDialogBase(c.dpi);
        EXPECT_EQ(base.width, c.width) << c.dpi;
        EXPECT_EQ(base.height, c.height) << c.dpi;
    }
}

}  // namespace
}  // namespace orvano::testing
