#include "app/startup.h"

#include "app/main_window.h"
#include "app/settings_file.h"
#include "dialogs/name_lookups.h"
#include "platform/system.h"
#include "sysinfo/paths.h"
#include "sysinfo/text.h"
#include "ui/toolkit.h"

namespace orvano::app {

namespace {

constexpr std::uint32_t kRefusalStyle = ui::kMbOk | ui::kMbIconExclamation | ui::kMbSetForeground;

// The tool finds the router by name, so it is of no use without a name service; the keyword
// lets it start all the same.
bool NameServiceWorks(const std::string& commandLine) {
    const std::string command = sysinfo::Trimmed(commandLine);
    std::string probe3 = command;
    std::string startKey = sysinfo::ToUpper(command);
    std::string stored;
    if (ReadStartCommand(stored)) {
        probe3 = stored;
        startKey = sysinfo::ToUpper(sysinfo::Trimmed(stored));
    }
    // The keyword starts the program whatever the probes find: no need to wait for them.
    if (startKey == kBypassKeyword) return true;
    return dialogs::ProbeNameService({kNameServiceProbe1, kNameServiceProbe2, probe3});
}

// Held from the first step to the last: the main window, which the title check looks for,
// exists only after the name-service probes.
class InstanceMutex {
  public:
    InstanceMutex() : taken_(platform::TakeNamedMutex(kInstanceMutexName)) {}
    ~InstanceMutex() {
        if (taken_) platform::ReleaseNamedMutex(kInstanceMutexName);
    }
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;
    bool Taken() const { return taken_; }

  private:
    bool taken_;
};

}  // namespace

int RunProgram(const std::string& commandLine) {
    const InstanceMutex instance;
    ui::InitCommonControls();
    if (!instance.Taken() || ui::FindWindowByTitle(kMainWindowTitle)) {
        ui::ShowMessageBox(0, kSecondInstanceText, kSecondInstanceCaption, kRefusalStyle);
        return 0;
    }
    StampSettingsFile(kProgramDate, kProgramVersion);
    if (!NameServiceWorks(commandLine)) {
        ui::ShowMessageBox(0, kNoNameServiceText, kNoNameServiceCaption, ui::kMbInfo);
        return 0;
    }
    ShowMainWindow();
    return 0;
}

}  // namespace orvano::app
