// kestrow-reg: query and change the registry store from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "platform/posix/registry/sqlite_registry.h"
#include "reg-tool/command_line.h"
#include "reg-tool/commands.h"
#include "reg-tool/start_menu_command.h"

int main(int argc, char** argv) {
    try {
        if (reg_tool::IsStartMenuCommand(argc, argv)) {
            const auto registry =
                platform::posix::OpenSqliteRegistry(platform::posix::DefaultRegistryPath());
            return reg_tool::PrintStartMenuFolder(*registry, std::cout, std::cerr);
        }
        const std::vector<std::string> args(argv + 1, argv + argc);
        std::string why;
        const auto command = reg_tool::ParseCommandLine(args, &why);
        if (!command) {
            std::cerr << why << "\n";
            return 1;
        }
        const reg_tool::StoreOpener openStore = [] {
            return platform::posix::OpenSqliteRegistry(platform::posix::DefaultRegistryPath());
        };
        return reg_tool::RunCommand(*command, openStore, std::cin, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "ERROR: " << e.what() << "\n";
        return 1;
    }
}
