#include "deploy/capi_diagnosis.h"

#include <cstdint>
#include <utility>

#include "config/client_registry.h"
#include "config/endpoint.h"
#include "config/name_resolution.h"
#include "config/registry.h"
#include "deploy/capi_locations.h"
#include "platform/osinfo.h"
#include "platform/system.h"
#include "platform/tcp.h"
#include "sysinfo/text.h"

namespace orvano::deploy {

namespace {

namespace p = orvano::platform;
using config::RegistryView;
using config::ValueRead;

constexpr int kArchitectureItanium = 6, kArchitectureX64 = 9, kArchitectureArm64 = 12;

bool Windows64() {
    const int architecture = p::NativeProcessorArchitecture();
    return p::IsWow64Process() || architecture == kArchitectureX64 ||
           architecture == kArchitectureItanium || architecture == kArchitectureArm64;
}

// The view the client reads: a 32-bit process on 64-bit Windows is sent to Wow6432Node.
RegistryView ClientView() {
    return p::IsWow64Process() ? RegistryView::Wow6432Node : RegistryView::Native;
}

RegistryView OtherView(RegistryView view) {
    return view == RegistryView::Native ? RegistryView::Wow6432Node : RegistryView::Native;
}

// "HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\AVM": the key above the client's two keys.
std::string VendorKey(RegistryView view) {
    const std::string key = config::PortKey(view);
    return "HKEY_LOCAL_MACHINE\\" + key.substr(0, key.rfind('\\'));
}

std::string TypeName(std::uint32_t type, std::uint32_t size) {
    switch (type) {
        case p::kRegNone:
            return "REG_NONE";
        case p::kRegSz:
            return "REG_SZ (Text)";
        case p::kRegExpandSz:
            return "REG_EXPAND_SZ";
        case p::kRegBinary:
            return "REG_BINARY";
        case p::kRegDword:
            return "REG_DWORD mit " + std::to_string(size) + " Bytes";
        case p::kRegMultiSz:
            return "REG_MULTI_SZ";
        case 11:
            return "REG_QWORD";
        default:
            return "Typ " + std::to_string(type);
    }
}

std::string StoredType(const char* key, const char* value) {
    std::uint32_t type = 0, size = 0;
    config::ReadValueType(config::kLocalMachine, key, value, type, size);
    return TypeName(type, size);
}

// The places the fax application loads capi2032.dll from, in its order.
struct Place {
    const char* row;  // the deployment dialog's row that writes there
    std::string name, folder;
};

class Diagnosis {
  public:
    CapiDiagnosis Run() {
        if (Library() && View() && Address() && Port()) Router();
        return std::move(result_);
    }

  private:
    bool Fail(CapiCause cause, const std::string& verdict, const std::string& remedy) {
        result_.cause = cause;
        result_.verdict = verdict;
        Found("   Abhilfe: " + remedy);
        return false;
    }
    void Found(const std::string& line) { result_.found.push_back(line); }

    // 1: the first capi2032.dll of the fax application's folder and the system folder as this
    // process sees it (SysWOW64 for a 32-bit process on 64-bit Windows).
    bool Library() {
        Place places[2] = {{" Ordner Fritz!: ", "Faxprogramm-Ordner", ""},
                           {" Ordner System32: ", "Systemordner", ""}};
        const bool faxFolder = FaxProgramFolder(places[0].folder) == 1;
        if (p::IsWow64Process())
            SysWow64Folder(places[1].folder);
        else
            System32Folder(places[1].folder);
        if (!faxFolder) Found("1. Faxprogramm-Ordner: nicht eingetragen oder nicht vorhanden");
        for (const Place& place : places) {
            if (place.folder.empty()) continue;
            const CapiKind kind = CapiKindOf(place.folder);
            std::string version, product;
            CapiFileVersion(place.folder, version, product);
            const std::string file = CapiFileIn(place.folder);
            const std::string remedy = CreateClientIn(place.row);
            const std::string of = version.empty() ? "" : ", Version " + version;
            switch (kind) {
                case CapiKind::None:
                    Found("1. " + place.name + ": " + place.folder + " ohne capi2032.dll");
                    continue;
                case CapiKind::OverTcp:
                    Found("1. capi2032.dll: " + file + ", CAPI over TCP" + of);
                    return true;
                case CapiKind::Other:
                    if (version == kIsdnLibraryVersion) {
                        Found("1. capi2032.dll: " + file + ", für ISDN-Adapter" + of);
                        return Fail(CapiCause::IsdnLibrary, kVerdictIsdnLibrary, remedy);
                    }
                    Found("1. capi2032.dll: " + file + ", anderer Hersteller" + of);
                    return Fail(CapiCause::OtherLibrary, kVerdictOtherLibrary, remedy);
            }
        }
        return Fail(CapiCause::NoLibrary, kVerdictNoLibrary, CreateClientIn(places[1].row));
    }

    // The deployment dialog writes the client over whatever lies there, keeping another
    // maker's file; on 64-bit Windows its System32 row writes into SysWOW64.
    static std::string CreateClientIn(const char* row) {
        return std::string(
                   "in Orvano unter » Capi2032.dll erstellen « » Erstellen « klicken, "
                   "dann in der Zeile »") +
               row + "« » capi2032 CAPIoTCP erstellen «";
    }

    // 2: the view the library reads; what it lacks may stand in the other view.
    bool View() {
        view_ = ClientView();
        const bool windows64 = Windows64();
        const char* process = !windows64 ? "32-Bit-Windows"
                              : view_ == RegistryView::Wow6432Node
                                  ? "32-Bit-Programm auf 64-Bit-Windows"
                                  : "64-Bit-Programm";
        Found("2. Registry-Zweig: " + VendorKey(view_) + " (" + process + ")");
        std::string text, hex;
        std::uint32_t number = 0;
        addressRead_ =
            config::ReadStringValue(config::kLocalMachine, config::RouterAddressKey(view_),
                                    config::client::kAddressValue, text);
        address_ = text;
        portRead_ = config::ReadDword(config::kLocalMachine, config::PortKey(view_),
                                      config::client::kPortValue, hex, number);
        port_ = number;
        if (!windows64) return true;
        const RegistryView other = OtherView(view_);
        std::uint32_t type = 0, size = 0;
        const bool otherAddress =
            addressRead_ == ValueRead::Missing &&
            config::ReadValueType(config::kLocalMachine, config::RouterAddressKey(other),
                                  config::client::kAddressValue, type, size);
        const bool otherPort = portRead_ == ValueRead::Missing &&
                               config::ReadValueType(config::kLocalMachine, config::PortKey(other),
                                                     config::client::kPortValue, type, size);
        if (!otherAddress && !otherPort) return true;
        Found("2. Nur in " + VendorKey(other) + ": " +
              (otherAddress && otherPort ? "IP-Adresse und Port"
               : otherAddress            ? "IP-Adresse"
                                         : "Port"));
        return Fail(
            CapiCause::OtherView, kVerdictOtherView,
            std::string("in Orvano unter » IP-Adresse « und » Port « ") +
                (view_ == RegistryView::Wow6432Node ? "den Haken » Wow6432Node « setzen und "
                                                    : "") +
                "im Bereich »" + config::SectionTitle(view_) + "« eintragen");
    }

    std::string Section() const {
        return std::string("im Bereich »") + config::SectionTitle(view_) + "«";
    }

    // 3: the address, the client's first entry: a dotted IPv4 address or a name that resolves.
    bool Address() {
        const std::string remedy =
            "in Orvano unter » IP-Adresse « " + Section() + " die Adresse des Routers eintragen";
        if (addressRead_ == ValueRead::Missing) {
            Found("3. IP-Adresse: fehlt");
            return Fail(CapiCause::NoAddress, kVerdictNoAddress, remedy);
        }
        if (addressRead_ == ValueRead::WrongType) {
            Found("3. IP-Adresse: falscher Typ " +
                  StoredType(config::RouterAddressKey(view_), config::client::kAddressValue));
            return Fail(CapiCause::AddressWrongType, kVerdictAddressWrongType, remedy);
        }
        const std::string text = sysinfo::Trimmed(address_);
        const std::string first = text.substr(0, text.find_first_of(" ,;"));
        const bool digitsAndDots =
            first.find_first_not_of(sysinfo::kAddressCharacters) == std::string::npos;
        if (first.empty() || (digitsAndDots && !config::FromDotted(first, ip_))) {
            Found("3. IP-Adresse: »" + address_ + "« ist keine IPv4-Adresse");
            return Fail(CapiCause::BadAddress, kVerdictBadAddress, remedy);
        }
        if (digitsAndDots) {
            Found("3. IP-Adresse: " + first);
            return true;
        }
        std::vector<p::Ipv4> addresses;
        switch (p::GetHostByNameWithin(first, addresses, kLookupDeadlineMs)) {
            case p::LookupResult::Found:
                ip_ = addresses.front();
                Found("3. IP-Adresse: " + first + " = " + config::Dotted(ip_));
                return true;
            case p::LookupResult::NotFound:
                Found("3. IP-Adresse: der Name " + first + " ist unbekannt");
                return Fail(CapiCause::UnknownName, kVerdictUnknownName, remedy);
            case p::LookupResult::NoAnswer:
                break;
        }
        Found("3. IP-Adresse: " + first + ", DNS antwortet nicht in " +
              std::to_string(kLookupDeadlineMs / 1000) + " s");
        return Fail(CapiCause::NameServerSilent, kVerdictNameServerSilent,
                    "Netzverbindung prüfen, oder in Orvano unter » IP-Adresse « " + Section() +
                        " die Adresse als Zahlen eintragen");
    }

    bool Port() {
        const std::string remedy = "in Orvano unter » Port « " + Section() + " die Vorgabe » " +
                                   config::kDefaultPortText + " « (5031) eintragen";
        if (portRead_ == ValueRead::Missing) {
            Found("3. Port: fehlt");
            return Fail(CapiCause::NoPort, kVerdictNoPort, remedy);
        }
        if (portRead_ == ValueRead::WrongType) {
            Found("3. Port: falscher Typ " +
                  StoredType(config::PortKey(view_), config::client::kPortValue));
            return Fail(CapiCause::PortWrongType, kVerdictPortWrongType, remedy);
        }
        Found("3. Port: " + std::to_string(port_) + " (" + config::DwordText(port_) + ")");
        if (port_ == 0 || port_ > 65535)
            return Fail(CapiCause::PortOutOfRange, kVerdictPortOutOfRange, remedy);
        return true;
    }

    // 4: a TCP connection to the address and port, with its deadline.
    void Router() {
        const std::string target = config::Dotted(ip_) + ":" + std::to_string(port_);
        const std::string line = "4. Verbindung zu " + target + ": ";
        switch (p::ConnectWithin(ip_, static_cast<std::uint16_t>(port_), kConnectDeadlineMs)) {
            case p::TcpAnswer::Accepted:
                Found(line + "angenommen");
                result_.cause = CapiCause::Reached;
                result_.verdict = kVerdictReached;
                return;
            case p::TcpAnswer::Refused:
                Found(line + "abgelehnt");
                Fail(CapiCause::Refused, kVerdictRefused,
                     "an einem Telefon der FRITZ!Box #96*3* wählen, wie Orvano unten links "
                     "zeigt: » Mit #96*3* CAPIoTCP starten (Orvano ein) «");
                return;
            case p::TcpAnswer::NoAnswer:
                Found(line + "keine Antwort in " + TenthsOfSeconds(kConnectDeadlineMs) + " s");
                break;
            case p::TcpAnswer::Unreachable:
                Found(line + "das Netz meldet: nicht erreichbar");
                break;
        }
        Fail(CapiCause::NoAnswer, kVerdictNoAnswer + target,
             "falsche Adresse, Router aus oder eine Firewall dazwischen: Adresse " +
                 config::Dotted(ip_) + " " + Section() + " prüfen");
    }

    static std::string TenthsOfSeconds(unsigned milliseconds) {
        return std::to_string(milliseconds / 1000) + "," +
               std::to_string(milliseconds % 1000 / 100);
    }

    CapiDiagnosis result_;
    RegistryView view_ = RegistryView::Native;
    ValueRead addressRead_ = ValueRead::Missing, portRead_ = ValueRead::Missing;
    std::string address_;
    std::uint32_t port_ = 0;
    p::Ipv4 ip_{};
};

}  // namespace

CapiDiagnosis DiagnoseCapi() {
    return Diagnosis().Run();
}

}  // namespace orvano::deploy
