#include "deploy/failure_line.h"

#include "platform/file_users.h"

namespace orvano::deploy {

namespace p = orvano::platform;

namespace {

std::string Reason(p::FileFailure why, const std::vector<std::string>& programs) {
    switch (why) {
        case p::FileFailure::kInUse: {
            std::string text = "wird benutzt";
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

std::string FailureLine(Undone what, const std::string& path, p::FileFailure why, bool copyFailed,
                        const std::vector<std::string>& programs) {
    std::string line = what == Undone::kDelete    ? " Nicht gelöscht"
                       : what == Undone::kReplace ? " Nicht ersetzt"
                                                  : " Nicht zurückgeholt";
    const std::string reason = Reason(why, programs);
    if (copyFailed) {
        line += ", Sicherung nicht möglich";
        if (!reason.empty()) line += " (" + reason + ")";
    } else if (!reason.empty()) {
        line += ", " + reason;
    }
    return line + ": " + path;
}

std::string FailureLine(Undone what, const std::string& path, p::FileFailure why, bool copyFailed) {
    const std::vector<std::string> programs =
        why == p::FileFailure::kInUse ? p::ProgramsUsingFile(path) : std::vector<std::string>{};
    return FailureLine(what, path, why, copyFailed, programs);
}

}  // namespace orvano::deploy
