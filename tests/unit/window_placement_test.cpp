// The main window's placement through the settings file: restored when the window opens,
// followed while the user moves and minimises it, saved when it closes. Driven through the
// headless toolkit with a callback that hands every message to WindowPlacement first.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/window_placement.h"
#include "headless_fixture.h"
#include "platform/profile.h"
#include "ui/headless/script.h"
#include "ui/toolkit.h"

namespace orvano::testing {
namespace {

namespace app = orvano::app;
namespace p = orvano::platform;
using ui::Dialog;
using Call = mem::Call;

constexpr char kIni[] = "C:\\Orvano\\Orvano.ini";
// The main window as designed: at 10, 20 with 300 x 200 dialog units. Its style without
// DS_CENTER, so that the designed location is the one given.
constexpr int kX0 = 10, kY0 = 20, kW0 = 300, kH0 = 200;
constexpr std::uint32_t kStyle = 0x94CA0AD4 & ~0x800u;

struct Placement {
    int x, y, width, height;
    bool minimized;
    bool operator==(const Placement&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Placement& p) {
    return out << p.x << "," << p.y << " " << p.width << "x" << p.height
               << (p.minimized ? " minimised" : "");
}

using Action = std::function<void(Dialog)>;

class WindowPlacementTest : public HeadlessTest {
  protected:
    void TearDown() override {
        EXPECT_TRUE(hl::Problems().empty()) << hl::Problems().front();
        EXPECT_TRUE(hl::MessageBoxes().empty());
        HeadlessTest::TearDown();
    }

    // Runs the main window with the actions as script steps; `opened` gets its placement as the
    // first step found it.
    Dialog Run(std::vector<Action> actions, Placement* opened = nullptr) {
        Dialog dialog = ui::NewDialog(0, " Orvano", kX0, kY0, kW0, kH0, kStyle, 0x10000);
        hl::AddStep([dialog, opened] {
            if (opened) *opened = Now(dialog);
        });
        for (Action& action : actions) hl::AddStep([dialog, action] { action(dialog); });
        app::WindowPlacement placement;
        ui::RunModal(dialog,
                     [&placement](Dialog d, std::uint32_t message, ui::WParam w,
                                  ui::LParam) -> std::intptr_t {
                         placement.Track(d, message, w);
                         return 0;
                     });
        return dialog;
    }
    static Placement Now(Dialog dialog) {
        const hl::DialogState* state = hl::DialogOf(dialog);
        return {state->x, state->y, state->width, state->height, state->minimized};
    }
    static void Close(Dialog dialog) { hl::PressCloseBox(dialog); }
    // Closing by the program's own button: WM_CLOSE without a system command before it.
    static void Quit(Dialog dialog) { ui::CloseDialog(dialog, 0); }

    // The five stored values as "X,Y,W,H,Minm".
    static std::string Stored() {
        std::string all;
        for (const char* key :
             {"HmWinPosX", "HmWinPosY", "HmWinPosW", "HmWinPosH", "HmWinPosMinm"}) {
            std::string text;
            p::GetIniString("HmWinPos", key, "-", text, 260, kIni);
            all += (all.empty() ? "" : ",") + text;
        }
        return all;
    }
    static void StoreWindow(const std::string& lines) {
        mem::PutFile(kIni, "[HmWinPos]\r\n" + lines + "[Optionen]\r\nAllProgExit=\"1\"\r\n");
    }
};

TEST_F(WindowPlacementTest, TheStoredPlacementIsRestoredWhenTheWindowOpens) {
    const struct {
        const char* lines;
        Placement opened;
        const char* saved;  // on quitting at once
    } cases[] = {
        {"HmWinPosX=120\r\nHmWinPosY=30\r\nHmWinPosW=350\r\nHmWinPosH=250\r\nHmWinPosMinm=0\r\n",
         {120, 30, 350, 250, false},
         "120,30,350,250,0"},
        // Smaller than designed in one direction only: the stored size counts.
        {"HmWinPosX=120\r\nHmWinPosY=30\r\nHmWinPosW=250\r\nHmWinPosH=260\r\n",
         {120, 30, 250, 260, false},
         "120,30,250,260,0"},
        // Smaller in both: the window keeps its designed size.
        {"HmWinPosX=120\r\nHmWinPosY=30\r\nHmWinPosW=250\r\nHmWinPosH=150\r\n",
         {120, 30, kW0, kH0, false},
         "120,30,300,200,0"},
        {"HmWinPosX=-1200\r\nHmWinPosY=40\r\nHmWinPosW=300\r\nHmWinPosH=200\r\n",
         {-1200, 40, kW0, kH0, false},
         "-1200,40,300,200,0"},
        {"HmWinPosX=0\r\nHmWinPosY=30\r\nHmWinPosW=350\r\nHmWinPosH=250\r\n",
         {0, 30, 350, 250, false},
         "0,30,350,250,0"},
        {"HmWinPosX= 120px \r\nHmWinPosY=\"30\"\r\n",
         {120, 30, kW0, kH0, false},
         "120,30,300,200,0"},
        // Nothing above 0, nothing stored, or nothing readable: the window opens as designed.
        {"HmWinPosX=0\r\nHmWinPosY=0\r\nHmWinPosW=0\r\nHmWinPosH=0\r\n",
         {kX0, kY0, kW0, kH0, false},
         "10,20,300,200,0"},
        {"HmWinPosX=\r\n", {kX0, kY0, kW0, kH0, false}, "10,20,300,200,0"},
        {"HmWinPosX=links\r\nHmWinPosY=oben\r\n", {kX0, kY0, kW0, kH0, false}, "10,20,300,200,0"},
        // Without a width the height alone may not shrink the window to nothing.
        {"HmWinPosX=120\r\nHmWinPosY=30\r\nHmWinPosW=0\r\nHmWinPosH=260\r\n",
         {120, 30, kW0, 260, false},
         "120,30,300,260,0"},
        {"HmWinPosX=120\r\nHmWinPosY=30\r\nHmWinPosW=-50\r\nHmWinPosH=260\r\n",
         {120, 30, kW0, 260, false},
         "120,30,300,260,0"},
        // Only 1 means minimised.
        {"HmWinPosX=120\r\nHmWinPosY=30\r\nHmWinPosW=300\r\nHmWinPosH=200\r\nHmWinPosMinm=2\r\n",
         {120, 30, kW0, kH0, false},
         "120,30,300,200,0"},
        {"HmWinPosX=120\r\nHmWinPosY=30\r\nHmWinPosW=300\r\nHmWinPosH=200\r\nHmWinPosMinm=1\r\n",
         {120, 30, kW0, kH0, true},
         "120,30,300,200,1"},
        {"HmWinPosX=0\r\nHmWinPosY=0\r\nHmWinPosW=0\r\nHmWinPosH=0\r\nHmWinPosMinm=1\r\n",
         {kX0, kY0, kW0, kH0, true},
         "10,20,300,200,1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        mem::Reset();
        hl::Reset();
        StoreWindow(c.lines);
        Placement opened{};
        Run({Quit}, &opened);
        EXPECT_EQ(c.opened, opened);
        EXPECT_EQ(c.saved, Stored());
    }
}

// A placement from a monitor that is gone (a laptop undocked) comes back onto the nearest
// monitor's work area; the stored size stays when it fits there.
TEST_F(WindowPlacementTest, AStoredPlacementOffEveryMonitorComesBackOnTheNearest) {
    const ui::UnitRect primary{0, 0, 1280, 680};
    const ui::UnitRect left{-1280, 0, 1280, 680};
    const struct {
        const char* name;
        std::vector<ui::UnitRect> areas;
        const char* lines;
        Placement opened;
    } cases[] = {
        {"left monitor gone",
         {primary},
         "HmWinPosX=-1200\r\nHmWinPosY=40\r\nHmWinPosW=350\r\nHmWinPosH=250\r\n",
         {0, 40, 350, 250, false}},
        {"left monitor there",
         {primary, left},
         "HmWinPosX=-1200\r\nHmWinPosY=40\r\nHmWinPosW=350\r\nHmWinPosH=250\r\n",
         {-1200, 40, 350, 250, false}},
        {"beyond the bottom right",
         {left, primary},
         "HmWinPosX=3000\r\nHmWinPosY=900\r\nHmWinPosW=350\r\nHmWinPosH=250\r\n",
         {930, 430, 350, 250, false}},
        {"half over the edge",
         {primary},
         "HmWinPosX=1100\r\nHmWinPosY=30\r\nHmWinPosW=300\r\nHmWinPosH=200\r\n",
         {980, 30, kW0, kH0, false}},
        {"too large for a small screen",
         {{0, 0, 640, 400}},
         "HmWinPosX=100\r\nHmWinPosY=100\r\nHmWinPosW=700\r\nHmWinPosH=450\r\n",
         {100, 100, kW0, kH0, false}},
        {"wholly on the screen",
         {primary},
         "HmWinPosX=120\r\nHmWinPosY=30\r\nHmWinPosW=350\r\nHmWinPosH=250\r\n",
         {120, 30, 350, 250, false}},
        {"minimised, from a monitor gone",
         {primary},
         "HmWinPosX=-900\r\nHmWinPosY=-50\r\nHmWinPosW=300\r\nHmWinPosH=200\r\n"
         "HmWinPosMinm=1\r\n",
         {0, 0, kW0, kH0, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mem::Reset();
        hl::Reset();
        hl::SetWorkAreas(c.areas);
        StoreWindow(c.lines);
        Placement opened{};
        Run({Quit}, &opened);
        EXPECT_EQ(c.opened, opened);
        const Placement& o = c.opened;
        EXPECT_EQ(Stored(), std::to_string(o.x) + "," + std::to_string(o.y) + "," +
                                std::to_string(o.width) + "," + std::to_string(o.height) +
                                (o.minimized ? ",1" : ",0"))
            << "the window is saved where it was shown";
    }
}

TEST_F(WindowPlacementTest, AWindowClosedMinimisedOpensMinimisedWhereItWasRestored) {
    StoreWindow("HmWinPosX=\r\n");
    Run({[](Dialog d) { hl::MoveTo(d, 40, 50, 330, 210); },
         [](Dialog d) { hl::MoveTo(d, 50, 60, 320, 220); },
         [](Dialog d) {
             hl::Minimize(d);
             // Windows reports a minimised window where its icon is; that is never saved.
             ui::SetDialogLocation(d, -32000, -32000);
         },
         Close});
    EXPECT_EQ("50,60,320,220,1", Stored());

    Placement opened{};
    Run({[](Dialog d) { hl::Restore(d); }, Close}, &opened);
    EXPECT_EQ((Placement{50, 60, 320, 220, true}), opened);
    EXPECT_EQ("50,60,320,220,0", Stored());
}

TEST_F(WindowPlacementTest, WithoutAFileThePlacementGoesIntoANewOne) {
    Placement opened{};
    Run({Close}, &opened);
    EXPECT_EQ((Placement{kX0, kY0, kW0, kH0, false}), opened);
    EXPECT_EQ(
        "[HmWinPos]\r\nHmWinPosX=10\r\nHmWinPosY=20\r\nHmWinPosW=300\r\nHmWinPosH=200\r\n"
        "HmWinPosMinm=0\r\n",
        mem::FileBytes(kIni).value_or("(no file)"));
}

TEST_F(WindowPlacementTest, SavingThatFailsIsNeitherReportedNorInTheWay) {
    StoreWindow("HmWinPosX=120\r\nHmWinPosY=30\r\n");
    mem::FailCall(Call::WriteIniString, 1);
    Dialog dialog = Run({[](Dialog d) { hl::MoveTo(d, 40, 50, 330, 210); }, Close});
    EXPECT_FALSE(hl::DialogOf(dialog)->alive);
    EXPECT_EQ("120,50,330,210,0", Stored());  // the first value stayed as it was

    // A folder that takes no file: nothing is written anywhere.
    mem::Reset();
    hl::Reset();
    mem::SetModulePath("C:\\Gone\\Orvano.exe");
    Placement opened{};
    Run({[](Dialog d) { hl::MoveTo(d, 40, 50, 330, 210); }, Close}, &opened);
    EXPECT_EQ((Placement{kX0, kY0, kW0, kH0, false}), opened);
    EXPECT_EQ((std::vector<std::string>{"C:\\Orvano\\Orvano.exe"}), mem::ListFiles());
}

}  // namespace
}  // namespace orvano::testing
