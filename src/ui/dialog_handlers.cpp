#include "ui/dialog_handlers.h"

#include <memory>

#include "ui/focus_memory.h"

namespace orvano::ui {

DialogCallback HandlersCallback(DialogHandlers handlers) {
    auto focus = std::make_shared<FocusMemory>();
    return [handlers = std::move(handlers), focus](Dialog d, std::uint32_t message, WParam wParam,
                                                   LParam) -> std::intptr_t {
        if (message == kWmInitDialog) {
            if (handlers.open) handlers.open(d);
        } else if (message == kWmNcActivate) {
            focus->OnNcActivate(wParam);
        } else if (message == kWmCommand) {
            const int id = CommandId(wParam);
            const std::uint32_t code = CommandCode(wParam);
            if (handlers.command && handlers.command(d, id, code)) return 0;
            if (code > 1) return 0;
            if (handlers.closeId != 0 && id == handlers.closeId) {
                CloseDialog(d, 0);
                return 0;
            }
            if (handlers.click) handlers.click(d, id);
        } else if (handlers.reloadMessage != 0 && message == handlers.reloadMessage) {
            if (handlers.reload) handlers.reload(d);
        }
        return 0;
    };
}

int RunDialog(Dialog dialog, DialogHandlers handlers) {
    return RunModal(dialog, HandlersCallback(std::move(handlers)));
}

}  // namespace orvano::ui
