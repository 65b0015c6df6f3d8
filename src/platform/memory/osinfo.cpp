// The in-memory machine's self-description, set by tests.
#include <map>

#include "platform/memory/osinfo_control.h"
#include "platform/memory/state.h"
#include "platform/osinfo.h"

namespace orvano::platform {

namespace {

struct OsInfo {
    OsVersion version;
    bool versionAvailable = true;
    std::map<int, int> metrics;
    int architecture = 9;
    std::string userName = "Max";
    bool userNameAvailable = true;
    std::string windowsFolder = "C:\\Windows";
    std::map<std::string, std::string, memory::NoCaseLess> environment;
};

OsInfo MakeDefaults() {
    OsInfo info;
    info.version = {6, 1, 7601, 2, "Service Pack 1", 0x100, 1};
    return info;
}

OsInfo& TheOsInfo() {
    static OsInfo info = MakeDefaults();
    return info;
}

}  // namespace

bool GetOsVersion(OsVersion& version) {
    if (!TheOsInfo().versionAvailable) return false;
    version = TheOsInfo().version;
    return true;
}

int GetSystemMetric(int index) {
    auto it = TheOsInfo().metrics.find(index);
    return it == TheOsInfo().metrics.end() ? 0 : it->second;
}

int NativeProcessorArchitecture() {
    return TheOsInfo().architecture;
}

bool UserName(std::string& name) {
    if (!TheOsInfo().userNameAvailable) return false;
    name = TheOsInfo().userName;
    return true;
}

std::string WindowsFolder() {
    return TheOsInfo().windowsFolder;
}

bool EnvironmentVariable(const std::string& name, std::string& value) {
    auto it = TheOsInfo().environment.find(name);
    if (it == TheOsInfo().environment.end()) return false;
    value = it->second;
    return true;
}

}  // namespace orvano::platform

namespace orvano::platform::memory {

void ResetOsInfo() {
    TheOsInfo() = MakeDefaults();
}

void SetOsVersion(const OsVersion& version) {
    TheOsInfo().version = version;
    TheOsInfo().versionAvailable = version.platformId != 0xFFFFFFFFu;
}

void SetSystemMetric(int index, int value) {
    TheOsInfo().metrics[index] = value;
}

void SetProcessorArchitecture(int architecture) {
    TheOsInfo().architecture = architecture;
}

void SetUserName(const std::string& name, bool available) {
    TheOsInfo().userName = name;
    TheOsInfo().userNameAvailable = available;
}

void SetWindowsFolder(const std::string& folder) {
    TheOsInfo().windowsFolder = folder;
}

void SetEnvironmentVariable(const std::string& name, const std::string& value) {
    TheOsInfo().environment[name] = value;
}

}  // namespace orvano::platform::memory
