// UTF-8 inside the programs, UTF-16 at the Windows API.
#pragma once

#include <optional>
#include <string>

namespace platform::win32 {

// Throws PlatformError for text that is not valid UTF-8: guessing would hand
// Windows a different name than the user gave.
std::wstring Wide(const std::string& utf8);
// The same, as nullopt instead of an exception.
std::optional<std::wstring> TryWide(const std::string& utf8);

// Whether every surrogate is one of a pair: only such text has an exact
// UTF-8 form.
bool IsWholeUtf16(const std::wstring& utf16);

// UTF-16 that is not well formed (a lone surrogate) keeps U+FFFD in its place.
std::string Utf8(const std::wstring& utf16);
std::string Utf8(const wchar_t* utf16, std::size_t length);

// The system's text for a Win32 error number, without the trailing newline;
// empty when the system has none.
std::string SystemMessage(unsigned long error);
// The same, or "error N" when the system has no text.
std::string ErrorText(unsigned long error);

}  // namespace platform::win32
