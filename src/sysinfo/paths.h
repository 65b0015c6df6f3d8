// Path and text routines shared by the main window and the deployment dialogs. All work on
// ANSI text in the system code page.
#pragma once

#include <string>

namespace orvano::sysinfo {

// Upper case by the system's tables ("ä" becomes "Ä").
std::string ToUpper(const std::string& text);
// The folder of the running program, with its trailing "\".
std::string ProgramFolder();
// The text after the last ":" or "\", the whole text when there is neither.
std::string FileNamePart(const std::string& path);
// The text up to and including the last ":" or "\", "" when there is neither.
std::string FolderPart(const std::string& path);
// Brings the path into folder form, ending in exactly one "\". An empty path takes the
// buffer's text first; a non-empty buffer gets the result too. -1 when the path changed.
int ToFolderForm(std::string& path, std::string& buffer);
int ToFolderForm(std::string& path);

// Mask 1 hides the user's name (in any letter case) in the path behind as many "*"; any other
// mask puts the name
// back for every run of exactly that many "*". 1 when the path changed. A blank or unknown
// user name changes nothing.
int MaskUserName(std::string& path, int mask);
// 1 when the path contains the user's name, in any letter case.
int PathHasUserName(const std::string& path);

}  // namespace orvano::sysinfo
