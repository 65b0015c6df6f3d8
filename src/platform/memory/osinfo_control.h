// Test control of the in-memory machine's self-description (part of control.h).
#pragma once

#include <string>

#include "platform/osinfo.h"

namespace orvano::platform::memory {

// Defaults after Reset: Windows 7 SP1 workstation (6.1.7601), x64, user "Max", Windows folder
// "C:\Windows", no metrics set, no environment.
void ResetOsInfo();
// nullopt-like: a version of platform id 0xFFFFFFFF makes GetOsVersion fail.
void SetOsVersion(const OsVersion& version);
void SetSystemMetric(int index, int value);
void SetProcessorArchitecture(int architecture);
// An empty name with `available` false makes GetUserName fail.
void SetUserName(const std::string& name, bool available = true);
void SetWindowsFolder(const std::string& folder);
void SetEnvironmentVariable(const std::string& name, const std::string& value);

}  // namespace orvano::platform::memory
