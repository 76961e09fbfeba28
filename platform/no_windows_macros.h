// <windows.h> defines macros over names the seam's members carry
// (DeleteFile -> DeleteFileA, RegOpenKeyEx -> RegOpenKeyExA, MessageBox, ...).
// Every seam header includes this one, so a unit that includes <windows.h>
// first still sees the members under their own names. Backend code calls the
// Windows functions by their explicit W names, never through these macros.
// No include guard: including it again after <windows.h> undoes them again.

#ifdef _WIN32
#undef DeleteFile
#undef GetDriveType
#undef RegOpenKeyEx
#undef RegQueryValueEx
#undef RegSetValueEx
#undef RegCreateKeyEx
#undef RegDeleteValue
#undef RegDeleteKey
#undef RegEnumKey
#undef RegEnumValue
#undef MessageBox
#undef ShellExecute
#undef HtmlHelp
#undef CreateFolder
#undef GetAttr
#endif
