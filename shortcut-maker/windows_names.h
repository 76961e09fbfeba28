// The names Windows cannot hold as a shortcut's file name exactly as asked:
// a device's name, which opens the device instead of a file, and a name
// with a character a file name cannot have (on NTFS a colon even makes a
// hidden stream of another file). A shortcut is for Windows, so both
// builds refuse them.
#pragma once

#include <string>

namespace shortcut_maker {

// Whether "<name>.lnk" is a file name Windows keeps as it is. Reserved are
// CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9 (also with the digits ¹ ² ³),
// CONIN$ and CONOUT$, in any case, with or without an extension or blanks
// after them; not allowed are \ / : * ? " < > | and control characters.
bool IsNameWindowsCanHold(const std::string& name);

// What the user is told when a shortcut would carry such a name.
std::string WindowsNameRefusal(const std::string& name);

}  // namespace shortcut_maker
