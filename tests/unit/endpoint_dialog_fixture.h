// Scripted runs of the router IP and port dialogs, which share their layout: two sections
// (native and Wow6432Node), each with a field, a " Eintrag Fehlt " mark and two questions.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "config/endpoint.h"
#include "config/registry.h"
#include "headless_fixture.h"
#include "platform/memory/osinfo_control.h"
#include "ui/headless/script.h"

namespace orvano::testing {

using config::RegistryView;

inline constexpr char kWowVendorKey[] = "SOFTWARE\\Wow6432Node\\AVM";
// Processor architectures: 32-bit Windows has one registry view, 64-bit Windows two.
inline constexpr int kX86 = 0, kX64 = 9;

struct SectionIds {
    const char* name;
    RegistryView view;
    bool needsWowKey;  // editable only when the Wow6432Node vendor key exists
    int field, missing, change, changeAsked, changeYes, changeNo;
    int remove, removeAsked, removeYes, removeNo, regFile;
    int fill1, fill2;  // the buttons that fill the field; fill2 is 0 when there is one
};

// The kinds of Windows a dialog meets: only on 64-bit Windows is the Wow6432Node section
// usable without its vendor key, whatever kind of process the program is there.
struct WindowsKind {
    const char* what;
    int architecture;
    mem::ProcessKind kind;
    bool wowUsable;
};
inline constexpr WindowsKind kWindowsKinds[] = {
    {"32-bit Windows", kX86, mem::ProcessKind::Native, false},
    {"64-bit process", kX64, mem::ProcessKind::Native, true},
    {"32-bit program under WOW64", kX64, mem::ProcessKind::Wow64Process, true},
};

// What a section shows.
struct Shown {
    std::string field;
    bool missing = false, canDelete = false, editable = false;
    bool operator==(const Shown&) const = default;
};
inline Shown Showing(std::string field, bool missing, bool canDelete, bool editable) {
    return {std::move(field), missing, canDelete, editable};
}
inline std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << "{\"" << s.field << "\" missing=" << s.missing << " canDelete=" << s.canDelete
               << " editable=" << s.editable << "}";
}

enum class Asking { None, Change, Delete, Inconsistent };

class EndpointDialogTest : public HeadlessTest {
  protected:
    using Step = std::function<void(ui::Dialog)>;

    // A clean machine and toolkit for the next case of a table.
    void Fresh() {
        EXPECT_TRUE(hl::Problems().empty()) << hl::Problems().front();
        EXPECT_EQ(mem::OpenKeyHandles(), 0);
        mem::Reset();
        hl::Reset();
    }
    static void Prepare(const SectionIds& s) {
        if (s.needsWowKey) mem::CreateKeyPath(config::kLocalMachine, kWowVendorKey);
    }

    // Runs a dialog: each step gets it, then its OK button (or the close box) ends it.
    static int RunDialog(const char* title, int (*show)(ui::Window), int ok,
                         std::vector<Step> steps, bool closeWithOk) {
        for (Step& step : steps) hl::AddStep([title, step] { step(hl::FindDialog(title)); });
        hl::AddStep([title, ok, closeWithOk] {
            if (closeWithOk)
                hl::Click(hl::FindDialog(title), ok);
            else
                hl::PressCloseBox(hl::FindDialog(title));
        });
        return show(0);
    }

    static const hl::ControlState& C(ui::Dialog d, int id) {
        static const hl::ControlState kNone;
        const hl::ControlState* control = hl::ControlOf(d, id);
        EXPECT_NE(control, nullptr) << id;
        return control ? *control : kNone;
    }
    static Shown ShownIn(ui::Dialog d, const SectionIds& s) {
        return {C(d, s.field).text, C(d, s.missing).visible, C(d, s.remove).enabled,
                C(d, s.field).enabled && C(d, s.change).enabled};
    }
    // Which question the section asks; Inconsistent when a row is half switched.
    static Asking AskingIn(ui::Dialog d, const SectionIds& s) {
        auto row = [&](int button, int label, int yes, int no) {
            bool on = C(d, label).visible;
            bool whole =
                C(d, button).visible != on && C(d, yes).visible == on && C(d, no).visible == on;
            return whole ? (on ? 1 : 0) : -1;
        };
        int change = row(s.change, s.changeAsked, s.changeYes, s.changeNo);
        int remove = row(s.remove, s.removeAsked, s.removeYes, s.removeNo);
        if (change < 0 || remove < 0 || change + remove > 1) return Asking::Inconsistent;
        return change ? Asking::Change : remove ? Asking::Delete : Asking::None;
    }
    // The fill buttons and " Reg Datei " rest while a question is open.
    static bool ExtrasEnabled(ui::Dialog d, const SectionIds& s) {
        return C(d, s.fill1).enabled && (s.fill2 == 0 || C(d, s.fill2).enabled) &&
               C(d, s.regFile).enabled;
    }
};

}  // namespace orvano::testing
