#include "reg-tool/reg_file_format.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

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

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool IsHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

int HexValue(char16_t c) {
    if (c <= u'9') return c - u'0';
    return (c | 0x20) - u'a' + 10;
}

void SkipBlanks(const std::u16string& text, std::size_t* pos) {
    while (*pos < text.size() && IsBlank(text[*pos])) ++*pos;
}

// Whether only blanks, or blanks and a ";" comment, follow pos.
bool OnlyCommentFrom(const std::u16string& text, std::size_t pos) {
    SkipBlanks(text, &pos);
    return pos == text.size() || text[pos] == u';';
}

// ASCII prefix, case-insensitive.
bool StartsWithWord(const std::u16string& text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? text[i] + 32 : text[i];
        if (c != static_cast<char16_t>(word[i])) return false;
    }
    return true;
}

class Parser {
  public:
    Parser(std::vector<Line> lines, std::string* error) : lines_(std::move(lines)), error_(error) {}

    std::optional<std::vector<RegFileEntry>> Parse() {
        while (i_ < lines_.size() && Trim(lines_[i_].text).empty()) ++i_;
        if (i_ == lines_.size()) return Fail(1, "the file is empty");
        const std::string header = Narrow(Trim(lines_[i_].text));
        if (header == kHeader5) {
            unicode_ = true;
        } else if (header != kHeader4) {
            return Fail(lines_[i_].number, "the file does not begin with \"" +
                                               std::string(kHeader5) + "\" or \"" + kHeader4 +
                                               "\"");
        }
        for (++i_; i_ < lines_.size(); ++i_) {
            number_ = lines_[i_].number;
            std::u16string text = WithQuotedLineBreaks();
            if (text.empty() || text[0] == u';') continue;
            if (text[0] != u'[' && text[0] != u'"' && text[0] != u'@') text = JoinedLines(text);
            if (text.empty()) continue;
            if (!(text[0] == u'[' ? Section(text) : ValueEntry(text))) return std::nullopt;
        }
        return entries_;
    }

  private:
    // Whether a quoted string is open at the end of the text fed so far; fed
    // piece by piece, so that a long run of lines costs their length once. A
    // ";" outside quotes starts a comment, whose quotes open nothing.
    struct QuoteState {
        bool open = false;
        bool escaped = false;
        bool comment = false;
        void Feed(std::u16string_view text) {
            for (const char16_t c : text) {
                if (comment) return;
                if (escaped) {
                    escaped = false;
                } else if (open && c == u'\\') {
                    escaped = true;
                } else if (c == u'"') {
                    open = !open;
                } else if (!open && c == u';') {
                    comment = true;
                }
            }
        }
    };

    // The trimmed line at i_; a value name or string whose closing quote is on
    // a later line (it holds a line break) takes in the lines up to it, with
    // their breaks as they were. i_ ends at the last line taken in.
    std::u16string WithQuotedLineBreaks() {
        std::u16string text = lines_[i_].text;
        const auto first = text.find_first_not_of(u" \t");
        if (first == std::u16string::npos || text[first] != u'"') return Trim(text);
        QuoteState quote;
        quote.Feed(text);
        while (quote.open && i_ + 1 < lines_.size()) {
            quote.Feed(lines_[i_].ending);
            text += lines_[i_].ending;
            ++i_;
            quote.Feed(lines_[i_].text);
            text += lines_[i_].text;
        }
        return Trim(text);
    }

    // A line that is neither a key nor a value and ends in "\" goes on in the
    // next line; such a line of a lone "\" before a blank line leaves nothing.
    std::u16string JoinedLines(std::u16string text) {
        while (!text.empty() && text.back() == u'\\' && i_ + 1 < lines_.size()) {
            text.pop_back();
            text += Trim(lines_[++i_].text);
        }
        return text;
    }

    // The next line a hex list goes on in, skipping blank and comment lines;
    // nullopt at the end of the file.
    std::optional<std::u16string> ContinuationLine() {
        while (i_ + 1 < lines_.size()) {
            const std::u16string text = Trim(lines_[++i_].text);
            number_ = lines_[i_].number;
            if (!text.empty() && text[0] != u';') return text;
        }
        return std::nullopt;
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

    // "name" (where "" is the default value, as @ is) or @, then = and the data.
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
            entry.name = *name;
        } else {
            return Error("expected a key in [brackets], a \"value name\" or @");
        }
        const std::u16string rest = Trim(text.substr(pos));
        if (rest.empty() || rest[0] != u'=') return Error("expected \"=\" after the value name");
        if (!Data(Trim(rest.substr(1)), &entry)) return false;
        entries_.push_back(std::move(entry));
        return true;
    }

    bool Data(const std::u16string& data, RegFileEntry* entry) {
        entry->kind = RegFileEntry::Kind::kSetValue;
        if (!data.empty() && data[0] == u'-') {
            entry->kind = RegFileEntry::Kind::kDeleteValue;
            return OnlyCommentFrom(data, 1) || Error("unexpected text after \"-\"");
        }
        if (!data.empty() && data[0] == u'"') return StringData(data, entry);
        if (StartsWithWord(data, "dword:")) return DwordData(data.substr(6), entry);
        std::size_t listStart = 0;
        if (StartsWithWord(data, "hex:")) {
            entry->type = platform::kRegBinary;
            listStart = 4;
        } else if (StartsWithWord(data, "hex(")) {
            const std::size_t close = data.find(u"):");
            const std::u16string code =
                close == std::u16string::npos ? u"" : data.substr(4, close - 4);
            if (code.empty() || code.size() > 8 ||
                !std::all_of(code.begin(), code.end(), IsHexDigit))
                return Error("hex( must be followed by a hexadecimal type number and \"):\"");
            entry->type = static_cast<std::uint32_t>(std::stoul(Narrow(code), nullptr, 16));
            listStart = close + 2;
        } else {
            return Error("unknown data \"" + Narrow(data) +
                         "\" (expected \"text\", dword:, hex:, hex(N): or -)");
        }
        Bytes bytes;
        if (!HexList(data.substr(listStart), &bytes)) return false;
        return HexTextData(std::move(bytes), entry);
    }

    bool StringData(const std::u16string& data, RegFileEntry* entry) {
        std::size_t pos = 0;
        const auto value = QuotedString(data, &pos);
        if (!value) return false;
        if (!OnlyCommentFrom(data, pos)) return Error("unexpected text after the string");
        entry->type = platform::kRegSz;
        entry->data.assign(value->begin(), value->end());
        entry->data.push_back(0);
        return true;
    }

    bool DwordData(const std::u16string& digits, RegFileEntry* entry) {
        std::size_t end = 0;
        std::uint32_t v = 0;
        for (; end < digits.size() && IsHexDigit(digits[end]) && end < 9; ++end)
            v = v << 4 | static_cast<std::uint32_t>(HexValue(digits[end]));
        if (end == 0 || end > 8 || !OnlyCommentFrom(digits, end))
            return Error("dword: must be followed by one to eight hexadecimal digits");
        entry->type = platform::kRegDword;
        entry->data = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                       static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
        return true;
    }

    // Text types in hex are UTF-16LE in version 5 files and ANSI text in
    // REGEDIT4 ones; the store holds them as UTF-8.
    bool HexTextData(Bytes bytes, RegFileEntry* entry) {
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

    // Bytes separated by commas. A "\" where the next byte would begin goes
    // on in the next line that is neither blank nor a comment, and may have a
    // ";" comment after it; the list ends at the end of a line, at a comment,
    // or at the end of the file.
    bool HexList(std::u16string text, Bytes* bytes) {
        std::size_t pos = 0;
        bool continuationStart = false;
        while (true) {
            SkipBlanks(text, &pos);
            if (pos == text.size() || text[pos] == u';') return true;
            if (text[pos] == u'\\' && !continuationStart) {
                if (!OnlyCommentFrom(text, pos + 1))
                    return Error("only a ; comment may follow the \\ that continues a hex list");
                auto next = ContinuationLine();
                if (!next) return true;
                text = std::move(*next);
                pos = 0;
                continuationStart = true;
                continue;
            }
            const std::size_t start = pos;
            while (pos < text.size() && IsHexDigit(text[pos])) ++pos;
            if (pos == start || pos - start > 2)
                return Error("bytes in a hex list are one or two hexadecimal digits");
            bytes->push_back(static_cast<std::uint8_t>(
                pos - start == 1 ? HexValue(text[start])
                                 : HexValue(text[start]) << 4 | HexValue(text[start + 1])));
            continuationStart = false;
            SkipBlanks(text, &pos);
            if (pos == text.size() || text[pos] == u';') return true;
            if (text[pos] == u'\\')
                return Error("the \\ that continues a hex list must follow a comma");
            if (text[pos] != u',') return Error("bytes in a hex list are separated by commas");
            ++pos;
        }
    }

    std::vector<Line> lines_;
    std::string* error_;
    std::vector<RegFileEntry> entries_;
    std::size_t i_ = 0;
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
