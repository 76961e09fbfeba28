/* For end-to-end tests under Wine: answers the message box with the given
 * title by its button (IDOK unless given), as a click would, without the
 * keyboard. Exits 0 when a box was answered, 1 when none was found. */
#include <stdlib.h>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const WPARAM button = argc > 2 ? (WPARAM)wcstol(argv[2], NULL, 10) : IDOK;
    /* #32770 is the dialog class message boxes are made of. */
    HWND box = FindWindowW(L"#32770", argv[1]);
    if (!box) return 1;
    return PostMessageW(box, WM_COMMAND, button, 0) ? 0 : 1;
}
