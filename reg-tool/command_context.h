// What every operation of kestrow-reg shares: the parsed command, the store,
// the user's streams, and the messages and questions of the reg command.
#pragma once

#include <iosfwd>
#include <string>

#include "reg-tool/command_line.h"
#include "reg-tool/commands.h"
#include "reg-tool/key_name.h"

namespace reg_tool {

// "ERROR: ..." for a registry result code.
std::string RegistryError(long rc);

// Yes or No from the user; anything else asks again, and no answer is No.
bool Confirm(const std::string& question, std::istream& in, std::ostream& out);

struct Context {
    const Command& command;
    const StoreOpener& openStore;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;

    int Fail(const std::string& message) const;
    int Failed(long rc) const { return Fail(RegistryError(rc)); }
    int Done() const;
    int Cancelled() const;
};

// "(Default)" for the value without a name.
std::string ValueLabel(const std::string& name);

int Query(const Context& c, const KeyName& key);
int Copy(const Context& c, const KeyName& from, const KeyName& to);
int Compare(const Context& c, const KeyName& first, const KeyName& second);

}  // namespace reg_tool
