#include "reg-tool/reg_file_format.h"

#include <gtest/gtest.h>

#include "platform/registry/registry.h"
#include "reg-tool/utf16_escape.h"

namespace reg_tool {
namespace {

using Kind = RegFileEntry::Kind;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::vector<RegFileEntry> ParseOk(const std::string& file) {
    std::string error;
    const auto entries = ParseRegFile(file, &error);
    EXPECT_TRUE(entries) << error;
    return entries.value_or(std::vector<RegFileEntry>{});
}

std::string ParseError(const std::string& file) {
    std::string error;
    EXPECT_FALSE(ParseRegFile(file, &error));
    return error;
}

TEST(RegFileFormat, ExportedValuesOfEveryKindReadBackByteForByte) {
    KeyContents key;
    key.path = "Software\\Tamsholt\\K\xC3\xA9y \xE2\x82\xAC";
    key.values = {
        {"", platform::kRegSz, B(std::string("default\0", 8))},
        {"Quote\"and\\slash", platform::kRegSz, B(std::string("C:\\\"x\"\0", 7))},
        {"Gr\xC3\xBC\xC3\x9F", platform::kRegSz,
         B(std::string("\xE6\x97\xA5\xF0\x9F\x98\x80\0", 8))},
        {"TwoNuls", platform::kRegSz, B(std::string("a\0b\0", 4))},
        {"NoNul", platform::kRegSz, B("abc")},
        {"Lines", platform::kRegSz, B(std::string("one\r\ntwo\0", 9))},
        {"NotUtf8", platform::kRegSz, B(std::string("\xFF\xC3(\x80\0", 5))},
        {"Expand", platform::kRegExpandSz, B(std::string("%HOME%\\x\0", 9))},
        {"Multi", platform::kRegMultiSz, B(std::string("a\0\xC3\xA9\0\0", 6))},
        {"Dword", platform::kRegDword, {0x0A, 0, 0, 0x80}},
        {"ShortDword", platform::kRegDword, {1, 2}},
        {"Big", platform::kRegDwordBigEndian, {0, 0, 0, 7}},
        {"Link", platform::kRegLink, {0x5C, 0, 0x3F, 0}},
        {"None", platform::kRegNone, {}},
        {"Odd", 0x12345, {9}},
        {"Binary", platform::kRegBinary, Bytes(300, 0xA5)},
    };
    KeyContents sub;
    sub.path = key.path + "\\Empty";

    const std::string file = ExportRegFile({key, sub});
    ASSERT_EQ(file.substr(0, 2), "\xFF\xFE");
    const auto entries = ParseOk(file);
    ASSERT_EQ(entries.size(), key.values.size() + 2);
    EXPECT_EQ(entries[0].kind, Kind::kCreateKey);
    EXPECT_EQ(entries[0].path, key.path);
    for (std::size_t i = 0; i < key.values.size(); ++i) {
        const auto& entry = entries[i + 1];
        SCOPED_TRACE(key.values[i].name);
        EXPECT_EQ(entry.kind, Kind::kSetValue);
        EXPECT_EQ(entry.path, key.path);
        EXPECT_EQ(entry.name, key.values[i].name);
        EXPECT_EQ(entry.type, key.values[i].type);
        EXPECT_EQ(entry.data, key.values[i].data);
    }
    EXPECT_EQ(entries.back().kind, Kind::kCreateKey);
    EXPECT_EQ(entries.back().path, sub.path);
}

TEST(RegFileFormat, WritesTheFamiliarTextLayout) {
    KeyContents key;
    key.path = "Software\\K";
    key.values = {{"", platform::kRegSz, B(std::string("d\0", 2))},
                  {"AllFolders", platform::kRegDword, {1, 0, 0, 0}},
                  {"Exp", platform::kRegExpandSz, B(std::string("a\0", 2))},
                  {"Bin", platform::kRegBinary, Bytes(40, 0xFF)}};
    const std::string file = ExportRegFile({key});
    std::u16string wide;
    for (std::size_t i = 2; i + 1 < file.size(); i += 2)
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(file[i]) |
                                             static_cast<unsigned char>(file[i + 1]) << 8));
    EXPECT_EQ(FromUtf16Escaped(wide),
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\K]\r\n"
              "@=\"d\"\r\n"
              "\"AllFolders\"=dword:00000001\r\n"
              "\"Exp\"=hex(2):61,00,00,00\r\n"
              "\"Bin\"=hex:ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,\\\r\n"
              "  ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff\r\n"
              "\r\n");
}

TEST(RegFileFormat, ReadsUtf8Regedit4FilesWithDeletionsCommentsAndContinuations) {
    const auto entries = ParseOk(
        "REGEDIT4\n\n; a comment\n[-HKEY_CURRENT_USER\\Old]\n\n[HKCU\\New]\n"
        "\"Gone\"=-\n\"Bytes\"=hex:01, 02,\\\n    03\n\"Exp\"=hex(2):41,42,00\n@=\"x\"\n");
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].kind, Kind::kDeleteKey);
    EXPECT_EQ(entries[0].path, "Old");
    EXPECT_EQ(entries[1].kind, Kind::kCreateKey);
    EXPECT_EQ(entries[2].kind, Kind::kDeleteValue);
    EXPECT_EQ(entries[2].name, "Gone");
    EXPECT_EQ(entries[3].data, (Bytes{1, 2, 3}));
    // REGEDIT4 files hold text types as the bytes themselves, not UTF-16.
    EXPECT_EQ(entries[4].data, B(std::string("AB\0", 3)));
    EXPECT_EQ(entries[5].name, "");
}

TEST(RegFileFormat, MalformedFilesAreRefusedWithTheLineNumber) {
    const std::string header = "Windows Registry Editor Version 5.00\n\n";
    EXPECT_NE(ParseError("").find("empty"), std::string::npos);
    EXPECT_EQ(ParseError("[HKEY_CURRENT_USER\\X]\n").rfind("line 1:", 0), 0u);
    EXPECT_EQ(ParseError(header + "\"v\"=\"x\"\n").rfind("line 3:", 0), 0u);
    EXPECT_EQ(ParseError(header + "[HKEY_CURRENT_USER\\X]\n\"v\"=dword:xyz\n").rfind("line 4:", 0),
              0u);
    EXPECT_EQ(
        ParseError(header + "[HKEY_CURRENT_USER\\X]\n\"v\"=dword:123456789\n").rfind("line 4", 0),
        0u);
    EXPECT_EQ(ParseError(header + "[HKEY_CURRENT_USER\\X]\n\"v\"=hex:1g\n").rfind("line 4", 0), 0u);
    EXPECT_EQ(ParseError(header + "[HKEY_CURRENT_USER\\X]\n\"v=\"x\"\n").rfind("line 4", 0), 0u);
    EXPECT_EQ(ParseError(header + "[HKEY_CURRENT_USER\\X]\n\"v\"=\"x\" y\n").rfind("line 4", 0),
              0u);
    EXPECT_EQ(ParseError(header + "[HKEY_CURRENT_USER\\X]\n\"v\"=\"a\\b\"\n").rfind("line 4", 0),
              0u);
    EXPECT_EQ(ParseError(header + "[HKEY_LOCAL_MACHINE\\X]\n").rfind("line 3", 0), 0u);
    EXPECT_EQ(ParseError(header + "[HKEY_CURRENT_USER\\X\\\\Y]\n").rfind("line 3", 0), 0u);
    EXPECT_EQ(ParseError(header + "[-HKEY_CURRENT_USER\\X]\n\"v\"=\"x\"\n").rfind("line 4", 0), 0u);
    EXPECT_EQ(ParseError(header + "[HKEY_CURRENT_USER\\X]\n\"v\"=hex(1):41\n").rfind("line 4", 0),
              0u);
    EXPECT_EQ(ParseError(header + "[HKEY_CURRENT_USER\\X\n").rfind("line 3", 0), 0u);
}

// Found by fuzzing: a line of a lone "\" (a continuation of nothing) before a
// blank line left nothing to look at.
TEST(RegFileFormat, AContinuationOfNothingIsAnEmptyLine) {
    std::string error;
    const auto entries = ParseRegFile("Windows Registry Editor Version 5.00\r\n\\\r\n\r\n", &error);
    ASSERT_TRUE(entries) << error;
    EXPECT_TRUE(entries->empty());
}

// Found by fuzzing (the fuzz driver wrongly held that every section names a
// key below the hive): a section may name the hive itself, with or without
// a closing backslash, and its values go on the hive; it is never deleted.
TEST(RegFileFormat, ASectionMayNameTheHiveItselfButNeverDeleteIt) {
    for (const std::string hive : {"HKEY_CURRENT_USER", "HKEY_CURRENT_USER\\", "HKCU"}) {
        const auto entries = ParseOk("REGEDIT4\n\n[" + hive + "]\n\"Delay\"=\"100\"\n");
        ASSERT_EQ(entries.size(), 2u) << hive;
        EXPECT_EQ(entries[0].kind, Kind::kCreateKey);
        EXPECT_EQ(entries[0].path, "");
        EXPECT_EQ(entries[1].kind, Kind::kSetValue);
        EXPECT_EQ(entries[1].path, "");
        EXPECT_EQ(entries[1].name, "Delay");
    }
    EXPECT_NE(ParseError("REGEDIT4\n\n[-HKEY_CURRENT_USER\\]\n").find("hive itself"),
              std::string::npos);
    EXPECT_NE(ParseError("REGEDIT4\n\n[-HKCU]\n").find("hive itself"), std::string::npos);
}

TEST(RegFileFormat, ContinuationsIntoBlankLinesOrTheEndAreSafe) {
    const std::string header = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\X]\n";
    // A lone backslash continued by a blank line leaves nothing: no entry, no fault.
    EXPECT_EQ(ParseOk(header + "\\\n\n").size(), 1u);
    EXPECT_EQ(ParseOk(header + "  \\\n   \n\n").size(), 1u);
    EXPECT_EQ(ParseOk(header + "\"v\"=hex:01,\\\n\n").back().data, (Bytes{1}));
    // With nothing left to continue into, the list ends there, as Windows reads it; a lone
    // backslash that continues no value is still refused, not read past.
    EXPECT_EQ(ParseOk(header + "\"v\"=hex:01,\\").back().data, (Bytes{1}));
    EXPECT_EQ(ParseError(header + "\n\\").rfind("line 5", 0), 0u);
}

TEST(RegFileFormat, QuotedNamesGoOnOverLineBreaksAsTheyWere) {
    const auto entries = ParseOk(
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n"
        "\"a  \r\n  b\n\rc\"=\"1\"\r\n\"next\"=dword:00000002\r\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].name, "a  \r\n  b\n\rc");
    EXPECT_EQ(entries[2].name, "next");
    // A quote that never closes is refused at the line where it opened, however far the
    // file goes on.
    std::string longFile = "REGEDIT4\n\n[HKEY_CURRENT_USER\\X]\n\"open\n";
    for (int i = 0; i < 50000; ++i) longFile += "@=dword:00000001\n";
    EXPECT_EQ(ParseError(longFile), "line 4: a quoted string has no closing quote");
    EXPECT_EQ(ParseError("REGEDIT4\n\n[HKEY_CURRENT_USER\\X]\n\"open=\"1\"\n\n").rfind("line 4", 0),
              0u);
}

TEST(RegFileFormat, Regedit4TextIsWindows1252AndVersion5TextIsUtf8) {
    auto entries = ParseOk("REGEDIT4\n\n[HKEY_CURRENT_USER\\Caf\xE9]\n\"\x80\x9F\xFF\"=\"\x81\"\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].path, "Caf\xC3\xA9");
    EXPECT_EQ(entries[1].name, "\xE2\x82\xAC\xC5\xB8\xC3\xBF");
    EXPECT_EQ(entries[1].data,
              B(std::string("\xC2\x81\0", 3)));  // undefined: the control character
    entries = ParseOk("\xEF\xBB\xBFREGEDIT4\n\n[HKEY_CURRENT_USER\\Caf\xC3\xA9]\n");
    EXPECT_EQ(entries[0].path, "Caf\xC3\xA9");
    entries = ParseOk("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Caf\xC3\xA9]\n");
    EXPECT_EQ(entries[0].path, "Caf\xC3\xA9");
}

TEST(RegFileFormat, ReadsCommentsAndContinuationsWhereWindowsReadsThem) {
    const auto entries = ParseOk(
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\X]\n"
        "\"a\"=\"1\" ;it's \"quoted\"\n"
        "\"b\"=\"2\";c\n"
        "\"c\"=dword:00000004;c\n"
        "\"d\"=dword:1234 ;c\n"
        "\"e\"=hex(2):41,00 ;c\n"
        "\"f\"=hex:01,\\\n"
        "  ;a comment line inside the list\n"
        "\n"
        "  02,\\ ;a comment after the backslash\n"
        "  03,;the list ends here\n"
        "\"g\"=- ;c\n"
        "\"\"=\"x\"\n"
        "\"h\"=hex:\\\n"
        "  0a\n");
    ASSERT_EQ(entries.size(), 10u);
    EXPECT_EQ(entries[1].data, B(std::string("1\0", 2)));
    EXPECT_EQ(entries[2].data, B(std::string("2\0", 2)));
    EXPECT_EQ(entries[3].data, (Bytes{4, 0, 0, 0}));
    EXPECT_EQ(entries[4].data, (Bytes{0x34, 0x12, 0, 0}));
    EXPECT_EQ(entries[5].data, B(std::string("A\0", 2)));
    EXPECT_EQ(entries[6].data, (Bytes{1, 2, 3}));
    EXPECT_EQ(entries[7].kind, Kind::kDeleteValue);
    EXPECT_EQ(entries[7].name, "g");
    EXPECT_EQ(entries[8].kind, Kind::kSetValue);
    EXPECT_EQ(entries[8].name, "");
    EXPECT_EQ(entries[9].data, (Bytes{0x0A}));
}

TEST(RegFileFormat, WhatWindowsSkipsAsMalformedIsRefusedWithItsLine) {
    const std::string head = "REGEDIT4\n\n[HKEY_CURRENT_USER\\X]\n\"ok\"=\"1\"\n";
    for (const std::string& bad : {
             std::string("\"v\"=\"1\" #c\n"),
             std::string("\"v\"=dword:1234#5678\n"),
             std::string("\"v\"=dword:12345678 abc\n"),
             std::string("\"v\"=hex:01,02 #c\n"),
             std::string("\"v\"=hex:01,02\\\n  03\n"),  // the backslash must follow a comma
             std::string("\"v\"=hex:01,\\#c\n  02\n"),
             std::string("\"v\"=-\"x\"\n"),
             std::string("#\"v\"=\"1\"\n"),
         }) {
        EXPECT_EQ(ParseError(head + bad).rfind("line 5:", 0), 0u) << bad;
    }
    // Inside a list the line at fault is named, not the one the value began on.
    EXPECT_EQ(ParseError(head + "\"v\"=hex:01,\\\n\n  #c\n").rfind("line 7:", 0), 0u);
    EXPECT_EQ(ParseError(head + "\"v\"=hex:01,\\\n  ,02\n").rfind("line 6:", 0), 0u);
    EXPECT_EQ(ParseError(head + "\"v\"=hex:01,\\\n\\\n  02\n").rfind("line 6:", 0), 0u);
    EXPECT_EQ(ParseError(head + "\"v\"=hex:01,\\\n\"w\"=\"2\"\n").rfind("line 6:", 0), 0u);
}

TEST(Utf16Escape, CarriesBytesThatAreNotUtf8) {
    for (const std::string& s : {std::string("plain"), std::string("\xC3\xA9\xF0\x9F\x98\x80"),
                                 std::string("\xFF\xFE\x80"), std::string("\xED\xA0\x80"),
                                 std::string("\xC0\xAF"), std::string("a\0b", 3)}) {
        EXPECT_EQ(FromUtf16Escaped(ToUtf16Escaped(s)), s);
    }
    EXPECT_EQ(ToUtf16Escaped("\xC3\xA9"), u"\u00E9");
}

}  // namespace
}  // namespace reg_tool
