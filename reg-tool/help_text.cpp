// The texts of "kestrow-reg /?" and "kestrow-reg OPERATION /?", laid out as
// the Windows reg command lays out its help.
#include "reg-tool/command_line.h"

namespace reg_tool {

namespace {

constexpr const char* kKeyName =
    "  KeyName  ROOTKEY\\SubKey (remote machines are not reached)\n"
    "           ROOTKEY  [ HKCU | HKEY_CURRENT_USER ]: the one hive kept here\n"
    "           SubKey   the full name of a registry key under the ROOTKEY\n";

constexpr const char* kView =
    "  /reg:32  /reg:64\n"
    "           accepted for scripts written for Windows: there is one view\n"
    "           of the registry here, and both name it\n";

std::string Overview() {
    return "\n"
           "KESTROW-REG Operation [Parameter List]\n"
           "\n"
           "  Operation  [ QUERY   | ADD    | DELETE  | COPY    |\n"
           "               COMPARE | EXPORT | IMPORT ]\n"
           "\n"
           "Return Code: (Except for KESTROW-REG COMPARE)\n"
           "\n"
           "  0 - Successful\n"
           "  1 - Failed\n"
           "\n"
           "For help on a specific operation type:\n"
           "\n"
           "  KESTROW-REG Operation /?   (or /h)\n"
           "\n"
           "Examples:\n"
           "\n"
           "  KESTROW-REG QUERY /?\n"
           "  KESTROW-REG ADD /?\n"
           "  KESTROW-REG DELETE /?\n"
           "  KESTROW-REG COPY /?\n"
           "  KESTROW-REG COMPARE /?\n"
           "  KESTROW-REG EXPORT /?\n"
           "  KESTROW-REG IMPORT /?\n";
}

std::string Query() {
    return std::string(
               "\n"
               "KESTROW-REG QUERY KeyName [/v ValueName | /ve] [/s]\n"
               "          [/f Data [/k] [/d] [/c] [/e]] [/t Type] [/z] [/se Separator]\n"
               "          [/reg:32 | /reg:64]\n"
               "\n") +
           kKeyName +
           "\n"
           "  /v       the value of this name under the key; given without a name\n"
           "           beside /f, the search looks at value names only\n"
           "  /ve      the default value, the one without a name\n"
           "  /s       every sub-key and value below the key, all the way down\n"
           "  /se      the separator shown between the strings of REG_MULTI_SZ data,\n"
           "           one character (\\0 when not given)\n"
           "  /f       search for Data in the names of keys and values and in the\n"
           "           data of values, below the key; * and ? are wildcards, and\n"
           "           without Data everything matches\n"
           "  /k       search the key names only\n"
           "  /d       search the data only\n"
           "  /c       the search tells upper and lower case apart (it does not\n"
           "           by default)\n"
           "  /e       whole names and data only (by default a part matches)\n"
           "  /t       the types to search, separated by commas: REG_SZ,\n"
           "           REG_MULTI_SZ, REG_EXPAND_SZ, REG_DWORD, REG_QWORD,\n"
           "           REG_BINARY, REG_NONE (all types when not given)\n"
           "  /z       shows the number of each type beside its name\n" +
           kView +
           "\n"
           "Examples:\n"
           "\n"
           "  KESTROW-REG QUERY \"HKCU\\Software\\Tamsholt\\Kestrow 2005\" /v Maximized\n"
           "    shows the value Maximized of the program's settings key\n"
           "\n"
           "  KESTROW-REG QUERY HKCU\\Software\\Tamsholt /s\n"
           "    shows every key and value below HKCU\\Software\\Tamsholt\n"
           "\n"
           "  KESTROW-REG QUERY HKCU /f 0F /d /t REG_BINARY\n"
           "    finds the binary values whose data holds 0F\n";
}

std::string Add() {
    return std::string(
               "\n"
               "KESTROW-REG ADD KeyName [/v ValueName | /ve] [/t Type] [/s Separator]\n"
               "          [/d Data] [/f] [/reg:32 | /reg:64]\n"
               "\n") +
           kKeyName +
           "\n"
           "  /v       the name of the value to add\n"
           "  /ve      the default value, the one without a name (also taken when\n"
           "           neither /v nor /ve is given: with no /d it becomes the\n"
           "           empty string, even in a key that exists)\n"
           "  /t       the type of the data:\n"
           "           [ REG_SZ    | REG_MULTI_SZ | REG_EXPAND_SZ |\n"
           "             REG_DWORD | REG_QWORD    | REG_BINARY    | REG_NONE ]\n"
           "           REG_DWORD_LITTLE_ENDIAN and REG_DWORD_BIG_ENDIAN, REG_LINK and\n"
           "           the resource types too; REG_SZ when not given\n"
           "  /s       the separator between the strings of REG_MULTI_SZ data, one\n"
           "           character (\\0 when not given); the separator alone is the\n"
           "           empty list\n"
           "  /d       the data: text (REG_NONE keeps it as UTF-16 text), a number\n"
           "           in decimal or with 0x in hexadecimal (REG_QWORD also takes\n"
           "           -1 and other negative numbers, and is 0 without /d), or two\n"
           "           hexadecimal digits for each byte of binary types (an odd\n"
           "           count is read with a leading 0)\n"
           "  /f       replace an existing value without asking\n" +
           kView +
           "\n"
           "Examples:\n"
           "\n"
           "  KESTROW-REG ADD HKCU\\Software\\MyCo\n"
           "    adds the key HKCU\\Software\\MyCo\n"
           "\n"
           "  KESTROW-REG ADD HKCU\\Software\\MyCo /v Data /t REG_BINARY /d fe340ead\n"
           "    adds the binary value Data\n"
           "\n"
           "  KESTROW-REG ADD HKCU\\Software\\MyCo /v MRU /t REG_MULTI_SZ /d fax\\0mail\n"
           "    adds the value MRU holding the two strings fax and mail\n";
}

std::string Delete() {
    return std::string(
               "\n"
               "KESTROW-REG DELETE KeyName [/v ValueName | /ve | /va] [/f]\n"
               "          [/reg:32 | /reg:64]\n"
               "\n") +
           kKeyName +
           "\n"
           "  /v       the value to delete under the key\n"
           "  /ve      the default value, the one without a name\n"
           "  /va      every value of the key (its sub-keys stay)\n"
           "           without /v, /ve or /va the key goes, with all below it\n"
           "  /f       delete without asking\n" +
           kView +
           "\n"
           "Examples:\n"
           "\n"
           "  KESTROW-REG DELETE HKCU\\Software\\MyCo\\MyApp\\Timeout\n"
           "    deletes the key Timeout with all its sub-keys and values\n"
           "\n"
           "  KESTROW-REG DELETE HKCU\\Software\\MyCo /v MTU\n"
           "    deletes the value MTU of HKCU\\Software\\MyCo\n";
}

std::string Copy() {
    return std::string(
               "\n"
               "KESTROW-REG COPY KeyName1 KeyName2 [/s] [/f] [/reg:32 | /reg:64]\n"
               "\n") +
           kKeyName +
           "\n"
           "  KeyName1 the key to copy from\n"
           "  KeyName2 the key to copy to; it is made when missing\n"
           "  /s       the sub-keys and their values too, all the way down\n"
           "  /f       replace existing values without asking\n" +
           kView +
           "\n"
           "Examples:\n"
           "\n"
           "  KESTROW-REG COPY HKCU\\Software\\MyCo\\MyApp HKCU\\Software\\MyCo\\SaveMyApp /s\n"
           "    copies everything below MyApp to SaveMyApp\n";
}

std::string Compare() {
    return std::string(
               "\n"
               "KESTROW-REG COMPARE KeyName1 KeyName2 [/v ValueName | /ve] [Output] [/s]\n"
               "          [/reg:32 | /reg:64]\n"
               "\n") +
           kKeyName +
           "\n"
           "  /v       compares the value of this name only\n"
           "  /ve      compares the default value only\n"
           "  Output   [ /oa | /od | /os | /on ]\n"
           "           /oa all differences and matches, /od the differences only\n"
           "           (the default), /os the matches only, /on nothing\n"
           "  /s       the sub-keys too, all the way down\n" +
           kView +
           "\n"
           "Return Code:\n"
           "\n"
           "  0 - Successful, and the result compared is identical\n"
           "  1 - Failed\n"
           "  2 - Successful, and the result compared is different\n"
           "\n"
           "Each line shown begins with = (the same in both), < (as in KeyName1)\n"
           "or > (as in KeyName2).\n"
           "\n"
           "Examples:\n"
           "\n"
           "  KESTROW-REG COMPARE HKCU\\Software\\MyCo\\MyApp HKCU\\Software\\MyCo\\SaveMyApp\n"
           "    compares the values of the two keys\n"
           "\n"
           "  KESTROW-REG COMPARE HKCU\\Software\\MyCo HKCU\\Software\\MyCo1 /v Version\n"
           "    compares the value Version of the two keys\n";
}

std::string Export() {
    return std::string(
               "\n"
               "KESTROW-REG EXPORT KeyName FileName [/y] [/reg:32 | /reg:64]\n"
               "\n") +
           kKeyName +
           "\n"
           "  FileName the file to write, a .reg file\n"
           "  /y       replace an existing file without asking (after KeyName\n"
           "           and FileName)\n" +
           kView +
           "\n"
           "Examples:\n"
           "\n"
           "  KESTROW-REG EXPORT HKCU\\Software\\MyCo\\MyApp AppBkUp.reg\n"
           "    writes MyApp with everything below it to the file AppBkUp.reg\n";
}

std::string Import() {
    return std::string(
               "\n"
               "KESTROW-REG IMPORT FileName [/reg:32 | /reg:64]\n"
               "\n"
               "  FileName the .reg file to read; all of it is applied, or nothing\n") +
           kView +
           "\n"
           "Examples:\n"
           "\n"
           "  KESTROW-REG IMPORT AppBkUp.reg\n"
           "    puts back the keys and values of the file AppBkUp.reg\n";
}

}  // namespace

std::string UsageText(std::optional<Operation> operation) {
    switch (operation.value_or(Operation::kHelp)) {
        case Operation::kQuery:
            return Query();
        case Operation::kAdd:
            return Add();
        case Operation::kDelete:
            return Delete();
        case Operation::kCopy:
            return Copy();
        case Operation::kCompare:
            return Compare();
        case Operation::kExport:
            return Export();
        case Operation::kImport:
            return Import();
        case Operation::kHelp:
            break;
    }
    return Overview();
}

}  // namespace reg_tool
