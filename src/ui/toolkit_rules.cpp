// The parts of the toolkit that both builds share: how a kind becomes a class and a style.
#include "ui/toolkit.h"

#include "platform/system.h"
#include "platform/text.h"

namespace orvano::ui {

namespace {
constexpr std::size_t kMaxToolTipText = 254;
}  // namespace

const ControlKindInfo& KindInfo(ControlKind kind) {
    static const ControlKindInfo kKinds[] = {
        {"", 0, 0, 0, false},                                   // custom
        {"BUTTON", 0x50010000, 0x50000000, 0, false},           // button
        {"BUTTON", 0x50010003, 0x50000003, 0xA7FC00CC, false},  // check box
        {"BUTTON", 0x50000007, 0x50000007, 0xA7FFD0F8, false},  // frame
        {"STATIC", 0x50000000, 0x50000000, 0, false},           // label
        {"STATIC", 0x50000012, 0x50000000, 0, false},           // line
        {"BUTTON", 0x50010009, 0x50000009, 0xA7FC00C6, false},  // radio
        {"EDIT", 0x50810080, 0x50000000, 0, true},              // edit
        {"LISTBOX", 0x50A10003, 0x50000001, 0, true},           // list box
    };
    return kKinds[static_cast<int>(kind)];
}

ResolvedStyle ResolveStyle(ControlKind kind, std::uint32_t style, std::uint32_t exStyle,
                           const std::string& customClass) {
    const ControlKindInfo& info = KindInfo(kind);
    ResolvedStyle resolved{kind == ControlKind::Custom ? customClass : info.className, style,
                           exStyle};
    if (style == 0) {
        resolved.style = info.defaultStyle;
        if (info.clientEdgeByDefault) {
            // A sunken client edge looks right on these; the plain border does not.
            resolved.style &= ~kWsBorder;
            resolved.exStyle |= kWsExClientEdge;
        }
    }
    resolved.style = (resolved.style | info.alwaysSet) & ~info.removed;
    return resolved;
}

std::uint32_t ResolveDialogStyle(std::uint32_t style) {
    if (style == 0) style = kDefaultDialogStyle;
    // The dialog becomes visible only when it runs.
    return (style | kDsSetFont | kDs3dLook | kDsNoFailCreate) & ~(kWsVisible | kDsSysModal);
}

std::string ToolTipText(const std::string& text) {
    return text.substr(0, kMaxToolTipText);
}

bool HelpsAddressField(const std::string& className) {
    return platform::UpperCaseAnsi(className) == "SYSIPADDRESS32" && platform::RunningUnderWine();
}

}  // namespace orvano::ui
