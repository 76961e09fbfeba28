/* For the interoperability test under Wine: loads each shortcut file named on
 * the command line through the shell's own link object, resolves it without
 * asking anyone, and prints its target, arguments, icon file and icon index,
 * tab-separated, one line per file in UTF-8. Exits 1 at the first file the
 * shell cannot load or resolve. */
#define COBJMACROS
#include <objbase.h>
#include <shlobj.h>
#include <stdio.h>
#include <windows.h>

static void PrintUtf8(const wchar_t* text, const char* after) {
    char buffer[4096];
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL) > 0) {
        fputs(buffer, stdout);
    }
    fputs(after, stdout);
}

/* S_OK when the file loaded, resolved and has a target; the values printed. */
static HRESULT LoadAndPrint(const wchar_t* file) {
    IShellLinkW* link = NULL;
    IPersistFile* persist = NULL;
    wchar_t path[MAX_PATH] = L"", arguments[2048] = L"", icon[MAX_PATH] = L"";
    int iconIndex = -1;
    HRESULT hr = CoCreateInstance(&CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, &IID_IShellLinkW,
                                  (void**)&link);
    if (SUCCEEDED(hr)) hr = IShellLinkW_QueryInterface(link, &IID_IPersistFile, (void**)&persist);
    if (SUCCEEDED(hr)) hr = IPersistFile_Load(persist, file, STGM_READ);
    if (SUCCEEDED(hr)) {
        hr = IShellLinkW_Resolve(link, NULL, SLR_NO_UI | SLR_NOUPDATE | SLR_NOSEARCH | SLR_NOTRACK);
    }
    /* S_FALSE here means the link has no target path. */
    if (hr == S_OK) hr = IShellLinkW_GetPath(link, path, MAX_PATH, NULL, 0);
    if (hr == S_OK) hr = IShellLinkW_GetArguments(link, arguments, 2048);
    if (hr == S_OK) hr = IShellLinkW_GetIconLocation(link, icon, MAX_PATH, &iconIndex);
    if (hr == S_OK) {
        wchar_t index[16];
        swprintf(index, 16, L"%d", iconIndex);
        PrintUtf8(path, "\t");
        PrintUtf8(arguments, "\t");
        PrintUtf8(icon, "\t");
        PrintUtf8(index, "\n");
    }
    if (persist) IPersistFile_Release(persist);
    if (link) IShellLinkW_Release(link);
    return hr == S_OK ? S_OK : (FAILED(hr) ? hr : E_FAIL);
}

int wmain(int argc, wchar_t** argv) {
    /* No apartment window: nothing here needs a display. */
    if (FAILED(CoInitializeEx(NULL, COINIT_MULTITHREADED))) return 1;
    int status = 0;
    for (int i = 1; i < argc && status == 0; ++i) {
        const HRESULT hr = LoadAndPrint(argv[i]);
        if (hr != S_OK) {
            fprintf(stderr, "The shell could not load shortcut %d: 0x%08lx\n", i,
                    (unsigned long)hr);
            status = 1;
        }
    }
    fflush(stdout);
    CoUninitialize();
    return status;
}
