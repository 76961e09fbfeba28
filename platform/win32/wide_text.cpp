#include "platform/win32/wide_text.h"

#include "platform/platform_error.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

std::optional<std::wstring> TryWide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int size = static_cast<int>(utf8.size());
    const int length =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
    return wide;
}

std::wstring Wide(const std::string& utf8) {
    auto wide = TryWide(utf8);
    if (!wide) throw PlatformError("The text \"" + utf8 + "\" is not valid UTF-8.");
    return *wide;
}

bool IsWholeUtf16(const std::wstring& utf16) {
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const wchar_t unit = utf16[i];
        if (unit >= 0xDC00 && unit <= 0xDFFF) return false;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 == utf16.size() || utf16[i + 1] < 0xDC00 || utf16[i + 1] > 0xDFFF) {
                return false;
            }
            ++i;
        }
    }
    return true;
}

std::string Utf8(const wchar_t* utf16, std::size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, utf16, size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16, size, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

std::string Utf8(const std::wstring& utf16) { return Utf8(utf16.data(), utf16.size()); }

std::string SystemMessage(unsigned long error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length ? Utf8(buffer, length) : std::string();
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

std::string ErrorText(unsigned long error) {
    const std::string text = SystemMessage(error);
    return text.empty() ? "error " + std::to_string(error) : text;
}

}  // namespace platform::win32
