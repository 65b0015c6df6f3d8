// Which Windows the program runs on, as the main window's top frame shows it.
#pragma once

#include <string>

namespace orvano::sysinfo {

// The version code of the running Windows (0 for everything not named below 999).
int WindowsVersionCode();
// The edition name with its bit width, e.g. "Windows 7 Home, 64-bit".
std::string WindowsEditionName();
// "major.minor.build", e.g. 6.1.7601; "" for an unknown platform.
std::string WindowsVersionNumber();
// The service-pack text without surrounding blanks, e.g. "Service Pack 1".
std::string WindowsServicePack();
// When Windows was installed, in UTC, German format: "15.03.2010   09:12:44".
std::string WindowsInstallDate();
// "Internet Explorer Version " and the stored version, or "".
std::string InternetExplorerVersion();
// 1 workstation, 2 domain controller, 3 server; 0 when unknown.
int ProductType();
// 1 on 64-bit Windows (the program runs under WOW64, or the processor is a 64-bit one), where
// the registry has its 32-bit view under Wow6432Node; 0 on 32-bit Windows.
int SixtyFourBitWindows();

}  // namespace orvano::sysinfo
