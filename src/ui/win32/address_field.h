// The IP address control ("SysIPAddress32") as a text field. Its four number fields are set
// and read with the control's own messages: WM_SETTEXT is not honoured everywhere (Wine
// ignores it), so the plain window text would show and return nothing.
#pragma once

#include <windows.h>

#include <string>

namespace orvano::ui::win32 {

bool IsAddressField(const std::string& className);
bool IsAddressField(HWND control);

// Dotted text "a.b.c.d" (each 0..255) fills the four fields; an empty text clears them. Any
// other text clears the fields and is offered to the control as its window text.
void SetAddressText(HWND control, const std::string& text);
// "a.b.c.d" with blank fields read as 0; "" when every field is blank.
std::string GetAddressText(HWND control);

// Gives the four number fields the largest size of their font's face in which "255" fits a
// field, when it does not fit as they are: their edits take no character beyond their width
// and show a longer number cut, and Wine's control makes them a quarter of its width less
// eight pixels, narrower than Windows' own. Used under Wine only (HelpsAddressField).
void FitAddressFields(HWND control);

// Makes typing an address run on from field to field as on Windows: a field the control moves
// on to has its number selected, so that the next digits replace it, and a "." typed right
// after such a move is taken as the separator already passed. Wine's control moves on without
// selecting, so that "192.168.178.1" typed over a filled control kept the old numbers. Used
// under Wine only: Windows' control does this itself (HelpsAddressField).
void FollowTyping(HWND control);

}  // namespace orvano::ui::win32
