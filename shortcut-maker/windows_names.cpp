#include "shortcut-maker/windows_names.h"

#include <string_view>

#include "platform/text/text.h"

namespace shortcut_maker {
namespace {

constexpr std::string_view kForbidden = "\\/:*?\"<>|";

bool IsDeviceName(std::string_view base) {
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (platform::text::EqualsIgnoreCase(base, device)) return true;
    }
    if (base.size() < 4) return false;
    const std::string_view stem = base.substr(0, 3);
    if (!platform::text::EqualsIgnoreCase(stem, "COM") &&
        !platform::text::EqualsIgnoreCase(stem, "LPT")) {
        return false;
    }
    const std::string_view digit = base.substr(3);
    // "1" to "9", or superscript one, two and three in UTF-8.
    if (digit.size() == 1) return digit[0] >= '1' && digit[0] <= '9';
    return digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

}  // namespace

bool IsNameWindowsCanHold(const std::string& name) {
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || kForbidden.find(c) != std::string_view::npos) return false;
    }
    // The system looks at the part before the first dot, blanks after it
    // ignored: "nul.txt" and "COM1 " are devices too.
    std::string_view base(name);
    base = base.substr(0, base.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    return !IsDeviceName(base);
}

std::string WindowsNameRefusal(const std::string& name) {
    return "A shortcut called \"" + name +
           "\" cannot be made: Windows cannot keep that name for a file. Names such as CON, "
           "NUL, AUX, PRN, COM1 and LPT1 belong to devices, and a name cannot hold a colon or "
           "any of * ? \" < > |. Choose another name, or rename the folder.";
}

}  // namespace shortcut_maker
