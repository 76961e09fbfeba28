/* For end-to-end tests under Wine, where `wine prog.exe arg` quotes the
 * arguments anew: starts a program with an exact command line and answers
 * its message boxes.
 *   run_with_command_line PROGRAM TEXT [BUTTON] [SECONDS]
 * The program's command line is its quoted path, a blank and TEXT, in which
 * {U+XXXX} stands for that UTF-16 unit (so a lone surrogate can be given).
 * Each message box the program shows is printed as "box: <text>" in UTF-8
 * and answered with BUTTON (a dialog result: 1 OK, 6 Yes, 7 No; 1 unless
 * given). Prints "exit: <code>" and exits with the program's exit code, or
 * 124 when it still runs after SECONDS (20 unless given). */
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>
#include <windows.h>

static int HexValue(const wchar_t* digits, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const wchar_t c = digits[i];
        int digit;
        if (c >= L'0' && c <= L'9') {
            digit = c - L'0';
        } else if (c >= L'A' && c <= L'F') {
            digit = c - L'A' + 10;
        } else if (c >= L'a' && c <= L'f') {
            digit = c - L'a' + 10;
        } else {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

/* TEXT with each {U+XXXX} made the unit it names. */
static void Decode(const wchar_t* text, wchar_t* out) {
    while (*text) {
        if (wcsncmp(text, L"{U+", 3) == 0 && wcslen(text) >= 8 && text[7] == L'}') {
            const int unit = HexValue(text + 3, 4);
            if (unit >= 0) {
                *out++ = (wchar_t)unit;
                text += 8;
                continue;
            }
        }
        *out++ = *text++;
    }
    *out = 0;
}

static void PrintUtf8(const char* head, const wchar_t* text) {
    char utf8[8192];
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
    if (length <= 0) utf8[0] = 0;
    /* One line per box: its line breaks become blanks. */
    for (char* c = utf8; *c; ++c) {
        if (*c == '\r' || *c == '\n') *c = ' ';
    }
    printf("%s%s\n", head, utf8);
    fflush(stdout);
}

struct Search {
    DWORD process;
    HWND box;
};

static BOOL CALLBACK FindBox(HWND window, LPARAM data) {
    struct Search* search = (struct Search*)data;
    DWORD owner = 0;
    wchar_t windowClass[16];
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !IsWindowVisible(window)) return TRUE;
    if (!GetClassNameW(window, windowClass, 16) || wcscmp(windowClass, L"#32770") != 0) {
        return TRUE;
    }
    search->box = window;
    return FALSE;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const WPARAM button = argc > 3 ? (WPARAM)wcstol(argv[3], NULL, 10) : IDOK;
    const DWORD seconds = argc > 4 ? (DWORD)wcstol(argv[4], NULL, 10) : 20;
    const size_t size = wcslen(argv[1]) + wcslen(argv[2]) + 4;
    wchar_t* commandLine = malloc(size * sizeof(wchar_t));
    wchar_t* text = malloc((wcslen(argv[2]) + 1) * sizeof(wchar_t));
    if (!commandLine || !text) return 2;
    Decode(argv[2], text);
    swprintf(commandLine, size, L"\"%ls\" %ls", argv[1], text);

    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessW(argv[1], commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                        &process)) {
        fprintf(stderr, "cannot start the program: error %lu\n", GetLastError());
        return 2;
    }
    HWND answered = NULL;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > seconds * 1000) {
            TerminateProcess(process.hProcess, 124);
            printf("exit: timeout\n");
            return 124;
        }
        struct Search search = {process.dwProcessId, NULL};
        EnumWindows(FindBox, (LPARAM)&search);
        if (!search.box || search.box == answered) continue;
        wchar_t boxText[4096] = L"";
        /* A message box's text is its static control 0xFFFF. */
        GetDlgItemTextW(search.box, 0xFFFF, boxText, 4096);
        PrintUtf8("box: ", boxText);
        PostMessageW(search.box, WM_COMMAND, button, 0);
        answered = search.box;
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    printf("exit: %lu\n", code);
    return (int)code;
}
