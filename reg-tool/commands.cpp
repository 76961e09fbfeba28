#include "commands.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "key_name.h"
#include "query_printer.h"
#include "reg_file_format.h"
#include "registry_tree.h"
#include "text/text.h"

namespace regtool {

namespace {

using platform::kErrorSuccess;
using platform::kHkeyCurrentUser;
using platform::Registry;
using platform::RegKey;

constexpr const char* kDone = "The operation completed successfully.";
constexpr const char* kCancelled = "The operation was cancelled by the user.";

std::string RegistryError(long rc) {
    switch (rc) {
        case platform::kErrorFileNotFound:
            return "ERROR: The system was unable to find the specified registry key or value.";
        case platform::kErrorAccessDenied:
            return "ERROR: Access is denied.";
        case platform::kErrorBadDb:
            return "ERROR: The registry store cannot be opened or is damaged; it was left as it "
                   "is.";
        default:
            return "ERROR: The registry call failed with code " + std::to_string(rc) + ".";
    }
}

// Yes or No from the user; anything else asks again, and no answer is No.
bool Confirm(const std::string& question, std::istream& in, std::ostream& out) {
    std::string answer;
    while (true) {
        out << question << " " << std::flush;
        if (!std::getline(in, answer)) {
            out << "\n";
            return false;
        }
        answer = text::AsciiLower(text::TrimSpaces(answer));
        if (answer == "y" || answer == "yes") return true;
        if (answer == "n" || answer == "no") return false;
    }
}

struct Context {
    const Command& command;
    const StoreOpener& openStore;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;

    int Fail(const std::string& message) const {
        err << message << "\n";
        return 1;
    }
    int Failed(long rc) const { return Fail(RegistryError(rc)); }
    int Done() const {
        out << kDone << "\n";
        return 0;
    }
    int Cancelled() const {
        out << kCancelled << "\n";
        return 0;
    }
};

std::string ValueLabel(const std::string& name) { return name.empty() ? "(Default)" : name; }

long ValueExists(Registry& registry, const std::string& path, const std::string& name,
                 bool* exists) {
    *exists = false;
    RegKey key = 0;
    long rc = registry.RegOpenKeyEx(kHkeyCurrentUser, path, 0, platform::kKeyQueryValue, &key);
    if (rc == platform::kErrorFileNotFound) return kErrorSuccess;
    if (rc != kErrorSuccess) return rc;
    rc = registry.RegQueryValueEx(key, name, nullptr, nullptr, nullptr);
    registry.RegCloseKey(key);
    *exists = rc == kErrorSuccess;
    return rc == platform::kErrorFileNotFound ? kErrorSuccess : rc;
}

int Query(const Context& c, const KeyName& key) {
    auto registry = c.openStore();
    std::vector<KeyContents> keys;
    const long rc = ReadKeys(*registry, key.path, c.command.recursive, &keys);
    if (rc != kErrorSuccess) return c.Failed(rc);
    if (!c.command.valueName) {
        c.out << KeyListing(keys, c.command.recursive);
        return 0;
    }
    const std::string& name = *c.command.valueName;
    if (c.command.recursive) {
        std::size_t matches = 0;
        c.out << ValueSearch(keys, name, &matches);
        return matches > 0 ? 0 : 1;
    }
    for (const auto& value : keys.front().values) {
        if (text::EqualsIgnoreCase(value.name, name)) {
            c.out << "\n" << FullKeyName(key.path) << "\n" << ValueLine(value) << "\n";
            return 0;
        }
    }
    if (name.empty()) {
        c.out << "\n"
              << FullKeyName(key.path) << "\n    (Default)    REG_SZ    (value not set)\n\n";
        return 0;
    }
    return c.Failed(platform::kErrorFileNotFound);
}

int Add(const Context& c, const KeyName& key) {
    const Command& command = c.command;
    if (!command.valueName && (command.typeGiven || !command.data.empty()))
        return c.Fail("ERROR: Give /v ValueName or /ve to say which value /t and /d are for.");
    const auto type = TypeFromName(command.type);
    if (!type) {
        return c.Fail("ERROR: Invalid type \"" + command.type +
                      "\". Use REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, "
                      "REG_DWORD_BIG_ENDIAN, REG_QWORD, REG_BINARY or REG_NONE.");
    }
    if (command.separatorGiven && *type != platform::kRegMultiSz)
        return c.Fail("ERROR: The separator /s is only for REG_MULTI_SZ data.");
    std::string why;
    const auto data = DataFromText(*type, command.data, command.separator, &why);
    if (!data) return c.Fail(why);

    auto registry = c.openStore();
    if (command.valueName) {
        bool exists = false;
        const long rc = ValueExists(*registry, key.path, *command.valueName, &exists);
        if (rc != kErrorSuccess) return c.Failed(rc);
        if (exists && !command.force &&
            !Confirm("Value " + ValueLabel(*command.valueName) + " exists, overwrite(Yes/No)?",
                     c.in, c.out))
            return c.Cancelled();
    }
    RegKey handle = 0;
    long rc = registry->RegCreateKeyEx(kHkeyCurrentUser, key.path, platform::kKeyAllUsual, &handle);
    if (rc != kErrorSuccess) return c.Failed(rc);
    if (command.valueName) {
        rc = registry->RegSetValueEx(handle, *command.valueName, 0, *type, data->data(),
                                     static_cast<std::uint32_t>(data->size()));
    }
    registry->RegCloseKey(handle);
    return rc == kErrorSuccess ? c.Done() : c.Failed(rc);
}

int Delete(const Context& c, const KeyName& key) {
    const Command& command = c.command;
    if (!command.valueName && !command.allValues && key.path.empty())
        return c.Fail("ERROR: The hive HKEY_CURRENT_USER itself cannot be deleted.");
    auto registry = c.openStore();
    std::vector<KeyContents> keys;
    long rc = ReadKeys(*registry, key.path, false, &keys);
    if (rc != kErrorSuccess) return c.Failed(rc);
    const std::string full = FullKeyName(key.path);

    if (!command.valueName && !command.allValues) {
        if (!command.force &&
            !Confirm("Permanently delete the registry key " + full + " (Yes/No)?", c.in, c.out))
            return c.Cancelled();
        rc = DeleteKeyTree(*registry, key.path);
        return rc == kErrorSuccess ? c.Done() : c.Failed(rc);
    }
    std::vector<std::string> names;
    if (command.allValues) {
        for (const auto& value : keys.front().values) names.push_back(value.name);
    } else {
        bool exists = false;
        rc = ValueExists(*registry, key.path, *command.valueName, &exists);
        if (rc != kErrorSuccess) return c.Failed(rc);
        if (!exists) return c.Failed(platform::kErrorFileNotFound);
        names.push_back(*command.valueName);
    }
    const std::string question =
        command.allValues ? "Delete all values under the registry key " + full + " (Yes/No)?"
                          : "Delete the registry value " + ValueLabel(names.front()) + " (Yes/No)?";
    if (!command.force && !Confirm(question, c.in, c.out)) return c.Cancelled();
    RegKey handle = 0;
    rc = registry->RegOpenKeyEx(kHkeyCurrentUser, key.path, 0, platform::kKeyAllUsual, &handle);
    for (std::size_t i = 0; rc == kErrorSuccess && i < names.size(); ++i)
        rc = registry->RegDeleteValue(handle, names[i]);
    registry->RegCloseKey(handle);
    return rc == kErrorSuccess ? c.Done() : c.Failed(rc);
}

// Written beside the target and renamed over it, so a failure leaves no half file.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".kestrow-reg-tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) std::filesystem::remove(temporary, ec);
    return !ec;
}

int Export(const Context& c, const KeyName& key) {
    std::error_code ec;
    if (std::filesystem::is_directory(c.command.file, ec))
        return c.Fail("ERROR: \"" + c.command.file + "\" is a folder, not a file.");
    auto registry = c.openStore();
    std::vector<KeyContents> keys;
    const long rc = ReadKeys(*registry, key.path, true, &keys);
    if (rc != kErrorSuccess) return c.Failed(rc);
    if (std::filesystem::exists(c.command.file, ec) && !c.command.force &&
        !Confirm("File " + c.command.file + " already exists. Overwrite (Yes/No)?", c.in, c.out))
        return c.Cancelled();
    if (!WriteWholeFile(c.command.file, ExportRegFile(keys)))
        return c.Fail("ERROR: Cannot write the file \"" + c.command.file + "\".");
    return c.Done();
}

long ApplyEntry(Registry& registry, const RegFileEntry& entry) {
    using Kind = RegFileEntry::Kind;
    if (entry.kind == Kind::kDeleteKey) {
        const long rc = DeleteKeyTree(registry, entry.path);
        return rc == platform::kErrorFileNotFound ? kErrorSuccess : rc;
    }
    RegKey handle = 0;
    long rc =
        registry.RegCreateKeyEx(kHkeyCurrentUser, entry.path, platform::kKeyAllUsual, &handle);
    if (rc != kErrorSuccess) return rc;
    if (entry.kind == Kind::kSetValue) {
        rc = registry.RegSetValueEx(handle, entry.name, 0, entry.type, entry.data.data(),
                                    static_cast<std::uint32_t>(entry.data.size()));
    } else if (entry.kind == Kind::kDeleteValue) {
        rc = registry.RegDeleteValue(handle, entry.name);
        if (rc == platform::kErrorFileNotFound) rc = kErrorSuccess;
    }
    registry.RegCloseKey(handle);
    return rc;
}

int Import(const Context& c) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(c.command.file, ec))
        return c.Fail("ERROR: The file \"" + c.command.file + "\" does not exist or is no file.");
    std::ifstream file(c.command.file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    if (!file && !file.eof())
        return c.Fail("ERROR: The file \"" + c.command.file + "\" cannot be read.");
    std::string why;
    const auto entries = ParseRegFile(bytes, &why);
    if (!entries) {
        return c.Fail("ERROR: \"" + c.command.file + "\" is not a valid registry file, " + why +
                      ". Nothing was imported.");
    }
    auto registry = c.openStore();
    for (const auto& entry : *entries) {
        const long rc = ApplyEntry(*registry, entry);
        if (rc != kErrorSuccess)
            return c.Fail("ERROR: Error accessing the registry. " + RegistryError(rc).substr(7));
    }
    return c.Done();
}

}  // namespace

int RunCommand(const Command& command, const StoreOpener& openStore, std::istream& in,
               std::ostream& out, std::ostream& err) {
    const Context c{command, openStore, in, out, err};
    if (command.operation == Operation::kHelp) {
        out << UsageText(command.helpFor);
        return 0;
    }
    if (command.operation == Operation::kImport) return Import(c);
    std::string why;
    const auto key = ParseKeyName(command.key, &why);
    if (!key) return c.Fail(why);
    switch (command.operation) {
        case Operation::kQuery:
            return Query(c, *key);
        case Operation::kAdd:
            return Add(c, *key);
        case Operation::kDelete:
            return Delete(c, *key);
        case Operation::kExport:
            return Export(c, *key);
        default:
            return c.Fail("ERROR: Unknown operation.");
    }
}

}  // namespace regtool
