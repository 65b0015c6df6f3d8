// capi2032.dll at its three places: where they are, what lies there (another CAPI library or
// the CAPI-over-TCP client) and its versions; and the file operations behind the deployment
// dialog: writing one of the program's own, deleting, and keeping a copy of one that is not
// ours so that it can be put back. Nothing here shows a window.
#pragma once

#include <optional>
#include <string>

namespace orvano::deploy {

// The places a capi2032.dll can lie in; the numbers are the program's place codes.
enum class CapiPlace { FaxProgram = 1, SysWow64 = 2, System32 = 3 };

// The order the places are shown in, and every loop over them takes.
inline constexpr CapiPlace kPlaceOrder[] = {CapiPlace::FaxProgram, CapiPlace::System32,
                                            CapiPlace::SysWow64};

// For the 32-bit program on 64-bit Windows, System32 is SysWOW64: the file system sends the
// program's System32 paths to the place named here, and the program leaves that on. The two
// places are then one folder, so a file written, deleted or kept at one shows at the other.
inline constexpr CapiPlace kSystem32UnderWow64 = CapiPlace::SysWow64;

// The order a search for the first place holding something takes (also the order of the codes):
// the folder System32 is sent to comes before System32, so that where both name one folder it
// is found under the name it has on disk, the one Explorer shows.
inline constexpr CapiPlace kSearchOrder[] = {CapiPlace::FaxProgram, kSystem32UnderWow64,
                                             CapiPlace::System32};

// What a place holds: no capi2032.dll, another CAPI library, or the CAPI-over-TCP client.
enum class CapiKind { None = 0, Other = 1, OverTcp = 2 };

inline constexpr char kCapiFileName[] = "capi2032.dll";
// The client library carries the name of its own registry key.
inline constexpr char kCapiOverTcpMarker[] = "Software\\AVM\\CAPIoTCP";

// 1 when the folder exists; the argument then becomes the cleaned path with one "\".
int CheckFolder(std::string& folder);
int System32Folder(std::string& folder);
int SysWow64Folder(std::string& folder);
// The fax application's program folder, when it is stored and there.
int FaxProgramFolder(std::string& folder);
// The folder of a place; 0 and "" for an unknown place or one that is missing.
int CapiLocationFolder(CapiPlace place, std::string& folder);
// The kind of the capi2032.dll in the folder.
CapiKind CapiKindOf(const std::string& folder);
// The path of the folder's capi2032.dll: the folder as given, then the file name.
std::string CapiFileIn(const std::string& folder);
// 1 when the place holds a capi2032.dll of the wanted kind.
int CapiKindAt(CapiPlace place, CapiKind wantedKind);
// The first place in kSearchOrder holding a capi2032.dll; none when no place does.
std::optional<CapiPlace> FirstCapiLocation();
// The first place in kSearchOrder holding the CAPI-over-TCP client; none when no place does.
std::optional<CapiPlace> FirstCapiOverTcpLocation();
// File and product version of the folder's capi2032.dll, as "3.8.1.0".
int CapiFileVersion(const std::string& folder, std::string& fileVersion,
                    std::string& productVersion);
// "file / product", with " CoT" for the CAPI-over-TCP client; 0 and "" when unreadable.
int CapiVersionText(const std::string& folder, std::string& text);

// A capi2032.dll that is not one of the program's own (the vendor's working client, say) is
// never destroyed: before it is replaced or deleted it is copied beside itself, and the copy
// can be put back. Each different file that had to go is kept: the first copy at a place is
// kKeptCopyName, later ones capi2032.dll.gesichert2, .gesichert3, ...; the highest number is
// the newest, and the newest goes back first. The name is no .dll, so that nothing loads it.
inline constexpr char kKeptCopyName[] = "capi2032.dll.gesichert";

// 1 when the bytes are exactly one of the program's own capi2032.dll payloads.
int IsOwnCapi(const std::string& bytes);

// The kept copy the restore button puts back: the newest at the first place in kSearchOrder
// whose copy can go back (capi2032.dll there is absent or one of ours), else the newest at the
// first place holding a copy at all, which cannot go back. Once one is back, the next place's
// copy comes up.
struct KeptCopy {
    std::string path;  // "" when no place holds a copy
    bool restorable = false;
};
KeptCopy KeptCopyToRestore();

// What became of a create.
enum class Created {
    kWritten,     // the file is there now
    kNotTried,    // an unknown or missing place, or no payload: nothing to tell
    kStays,       // a file of the name is there and stays; the problem line says why
    kNotWritten,  // nothing could be written and no file is there: the user is to be told
};

// Writes `payload`, one of the program's capi2032.dll payloads (none for an unknown version),
// into `place`. No question is asked before a file is overwritten, but one that is not ours is
// kept first; when no copy can be made, or the file cannot be replaced (in use, no rights), it
// stays as it was and `problem` gets the line that says why (else "").
Created CreateCapiFile(CapiPlace place, const char* payload, std::string& problem);

// Deletes the place's capi2032.dll, read-only or not, after keeping a copy of one that is
// not ours; 1 when it is gone. No message: when the file stays (in use, no rights, no copy
// could be kept), `problem`, when given, gets the line that says why.
int DeleteCapi(CapiPlace place, std::string* problem = nullptr);

// Moves the kept copy of KeptCopyToRestore back over capi2032.dll, with the attributes and
// times it was kept with; 1 when it is back. Otherwise `problem`, when given, gets the line
// that says why.
int RestoreKeptCopy(std::string* problem = nullptr);

}  // namespace orvano::deploy
