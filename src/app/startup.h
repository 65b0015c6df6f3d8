// The process from its start to its end: one instance only, the settings file stamped, the
// name service probed, then the main window until it closes.
#pragma once

#include <string>

namespace orvano::app {

inline constexpr char kProgramVersion[] = "2.1.0.6";
inline constexpr char kProgramDate[] = "10122009";

// Probes of the name service: a web forum's host and the router vendor's web host. The forum
// is asked by its host name alone: a web address with scheme and slash never resolves.
inline constexpr char kNameServiceProbe1[] = "www.ip-phone-forum.de";
inline constexpr char kNameServiceProbe2[] = "www.avm.de";
// Starts the program without a working name service when given as its command.
inline constexpr char kBypassKeyword[] = "OHNE";

// Taken as the process starts and held until it ends: a second start is refused also before
// the first one's window exists.
inline constexpr char kInstanceMutexName[] = "Local\\Orvano.SingleInstance";

inline constexpr char kSecondInstanceText[] =
    "Fehler, das Programm kann nur 1 mal Gestartet werdern.";
inline constexpr char kSecondInstanceCaption[] = " Fehler! ";
inline constexpr char kNoNameServiceText[] = " DNS Server nicht gefunden, Programm beendet ";
inline constexpr char kNoNameServiceCaption[] = " Info DNS ";

// Runs the program with its command line (without the program's own path); the exit code,
// always 0.
int RunProgram(const std::string& commandLine);

}  // namespace orvano::app
