#include "deploy/failure_line.h"

#include <vector>

#include "platform/file_users.h"

namespace orvano::deploy {

namespace p = orvano::platform;

namespace {

std::string Reason(p::FileFailure why, const std::string& path) {
    switch (why) {
        case p::FileFailure::kInUse: {
            std::string text = "wird benutzt";
            const std::vector<std::string> programs = p::ProgramsUsingFile(path);
            for (std::size_t i = 0; i < programs.size(); ++i)
                text += (i == 0 ? " von " : ", ") + programs[i];
            return text;
        }
        case p::FileFailure::kAccessDenied:
            return "keine Rechte";
        default:
            return "";
    }
}

}  // namespace

std::string FailureLine(Undone what, const std::string& path, p::FileFailure why, bool copyFailed) {
    std::string line = what == Undone::kDelete    ? " Nicht gelöscht"
                       : what == Undone::kReplace ? " Nicht ersetzt"
                                                  : " Nicht zurückgeholt";
    const std::string reason = Reason(why, path);
    if (copyFailed) {
        line += ", Sicherung nicht möglich";
        if (!reason.empty()) line += " (" + reason + ")";
    } else if (!reason.empty()) {
        line += ", " + reason;
    }
    return line + ": " + path;
}

}  // namespace orvano::deploy
