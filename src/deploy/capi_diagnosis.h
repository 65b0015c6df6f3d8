// What stands between the fax application and the router, looked at in the order the fax
// application meets it: the capi2032.dll it loads, the registry view that library reads, the
// address and port stored there, and the router's answer on that port. The test tool shows the
// verdict in its first line and a line per step below it, so that it can be read out on the
// telephone. It ends within kMostSeconds whatever the network does.
#pragma once

#include <string>
#include <vector>

namespace orvano::deploy {

// The first thing found wrong, or none.
enum class CapiCause {
    Reached,
    NoLibrary,         // no capi2032.dll where the fax application looks
    IsdnLibrary,       // the ISDN adapter's library the deployment dialog makes
    OtherLibrary,      // a CAPI library of another maker
    OtherView,         // what the client's view lacks is in the other view
    NoAddress,         // no address in the client's view
    AddressWrongType,  // an address stored under another type than REG_SZ
    BadAddress,        // digits and dots that make no IPv4 address, or nothing at all
    UnknownName,       // a host name the name service does not know
    NameServerSilent,  // the name service gave no answer before its deadline
    NoPort,
    PortWrongType,   // a Port stored under another type than a 4-byte REG_DWORD
    PortOutOfRange,  // a Port of 0 or above 65535
    Refused,         // the router is there, its CAPI over TCP is off
    NoAnswer,        // nothing answered at the address before the deadline, or unreachable
};

inline constexpr char kVerdictReached[] = "Ergebnis: Router erreichbar";
inline constexpr char kVerdictNoLibrary[] = "Ergebnis: capi2032.dll fehlt";
inline constexpr char kVerdictIsdnLibrary[] =
    "Ergebnis: capi2032.dll für ISDN-Adapter statt CAPI over TCP";
inline constexpr char kVerdictOtherLibrary[] =
    "Ergebnis: capi2032.dll eines anderen Herstellers statt CAPI over TCP";
inline constexpr char kVerdictOtherView[] =
    "Ergebnis: Router-Eintrag nur im anderen Registry-Zweig";
inline constexpr char kVerdictNoAddress[] = "Ergebnis: keine IP-Adresse des Routers eingetragen";
inline constexpr char kVerdictAddressWrongType[] = "Ergebnis: IP-Adresse hat den falschen Typ";
inline constexpr char kVerdictBadAddress[] = "Ergebnis: IP-Adresse ungültig";
inline constexpr char kVerdictUnknownName[] = "Ergebnis: Name des Routers unbekannt";
inline constexpr char kVerdictNameServerSilent[] = "Ergebnis: DNS antwortet nicht";
inline constexpr char kVerdictNoPort[] = "Ergebnis: kein Port eingetragen";
inline constexpr char kVerdictPortWrongType[] = "Ergebnis: Port hat den falschen Typ";
inline constexpr char kVerdictPortOutOfRange[] = "Ergebnis: Port nicht zwischen 1 und 65535";
inline constexpr char kVerdictRefused[] = "Ergebnis: Router antwortet, CAPI über TCP ist aus";
// Followed by the address and port tried, "192.168.178.1:5031".
inline constexpr char kVerdictNoAnswer[] = "Ergebnis: keine Antwort von ";

// The file version of the ISDN adapter's library that the deployment dialog writes; any other
// capi2032.dll without the client's marker is taken for another maker's.
inline constexpr char kIsdnLibraryVersion[] = "5.10.0.0";

// Deadlines: the name service, then the connection; together within kMostSeconds.
inline constexpr unsigned kLookupDeadlineMs = 2000;
inline constexpr unsigned kConnectDeadlineMs = 2500;
inline constexpr unsigned kMostSeconds = 5;

struct CapiDiagnosis {
    CapiCause cause = CapiCause::Reached;
    std::string verdict;             // the first line
    std::vector<std::string> found;  // what each step found, and what to do about the first fault
};

// Looks, step by step, and stops at the first fault.
CapiDiagnosis DiagnoseCapi();

}  // namespace orvano::deploy
