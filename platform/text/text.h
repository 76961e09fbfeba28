// Character-counted text helpers. All text is UTF-8 in std::string; wherever
// the programs count characters (a name of 50 characters, its last 46, a
// one-character drive) they count code points through these helpers, so that
// no character is ever cut in two.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::text {

// Whether s is well-formed UTF-8: shortest forms only, no surrogates,
// nothing past U+10FFFF. Only such text survives ToUtf16 unchanged.
bool IsValidUtf8(std::string_view s);

// Number of characters (code points) in s. A stray byte that does not start
// a valid sequence counts as one character.
std::size_t Length(std::string_view s);

// The first n characters of s (all of s when it is shorter).
std::string Left(std::string_view s, std::size_t n);

// The last n characters of s (all of s when it is shorter).
std::string Right(std::string_view s, std::size_t n);

// The characters from the 0-based character position start, at most count of them.
std::string Mid(std::string_view s, std::size_t start, std::size_t count = std::string::npos);

// The last character of s, or empty text when s is empty.
std::string LastChar(std::string_view s);

// Removes leading and trailing space characters (spaces only).
std::string TrimSpaces(std::string_view s);

// True when s starts/ends with the given text, byte for byte.
bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);

// ASCII-only case folding, the comparison the registry uses for names.
std::string AsciiLower(std::string_view s);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// UTF-8 <-> UTF-16LE, for file formats that store Unicode strings. A byte
// that starts no well-formed sequence becomes U+FFFD, as does a lone
// surrogate on the way back.
std::u16string ToUtf16(std::string_view s);
std::string FromUtf16(std::u16string_view s);

// One code point (at most U+10FFFF) appended in UTF-8, or in UTF-16 as one
// unit or a surrogate pair.
void AppendUtf8(char32_t cp, std::string& out);
void AppendUtf16(char32_t cp, std::u16string& out);

}  // namespace platform::text
