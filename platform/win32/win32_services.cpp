#include "platform/win32/win32_services.h"

#include "platform/platform_error.h"
#include "platform/shell/quoted_path.h"
#include "platform/win32/bound_api.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

std::intptr_t Win32ShellExecutor::ShellExecute(std::uintptr_t owner, const char* operation,
                                               const std::string& file, const char* parameters,
                                               const std::string& directory, int showCommand) {
    const std::wstring wideFile = Wide(file);
    const std::wstring wideDirectory = Wide(directory);
    std::wstring wideOperation;
    std::wstring wideParameters;
    if (operation) wideOperation = Wide(operation);
    if (parameters) wideParameters = Wide(parameters);
    const HINSTANCE result = bound::ShellExecuteW(
        reinterpret_cast<HWND>(owner), operation ? wideOperation.c_str() : nullptr,
        wideFile.c_str(), parameters ? wideParameters.c_str() : nullptr,
        directory.empty() ? nullptr : wideDirectory.c_str(), showCommand);
    return reinterpret_cast<std::intptr_t>(result);
}

namespace {

using HtmlHelpWFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

}  // namespace

std::uintptr_t Win32HtmlHelp::HtmlHelp(std::uintptr_t owner, const std::string& file,
                                       unsigned command, const std::string& data) {
    if (!entry_) {
        if (!library_) library_.Reset(::LoadLibraryW(L"hhctrl.ocx"));
        if (!library_) {
            throw PlatformError("The help viewer hhctrl.ocx cannot be loaded: " +
                                ErrorText(::GetLastError()));
        }
        entry_ = reinterpret_cast<void*>(::GetProcAddress(library_.Get(), "HtmlHelpW"));
        if (!entry_) throw PlatformError("The help viewer hhctrl.ocx has no HtmlHelpW.");
    }
    const auto htmlHelpW = reinterpret_cast<HtmlHelpWFunction>(entry_);
    const HWND window = reinterpret_cast<HWND>(owner);
    if (command == kHhCloseAll)
        return reinterpret_cast<std::uintptr_t>(htmlHelpW(nullptr, nullptr, command, 0));
    const std::wstring wideFile = Wide(file);
    const std::wstring wideData = Wide(data);
    const DWORD_PTR argument = data.empty() ? 0 : reinterpret_cast<DWORD_PTR>(wideData.c_str());
    return reinterpret_cast<std::uintptr_t>(htmlHelpW(window, wideFile.c_str(), command, argument));
}

bool MutexInstanceCheck::PreviousInstanceRunning(const std::string& programName) {
    if (mutex_) return previous_;
    // Local\: one instance per user session, as a user sees programs.
    const std::wstring name = L"Local\\Tamsholt." + Wide(programName) + L".Instance";
    mutex_.Reset(::CreateMutexW(nullptr, FALSE, name.c_str()));
    // Reset freed nothing (nothing was held), so the last error is still CreateMutexW's.
    if (!mutex_) {
        throw PlatformError("The instance check cannot be made: " + ErrorText(::GetLastError()));
    }
    previous_ = ::GetLastError() == ERROR_ALREADY_EXISTS;
    return previous_;
}

std::string ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            throw PlatformError("The program's folder cannot be found: " +
                                ErrorText(::GetLastError()));
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L"\\/");
    std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    // A program in a drive's root keeps "C:" rather than "C:\".
    return Utf8(folder);
}

std::string ArgumentsOf(const std::wstring& commandLine) {
    std::size_t i = 0;
    // The program's name: up to the first space or tab, with quoted parts
    // taken whole, as the system's own start-up code reads it.
    bool quoted = false;
    while (i < commandLine.size()) {
        const wchar_t c = commandLine[i];
        if (c == L'"') {
            quoted = !quoted;
        } else if (!quoted && (c == L' ' || c == L'\t')) {
            break;
        }
        ++i;
    }
    while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
    return Utf8(commandLine.substr(i));
}

std::string CommandLineFolder(const std::wstring& commandLine) {
    const std::string arguments = ArgumentsOf(commandLine);
    // A lone surrogate would reach the shortcut as U+FFFD, and so open
    // another folder.
    if (!IsWholeUtf16(commandLine)) {
        throw PlatformError("The folder \"" + PathInsideQuotes(arguments) +
                            "\" has a name that is not valid text, so a shortcut cannot name it "
                            "exactly. Rename the folder and try again.");
    }
    return PathInsideQuotes(arguments);
}

}  // namespace platform::win32
