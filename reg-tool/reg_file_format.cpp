#include "reg-tool/reg_file_format.h"

#include <cctype>
#include <cstdio>

#include "platform/registry/registry.h"
#include "reg-tool/key_name.h"
#include "reg-tool/utf16_escape.h"

namespace reg_tool {

namespace {

constexpr const char* kHeader5 = "Windows Registry Editor Version 5.00";
constexpr const char* kHeader4 = "REGEDIT4";
constexpr std::size_t kHexLineLimit = 77;

bool IsUtf16StringType(std::uint32_t type) {
    return type == platform::kRegSz || type == platform::kRegExpandSz ||
           type == platform::kRegMultiSz;
}

// ---- export ----

std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// Text that reads back to exactly these bytes from a "quoted" string.
bool IsPlainString(const Bytes& data) {
    if (data.empty() || data.back() != 0) return false;
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] == 0 || data[i] == '\r' || data[i] == '\n') return false;
    }
    return true;
}

Bytes Utf16Bytes(const Bytes& data) {
    const std::u16string wide = ToUtf16Escaped(std::string(data.begin(), data.end()));
    Bytes out;
    for (const char16_t u : wide) {
        out.push_back(static_cast<std::uint8_t>(u & 0xFF));
        out.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return out;
}

std::string HexList(std::string line, const Bytes& data) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::string piece{kDigits[data[i] >> 4], kDigits[data[i] & 0xF]};
        if (i + 1 < data.size()) piece += ',';
        if (line.size() + piece.size() > kHexLineLimit) {
            out += line + "\\\r\n";
            line = "  ";
        }
        line += piece;
    }
    return out + line + "\r\n";
}

std::string ValueLine(const Value& value) {
    const std::string name = value.name.empty() ? "@" : Quoted(value.name);
    char typeTag[32];
    if (value.type == platform::kRegSz && IsPlainString(value.data)) {
        return name + "=" + Quoted(std::string(value.data.begin(), value.data.end() - 1)) + "\r\n";
    }
    if (value.type == platform::kRegDword && value.data.size() == 4) {
        const std::uint32_t v = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                                static_cast<std::uint32_t>(value.data[3]) << 24;
        std::snprintf(typeTag, sizeof typeTag, "dword:%08x", v);
        return name + "=" + typeTag + "\r\n";
    }
    if (value.type == platform::kRegBinary) return HexList(name + "=hex:", value.data);
    std::snprintf(typeTag, sizeof typeTag, "=hex(%x):", value.type);
    const Bytes bytes = IsUtf16StringType(value.type) ? Utf16Bytes(value.data) : value.data;
    return HexList(name + typeTag, bytes);
}

// ---- import ----

struct Line {
    std::u16string text;
    std::size_t number;
    std::u16string ending;  // the line break that ended it, as it was
};

std::string Narrow(const std::u16string& s) { return FromUtf16Escaped(s); }

// The characters of Windows code page 1252 at 0x80..0x9F; the five it leaves
// undefined stand for the control characters of the same number.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::u16string FromCp1252(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.push_back(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t{b});
    }
    return out;
}

// A REGEDIT4 file is text in the Windows ANSI code page, as the editor that
// wrote such files used it.
bool IsRegedit4(std::string_view body) {
    const auto start = body.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && body.substr(start, 8) == kHeader4;
}

std::u16string Decode(const std::string& bytes, bool* ok) {
    *ok = true;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        if (bytes.size() % 2 != 0) *ok = false;
        std::u16string out;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
        return out;
    }
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF) {
        *ok = false;
        return {};
    }
    std::string_view body = bytes;
    if (body.size() >= 3 && body.substr(0, 3) == "\xEF\xBB\xBF") {
        body.remove_prefix(3);
    } else if (IsRegedit4(body)) {
        return FromCp1252(body);
    }
    return ToUtf16Escaped(body);
}

std::vector<Line> SplitLines(const std::u16string& text) {
    std::vector<Line> lines;
    std::u16string current;
    std::size_t number = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            const bool pair = c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
            lines.push_back({current, number++, pair ? u"\r\n" : std::u16string(1, c)});
            current.clear();
            if (pair) ++i;
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) lines.push_back({current, number, u""});
    return lines;
}

std::u16string Trim(const std::u16string& s) {
    const auto first = s.find_first_not_of(u" \t");
    if (first == std::u16string::npos) return {};
    const auto last = s.find_last_not_of(u" \t");
    return s.substr(first, last - first + 1);
}

class Parser {
  public:
    Parser(std::vector<Line> lines, std::string* error) : lines_(std::move(lines)), error_(error) {}

    std::optional<std::vector<RegFileEntry>> Parse() {
        std::size_t i = 0;
        while (i < lines_.size() && Trim(lines_[i].text).empty()) ++i;
        if (i == lines_.size()) return Fail(1, "the file is empty");
        const std::string header = Narrow(Trim(lines_[i].text));
        if (header == kHeader5) {
            unicode_ = true;
        } else if (header != kHeader4) {
            return Fail(lines_[i].number, "the file does not begin with \"" +
                                              std::string(kHeader5) + "\" or \"" + kHeader4 + "\"");
        }
        for (++i; i < lines_.size(); ++i) {
            number_ = lines_[i].number;
            std::u16string text = WithQuotedLineBreaks(&i);
            if (text.empty() || text[0] == u';') continue;
            // Long hex lists go on over several lines, each but the last ending in "\".
            while (!text.empty() && text.back() == u'\\' && text[0] != u'[' &&
                   i + 1 < lines_.size()) {
                text.pop_back();
                text += Trim(lines_[++i].text);
            }
            if (text.empty()) continue;
            if (!(text[0] == u'[' ? Section(text) : ValueEntry(text))) return std::nullopt;
        }
        return entries_;
    }

  private:
    // Whether a quoted string is open at the end of the text fed so far; fed
    // piece by piece, so that a long run of lines costs their length once.
    struct QuoteState {
        bool open = false;
        bool escaped = false;
        void Feed(std::u16string_view text) {
            for (const char16_t c : text) {
                if (escaped) {
                    escaped = false;
                } else if (open && c == u'\\') {
                    escaped = true;
                } else if (c == u'"') {
                    open = !open;
                }
            }
        }
    };

    // The trimmed line at *i; a value name or string whose closing quote is on
    // a later line (it holds a line break) takes in the lines up to it, with
    // their breaks as they were. *i ends at the last line taken in.
    std::u16string WithQuotedLineBreaks(std::size_t* i) {
        std::u16string text = lines_[*i].text;
        const auto first = text.find_first_not_of(u" \t");
        if (first == std::u16string::npos || text[first] != u'"') return Trim(text);
        QuoteState quote;
        quote.Feed(text);
        while (quote.open && *i + 1 < lines_.size()) {
            quote.Feed(lines_[*i].ending);
            text += lines_[*i].ending;
            ++*i;
            quote.Feed(lines_[*i].text);
            text += lines_[*i].text;
        }
        return Trim(text);
    }

    std::nullopt_t Fail(std::size_t line, const std::string& why) {
        *error_ = "line " + std::to_string(line) + ": " + why;
        return std::nullopt;
    }

    bool Error(const std::string& why) {
        Fail(number_, why);
        return false;
    }

    bool Section(const std::u16string& text) {
        if (text.back() != u']') return Error("a key line must end with \"]\"");
        std::u16string inner = text.substr(1, text.size() - 2);
        const bool remove = !inner.empty() && inner[0] == u'-';
        if (remove) inner.erase(0, 1);
        std::string why;
        const auto key = ParseKeyName(Narrow(inner), &why);
        if (!key) return Error(why.substr(why.find(' ') + 1));
        if (remove && key->path.empty()) return Error("the hive itself cannot be deleted");
        path_ = key->path;
        inSection_ = !remove;
        deleting_ = remove;
        RegFileEntry entry;
        entry.kind = remove ? RegFileEntry::Kind::kDeleteKey : RegFileEntry::Kind::kCreateKey;
        entry.path = path_;
        entries_.push_back(std::move(entry));
        return true;
    }

    // A quoted string starting at text[pos] (the opening quote); pos ends
    // after the closing quote.
    std::optional<std::string> QuotedString(const std::u16string& text, std::size_t* pos) {
        std::u16string out;
        for (std::size_t i = *pos + 1; i < text.size(); ++i) {
            const char16_t c = text[i];
            if (c == u'"') {
                *pos = i + 1;
                return Narrow(out);
            }
            if (c == u'\\') {
                if (i + 1 == text.size() || (text[i + 1] != u'\\' && text[i + 1] != u'"')) {
                    Error(
                        "a backslash in a quoted string must be written \\\\ (or \\\" for a "
                        "quote)");
                    return std::nullopt;
                }
                ++i;
            }
            out.push_back(text[i]);
        }
        Error("a quoted string has no closing quote");
        return std::nullopt;
    }

    bool ValueEntry(const std::u16string& text) {
        if (deleting_) return Error("a value cannot follow a key that is being deleted");
        if (!inSection_) return Error("a value must follow a [HKEY_CURRENT_USER\\...] line");
        RegFileEntry entry;
        entry.path = path_;
        std::size_t pos = 0;
        if (text[0] == u'@') {
            pos = 1;
        } else if (text[0] == u'"') {
            const auto name = QuotedString(text, &pos);
            if (!name) return false;
            if (name->empty())
                return Error("a value name cannot be empty (write @ for the default value)");
            entry.name = *name;
        } else {
            return Error("expected a key in [brackets], a \"value name\" or @");
        }
        const std::u16string rest = Trim(text.substr(pos));
        if (rest.empty() || rest[0] != u'=') return Error("expected \"=\" after the value name");
        const std::u16string data = Trim(rest.substr(1));
        if (!Data(data, &entry)) return false;
        entries_.push_back(std::move(entry));
        return true;
    }

    bool Data(const std::u16string& data, RegFileEntry* entry) {
        if (data == u"-") {
            entry->kind = RegFileEntry::Kind::kDeleteValue;
            return true;
        }
        entry->kind = RegFileEntry::Kind::kSetValue;
        if (!data.empty() && data[0] == u'"') {
            std::size_t pos = 0;
            const auto value = QuotedString(data, &pos);
            if (!value) return false;
            if (!Trim(data.substr(pos)).empty()) return Error("unexpected text after the string");
            entry->type = platform::kRegSz;
            entry->data.assign(value->begin(), value->end());
            entry->data.push_back(0);
            return true;
        }
        const std::string ascii = Narrow(data);
        std::string lower;
        for (const char c : ascii) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        if (lower.rfind("dword:", 0) == 0) {
            const std::string digits = lower.substr(6);
            if (digits.empty() || digits.size() > 8 ||
                digits.find_first_not_of("0123456789abcdef") != std::string::npos)
                return Error("dword: must be followed by one to eight hexadecimal digits");
            const auto v = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
            entry->type = platform::kRegDword;
            entry->data = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                           static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
            return true;
        }
        std::size_t listStart = 0;
        if (lower.rfind("hex:", 0) == 0) {
            entry->type = platform::kRegBinary;
            listStart = 4;
        } else if (lower.rfind("hex(", 0) == 0) {
            const std::size_t close = lower.find("):");
            const std::string code = close == std::string::npos ? "" : lower.substr(4, close - 4);
            if (code.empty() || code.size() > 8 ||
                code.find_first_not_of("0123456789abcdef") != std::string::npos)
                return Error("hex( must be followed by a hexadecimal type number and \"):\"");
            entry->type = static_cast<std::uint32_t>(std::stoul(code, nullptr, 16));
            listStart = close + 2;
        } else {
            return Error("unknown data \"" + ascii +
                         "\" (expected \"text\", dword:, hex:, hex(N): or -)");
        }
        Bytes bytes;
        if (!HexBytes(lower.substr(listStart), &bytes)) return false;
        if (!unicode_ && IsUtf16StringType(entry->type)) {
            const std::string narrow = Narrow(FromCp1252(std::string(bytes.begin(), bytes.end())));
            bytes.assign(narrow.begin(), narrow.end());
        } else if (IsUtf16StringType(entry->type)) {
            if (bytes.size() % 2 != 0)
                return Error("text data in hex must have an even number of bytes");
            std::u16string wide;
            for (std::size_t i = 0; i < bytes.size(); i += 2)
                wide.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
            const std::string narrow = Narrow(wide);
            bytes.assign(narrow.begin(), narrow.end());
        }
        entry->data = std::move(bytes);
        return true;
    }

    bool HexBytes(const std::string& list, Bytes* bytes) {
        std::size_t i = 0;
        auto skipBlanks = [&] {
            while (i < list.size() && (list[i] == ' ' || list[i] == '\t')) ++i;
        };
        skipBlanks();
        while (i < list.size()) {
            const std::size_t start = i;
            while (i < list.size() && std::isxdigit(static_cast<unsigned char>(list[i]))) ++i;
            if (i == start || i - start > 2)
                return Error("bytes in a hex list are one or two hexadecimal digits");
            bytes->push_back(
                static_cast<std::uint8_t>(std::stoul(list.substr(start, i - start), nullptr, 16)));
            skipBlanks();
            if (i == list.size()) break;
            if (list[i] != ',') return Error("bytes in a hex list are separated by commas");
            ++i;
            skipBlanks();
        }
        return true;
    }

    std::vector<Line> lines_;
    std::string* error_;
    std::vector<RegFileEntry> entries_;
    std::size_t number_ = 0;
    std::string path_;
    bool inSection_ = false;
    bool deleting_ = false;
    bool unicode_ = false;
};

}  // namespace

std::string ExportRegFile(const std::vector<KeyContents>& keys) {
    std::string text = std::string(kHeader5) + "\r\n\r\n";
    for (const auto& key : keys) {
        text += "[" + FullKeyName(key.path) + "]\r\n";
        for (const auto& value : key.values) text += ValueLine(value);
        text += "\r\n";
    }
    std::string out = "\xFF\xFE";
    for (const char16_t u : ToUtf16Escaped(text)) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

std::optional<std::vector<RegFileEntry>> ParseRegFile(const std::string& bytes,
                                                      std::string* error) {
    bool ok = true;
    const std::u16string text = Decode(bytes, &ok);
    if (!ok) {
        *error = "the file is neither UTF-16LE with a byte-order mark nor UTF-8 text";
        return std::nullopt;
    }
    return Parser(SplitLines(text), error).Parse();
}

}  // namespace reg_tool
