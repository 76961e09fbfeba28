/* Starts a folder verb the way Explorer does when the user picks it from a
 * folder's context menu, waits for the program it started and exits with
 * that program's exit code.
 *
 *   start_folder_verb.exe VERB FOLDER
 */
/* shellapi.h needs the types of windows.h before it. */
/* clang-format off */
#include <windows.h>
#include <shellapi.h>
/* clang-format on */
#include <stdio.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        fwprintf(stderr, L"usage: start_folder_verb VERB FOLDER\n");
        return 2;
    }
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    /* Explorer looks the verb up in the class of the item, Directory for a
     * folder, where Windows merges the user's classes over the machine's.
     * Wine's class root holds the machine's classes only, so the user's class
     * key is handed over directly: the verb is still found, its command read
     * and %1 filled in by the shell's own code. */
    HKEY directory_class;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Classes\\Directory", 0, KEY_READ,
                                   &directory_class);
    if (status != ERROR_SUCCESS) {
        fwprintf(stderr, L"no Directory class for the current user: error %ld\n", status);
        return 3;
    }

    SHELLEXECUTEINFOW info = {0};
    info.cbSize = sizeof info;
    info.fMask =
        SEE_MASK_CLASSKEY | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = argv[1];
    info.lpFile = argv[2];
    info.hkeyClass = directory_class;
    info.nShow = SW_SHOWNORMAL;
    BOOL started = ShellExecuteExW(&info);
    RegCloseKey(directory_class);
    if (!started) {
        fwprintf(stderr, L"ShellExecuteExW failed: error %lu\n", GetLastError());
        return 3;
    }
    if (info.hProcess == NULL) {
        fwprintf(stderr, L"ShellExecuteExW started no process\n");
        return 4;
    }
    DWORD exit_code = 1;
    if (WaitForSingleObject(info.hProcess, 60000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(info.hProcess, &exit_code)) {
        fwprintf(stderr, L"the started program did not end\n");
        exit_code = 5;
    }
    CloseHandle(info.hProcess);
    return (int)exit_code;
}
