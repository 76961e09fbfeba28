/* The least any program pays for saving a shortcut through the shell's own
 * link object under Wine: join COM, make the object, set a target and its
 * arguments, save, end. Loading the shell and COM libraries brings in the
 * window and drawing libraries, whose start-up (fonts among it) is most of
 * the cost; the shortcut maker's direct mode cannot go below this. */
#define COBJMACROS
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    if (FAILED(CoInitializeEx(NULL, COINIT_MULTITHREADED))) return 1;
    IShellLinkW* link = NULL;
    IPersistFile* file = NULL;
    HRESULT result = CoCreateInstance(&CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                      &IID_IShellLinkW, (void**)&link);
    if (SUCCEEDED(result)) result = IShellLinkW_SetPath(link, L"C:\\Windows\\explorer.exe");
    if (SUCCEEDED(result)) result = IShellLinkW_SetArguments(link, L"/e,\"C:\\Data\\Bench\"");
    if (SUCCEEDED(result)) result = IShellLinkW_SetShowCmd(link, SW_SHOWMAXIMIZED);
    if (SUCCEEDED(result))
        result = IShellLinkW_QueryInterface(link, &IID_IPersistFile, (void**)&file);
    if (SUCCEEDED(result)) result = IPersistFile_Save(file, argv[1], TRUE);
    if (file) IPersistFile_Release(file);
    if (link) IShellLinkW_Release(link);
    CoUninitialize();
    return SUCCEEDED(result) ? 0 : 1;
}
