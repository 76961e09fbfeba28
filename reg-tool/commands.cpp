#include "reg-tool/commands.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "platform/text/text.h"
#include "reg-tool/command_context.h"
#include "reg-tool/key_name.h"
#include "reg-tool/reg_file_format.h"
#include "reg-tool/registry_tree.h"
#include "reg-tool/whole_file.h"

namespace reg_tool {

namespace {

using platform::kErrorSuccess;
using platform::kHkeyCurrentUser;
using platform::Registry;
using platform::RegKey;

// The data add stores; a QWORD given no /d is 0.
std::optional<Bytes> AddedData(const Context& c, std::uint32_t type) {
    const Command& command = c.command;
    if (command.separatorGiven && type != platform::kRegMultiSz) {
        c.Fail("ERROR: The separator /s is only for REG_MULTI_SZ data.");
        return std::nullopt;
    }
    const std::string text = command.data.value_or(type == kRegQword ? "0" : "");
    std::string why;
    auto data = DataFromText(type, text, command.separator, &why);
    if (!data) c.Fail(why);
    return data;
}

int Add(const Context& c, const KeyName& key) {
    const Command& command = c.command;
    // Windows' reg refuses the hive with a closing backslash as a key to add to.
    if (key.path.empty() && platform::text::EndsWith(command.key, "\\"))
        return c.Fail("ERROR: Invalid key name \"" + command.key +
                      "\". Name a key below the hive, or the hive without a backslash.");
    // Without /v or /ve the value set is the default one: with no data, the empty string.
    const std::string valueName = command.valueName.value_or("");
    const auto type = TypeFromName(command.type);
    if (!type) {
        return c.Fail("ERROR: Invalid type \"" + command.type +
                      "\". Use REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, "
                      "REG_DWORD_LITTLE_ENDIAN, REG_DWORD_BIG_ENDIAN, REG_QWORD, REG_BINARY, "
                      "REG_LINK, REG_NONE or a resource type.");
    }
    const auto data = AddedData(c, *type);
    if (!data) return 1;

    auto registry = c.openStore();
    bool exists = false;
    long rc = ValueExists(*registry, key.path, valueName, &exists);
    if (rc != kErrorSuccess) return c.Failed(rc);
    if (exists && !command.force &&
        !Confirm("Value " + ValueLabel(valueName) + " exists, overwrite(Yes/No)?", c.in, c.out))
        return c.Cancelled();
    RegKey handle = 0;
    rc = registry->RegCreateKeyEx(kHkeyCurrentUser, key.path, platform::kKeyAllUsual, &handle);
    if (rc != kErrorSuccess) return c.Failed(rc);
    rc = registry->RegSetValueEx(handle, valueName, 0, *type, data->data(),
                                 static_cast<std::uint32_t>(data->size()));
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
        rc = registry->BeginTransaction(true);
        if (rc == kErrorSuccess) rc = DeleteKeyTree(*registry, key.path);
        if (rc == kErrorSuccess) rc = registry->EndTransaction(true);
        if (rc != kErrorSuccess) registry->EndTransaction(false);
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
    if (rc == kErrorSuccess) rc = registry->BeginTransaction(true);
    for (std::size_t i = 0; rc == kErrorSuccess && i < names.size(); ++i)
        rc = registry->RegDeleteValue(handle, names[i]);
    if (rc == kErrorSuccess) rc = registry->EndTransaction(true);
    if (rc != kErrorSuccess) registry->EndTransaction(false);
    registry->RegCloseKey(handle);
    return rc == kErrorSuccess ? c.Done() : c.Failed(rc);
}

int Export(const Context& c, const KeyName& key) {
    std::error_code ec;
    if (std::filesystem::is_directory(c.command.file, ec))
        return c.Fail("ERROR: \"" + c.command.file + "\" is a folder, not a file.");
    auto registry = c.openStore();
    std::vector<KeyContents> keys;
    // One reading transaction: the file holds one state of the store.
    const bool grouped = registry->BeginTransaction(false) == kErrorSuccess;
    const long rc = ReadKeys(*registry, key.path, true, &keys);
    if (grouped) registry->EndTransaction(false);
    if (rc != kErrorSuccess) return c.Failed(rc);
    if (std::filesystem::exists(std::filesystem::symlink_status(c.command.file, ec)) &&
        !c.command.force &&
        !Confirm("File " + c.command.file + " already exists. Overwrite (Yes/No)?", c.in, c.out))
        return c.Cancelled();
    std::string why;
    if (!WriteWholeFile(c.command.file, ExportRegFile(keys), &why))
        return c.Fail("ERROR: Cannot write the file \"" + c.command.file + "\": " + why + ".");
    return c.Done();
}

// The key the entries of one section go to, opened once for all of them.
class SectionKey {
  public:
    explicit SectionKey(Registry& registry) : registry_(registry) {}
    ~SectionKey() { Close(); }

    long Open(const std::string& path, RegKey* handle) {
        if (handle_ == 0 || path != path_) {
            Close();
            const long rc =
                registry_.RegCreateKeyEx(kHkeyCurrentUser, path, platform::kKeyAllUsual, &handle_);
            if (rc != kErrorSuccess) {
                handle_ = 0;
                return rc;
            }
            path_ = path;
        }
        *handle = handle_;
        return kErrorSuccess;
    }

    void Close() {
        if (handle_ != 0) registry_.RegCloseKey(handle_);
        handle_ = 0;
    }

  private:
    Registry& registry_;
    std::string path_;
    RegKey handle_ = 0;
};

long ApplyEntry(Registry& registry, SectionKey& section, const RegFileEntry& entry) {
    using Kind = RegFileEntry::Kind;
    if (entry.kind == Kind::kDeleteKey) {
        section.Close();  // it may be the key that goes
        const long rc = DeleteKeyTree(registry, entry.path);
        return rc == platform::kErrorFileNotFound ? kErrorSuccess : rc;
    }
    RegKey handle = 0;
    long rc = section.Open(entry.path, &handle);
    if (rc != kErrorSuccess) return rc;
    if (entry.kind == Kind::kSetValue) {
        rc = registry.RegSetValueEx(handle, entry.name, 0, entry.type, entry.data.data(),
                                    static_cast<std::uint32_t>(entry.data.size()));
    } else if (entry.kind == Kind::kDeleteValue) {
        rc = registry.RegDeleteValue(handle, entry.name);
        if (rc == platform::kErrorFileNotFound) rc = kErrorSuccess;
    }
    return rc;
}

// A name as long as a message line can show.
std::string Shortened(const std::string& name) {
    constexpr std::size_t kShown = 60;
    return platform::text::Length(name) <= kShown ? name
                                                  : platform::text::Left(name, kShown) + "...";
}

// All of the file or none of it: one transaction, committed only after the
// last entry; a failure or the process ending before that leaves the store
// as it was.
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
    long rc = registry->BeginTransaction(true);
    std::size_t failed = 0;
    {
        SectionKey section(*registry);
        for (; rc == kErrorSuccess && failed < entries->size(); ++failed)
            rc = ApplyEntry(*registry, section, (*entries)[failed]);
    }
    if (rc == kErrorSuccess) rc = registry->EndTransaction(true);
    if (rc == kErrorSuccess) return c.Done();
    registry->EndTransaction(false);
    std::string where;
    if (failed > 0 && failed <= entries->size()) {
        const RegFileEntry& entry = (*entries)[failed - 1];
        where = " at the key " + FullKeyName(entry.path);
        if (entry.kind == RegFileEntry::Kind::kSetValue ||
            entry.kind == RegFileEntry::Kind::kDeleteValue)
            where += ", value " + Shortened(ValueLabel(entry.name));
    }
    return c.Fail("ERROR: Error accessing the registry" + where + ": " +
                  RegistryError(rc).substr(7) + " Nothing was imported.");
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
    std::optional<KeyName> second;
    if (command.operation == Operation::kCopy || command.operation == Operation::kCompare) {
        second = ParseKeyName(command.secondKey, &why);
        if (!second) return c.Fail(why);
    }
    switch (command.operation) {
        case Operation::kQuery:
            return Query(c, *key);
        case Operation::kAdd:
            return Add(c, *key);
        case Operation::kDelete:
            return Delete(c, *key);
        case Operation::kCopy:
            return Copy(c, *key, *second);
        case Operation::kCompare:
            return Compare(c, *key, *second);
        case Operation::kExport:
            return Export(c, *key);
        default:
            return c.Fail("ERROR: Unknown operation.");
    }
}

}  // namespace reg_tool
