#include <gtest/gtest.h>

#include <functional>

#include "capi_images.h"
#include "config/client_registry.h"
#include "config/fax_registry.h"
#include "config/registry.h"
#include "deploy/capi_diagnosis.h"
#include "memory_fixture.h"
#include "platform/memory/osinfo_control.h"
#include "platform/memory/virtual_clock.h"

namespace orvano::testing {
namespace {

using namespace orvano::deploy;
namespace p = orvano::platform;
namespace client = config::client;

constexpr p::RegKey kHklm = p::kHkeyLocalMachine;
const p::Ipv4 kRouter{192, 168, 178, 1};
constexpr char kFaxFolder[] = "C:\\Programme\\FRITZ!";
constexpr char kSysWow64Capi[] = "C:\\Windows\\SysWOW64\\capi2032.dll";

// A fresh 64-bit machine set up right for the 32-bit fax application: the client in SysWOW64,
// address and port in the Wow6432Node section, the router taking the connection. Each row
// changes one thing.
class CapiDiagnosisTest : public MemoryMachineTest {
  protected:
    void SetUp() override {
        MemoryMachineTest::SetUp();
        mem::SetProcessKind(mem::ProcessKind::Wow64Process);
        mem::CreateFolder("C:\\Windows\\System32");
        mem::CreateFolder("C:\\Windows\\SysWOW64");
        mem::CreateFolder(kFaxFolder);
        mem::PutText(p::kHkeyCurrentUser, config::kFaxUserProgramKey, config::fax::kSystemDir,
                     kFaxFolder);
        mem::PutFile(kSysWow64Capi, kTcpClient);
        mem::PutText(kHklm, client::kAddressKeyWow, client::kAddressValue, "192.168.178.1");
        mem::PutDword(kHklm, client::kPortKeyWow, client::kPortValue, 5031);
        mem::SetTcpAnswer(kRouter, 5031, p::TcpAnswer::Accepted);
    }
};

void MoveToNativeView() {
    mem::PutText(kHklm, client::kAddressKey, client::kAddressValue, "192.168.178.1");
    mem::PutDword(kHklm, client::kPortKey, client::kPortValue, 5031);
    config::DeleteValue(config::kLocalMachine, client::kAddressKeyWow, client::kAddressValue);
    config::DeleteValue(config::kLocalMachine, client::kPortKeyWow, client::kPortValue);
}

void AddressIs(const std::string& text) {
    mem::PutText(kHklm, client::kAddressKeyWow, client::kAddressValue, text);
}

void PortIs(std::uint32_t port) {
    mem::PutDword(kHklm, client::kPortKeyWow, client::kPortValue, port);
}

TEST_F(CapiDiagnosisTest, NamesTheFirstFaultInTheOrderTheFaxApplicationMeetsIt) {
    struct Row {
        const char* what;
        std::function<void()> change;
        CapiCause cause;
        std::string verdict, line;  // `line` is one of the found lines, whole
    } rows[] = {
        {"set up right", [] {}, CapiCause::Reached, kVerdictReached,
         "4. Verbindung zu 192.168.178.1:5031: angenommen"},
        {"no capi2032.dll", [] { p::RemoveFile(kSysWow64Capi); }, CapiCause::NoLibrary,
         kVerdictNoLibrary, "1. Systemordner: C:\\Windows\\SysWow64\\ ohne capi2032.dll"},
        {"the ISDN build", [] { mem::PutFile(kSysWow64Capi, kIsdnLibrary); },
         CapiCause::IsdnLibrary, kVerdictIsdnLibrary,
         "1. capi2032.dll: C:\\Windows\\SysWow64\\capi2032.dll, für ISDN-Adapter, Version "
         "5.10.0.0"},
        {"another maker's in the fax folder comes first",
         [] { mem::PutFile("C:\\Programme\\FRITZ!\\capi2032.dll", Image(0x00020004, 1, 0, 0)); },
         CapiCause::OtherLibrary, kVerdictOtherLibrary,
         "1. capi2032.dll: C:\\Programme\\FRITZ!\\capi2032.dll, anderer Hersteller, Version "
         "2.4.0.1"},
        {"the client in the fax folder alone",
         [] {
             p::RemoveFile(kSysWow64Capi);
             mem::PutFile("C:\\Programme\\FRITZ!\\capi2032.dll", kTcpClient);
         },
         CapiCause::Reached, kVerdictReached,
         "1. capi2032.dll: C:\\Programme\\FRITZ!\\capi2032.dll, CAPI over TCP, Version 3.8.1.0"},
        {"address and port only in the 64-bit view", MoveToNativeView, CapiCause::OtherView,
         kVerdictOtherView, "2. Nur in HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM: IP-Adresse und Port"},
        {"a 64-bit process with its values in Wow6432Node alone",
         [] {
             mem::SetProcessKind(mem::ProcessKind::Native);
             mem::PutFile("C:\\Windows\\System32\\capi2032.dll", kTcpClient);
         },
         CapiCause::OtherView, kVerdictOtherView,
         "   Abhilfe: in Orvano unter » IP-Adresse « und » Port « im Bereich » Windows Registry "
         "Eintrag « eintragen"},
        {"32-bit Windows has no other view",
         [] {
             mem::SetProcessKind(mem::ProcessKind::Native);
             mem::SetProcessorArchitecture(0);
             mem::PutFile("C:\\Windows\\System32\\capi2032.dll", kTcpClient);
         },
         CapiCause::NoAddress, kVerdictNoAddress,
         "2. Registry-Zweig: HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM (32-Bit-Windows)"},
        {"no address anywhere",
         [] {
             config::DeleteValue(config::kLocalMachine, client::kAddressKeyWow,
                                 client::kAddressValue);
         },
         CapiCause::NoAddress, kVerdictNoAddress, "3. IP-Adresse: fehlt"},
        {"address stored as a DWORD",
         [] { mem::PutDword(kHklm, client::kAddressKeyWow, client::kAddressValue, 1); },
         CapiCause::AddressWrongType, kVerdictAddressWrongType,
         "3. IP-Adresse: falscher Typ REG_DWORD mit 4 Bytes"},
        {"three numbers", [] { AddressIs("192.168.178"); }, CapiCause::BadAddress,
         kVerdictBadAddress, "3. IP-Adresse: »192.168.178« ist keine IPv4-Adresse"},
        {"a number above 255", [] { AddressIs("192.168.178.256"); }, CapiCause::BadAddress,
         kVerdictBadAddress, "3. IP-Adresse: »192.168.178.256« ist keine IPv4-Adresse"},
        {"the first of several entries, as the client takes it",
         [] { AddressIs(" 192.168.178.1;10.0.0.1"); }, CapiCause::Reached, kVerdictReached,
         "3. IP-Adresse: 192.168.178.1"},
        {"a name that resolves",
         [] {
             AddressIs("fritz.box");
             mem::AddHost("fritz.box", {kRouter});
             mem::SetLookupDelay("fritz.box", 1900);
         },
         CapiCause::Reached, kVerdictReached, "3. IP-Adresse: fritz.box = 192.168.178.1"},
        {"a name nobody knows", [] { AddressIs("nirgends.box"); }, CapiCause::UnknownName,
         kVerdictUnknownName, "3. IP-Adresse: der Name nirgends.box ist unbekannt"},
        {"a name server that never answers",
         [] {
             AddressIs("fritz.box");
             mem::SetNameServerDelay(mem::kNeverAnswers);
         },
         CapiCause::NameServerSilent, kVerdictNameServerSilent,
         "3. IP-Adresse: fritz.box, DNS antwortet nicht in 2 s"},
        {"no port",
         [] {
             config::DeleteValue(config::kLocalMachine, client::kPortKeyWow, client::kPortValue);
         },
         CapiCause::NoPort, kVerdictNoPort, "3. Port: fehlt"},
        {"port stored as a string",
         [] { mem::PutText(kHklm, client::kPortKeyWow, client::kPortValue, "5031"); },
         CapiCause::PortWrongType, kVerdictPortWrongType, "3. Port: falscher Typ REG_SZ (Text)"},
        {"port 0", [] { PortIs(0); }, CapiCause::PortOutOfRange, kVerdictPortOutOfRange,
         "3. Port: 0 (00000000)"},
        {"port 65536", [] { PortIs(65536); }, CapiCause::PortOutOfRange, kVerdictPortOutOfRange,
         "3. Port: 65536 (00010000)"},
        {"port 65535 is one",
         [] {
             PortIs(65535);
             mem::SetTcpAnswer(kRouter, 65535, p::TcpAnswer::Accepted);
         },
         CapiCause::Reached, kVerdictReached, "4. Verbindung zu 192.168.178.1:65535: angenommen"},
        {"CAPI over TCP switched off",
         [] { mem::SetTcpAnswer(kRouter, 5031, p::TcpAnswer::Refused); }, CapiCause::Refused,
         kVerdictRefused,
         "   Abhilfe: an einem Telefon der FRITZ!Box #96*3* wählen, wie Orvano unten links zeigt: "
         "» Mit #96*3* CAPIoTCP starten (Orvano ein) «"},
        {"nothing answers", [] { mem::SetTcpAnswer(kRouter, 5031, p::TcpAnswer::NoAnswer); },
         CapiCause::NoAnswer, "Ergebnis: keine Antwort von 192.168.178.1:5031",
         "4. Verbindung zu 192.168.178.1:5031: keine Antwort in 2,5 s"},
        {"an answer after the deadline is none",
         [] { mem::SetTcpAnswer(kRouter, 5031, p::TcpAnswer::Accepted, 2600); },
         CapiCause::NoAnswer, "Ergebnis: keine Antwort von 192.168.178.1:5031",
         "4. Verbindung zu 192.168.178.1:5031: keine Antwort in 2,5 s"},
        {"a slow name, then nothing answers",
         [] {
             AddressIs("fritz.box");
             mem::AddHost("fritz.box", {{10, 0, 0, 9}});
             mem::SetLookupDelay("fritz.box", 1999);
         },
         CapiCause::NoAnswer, "Ergebnis: keine Antwort von 10.0.0.9:5031",
         "4. Verbindung zu 10.0.0.9:5031: keine Antwort in 2,5 s"},
        {"the network says unreachable",
         [] { mem::SetTcpAnswer(kRouter, 5031, p::TcpAnswer::Unreachable); }, CapiCause::NoAnswer,
         "Ergebnis: keine Antwort von 192.168.178.1:5031",
         "4. Verbindung zu 192.168.178.1:5031: das Netz meldet: nicht erreichbar"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        mem::Reset();
        SetUp();
        row.change();
        mem::TakeLookupTime();
        const CapiDiagnosis found = DiagnoseCapi();
        EXPECT_EQ(found.cause, row.cause);
        EXPECT_EQ(found.verdict, row.verdict);
        std::string lines;
        for (const std::string& line : found.found) lines += line + "\n";
        EXPECT_NE(lines.find(row.line + "\n"), std::string::npos) << lines;
        // Whatever the network does, the verdict comes within its time.
        EXPECT_LE(mem::TakeLookupTime() + mem::TakeConnectTime(), kMostSeconds * 1000u);
        // A fault is followed by what to do; the way through ends at the router.
        EXPECT_EQ(found.found.back().rfind("   Abhilfe: ", 0) == 0, row.cause != CapiCause::Reached)
            << lines;
    }
}

}  // namespace
}  // namespace orvano::testing
