/* The yardstick for the shortcut maker's direct mode under Wine: a minimal
 * Win32 program that writes a file of a given size and ends. */
#include <stdlib.h>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const long size = wcstol(argv[2], NULL, 10);
    HANDLE file =
        CreateFileW(argv[1], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    char buffer[4096];
    for (int i = 0; i < (int)sizeof buffer; ++i) buffer[i] = (char)(i & 0x7F);
    long left = size;
    BOOL ok = TRUE;
    while (ok && left > 0) {
        DWORD chunk = left > (long)sizeof buffer ? (DWORD)sizeof buffer : (DWORD)left;
        DWORD written = 0;
        ok = WriteFile(file, buffer, chunk, &written, NULL) && written == chunk;
        left -= (long)chunk;
    }
    return CloseHandle(file) && ok ? 0 : 1;
}
