// Stands in for a library planted beside the program (RICHED20.DLL in a Downloads folder):
// loaded, it leaves the file "planted_library_loaded" beside itself.
#include <windows.h>

#include <string>

#include "win/owners_win.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    std::wstring marker(path, length);
    marker = marker.substr(0, marker.find_last_of(L'\\') + 1) + L"planted_library_loaded";
    const CFileHandle file(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return TRUE;
}
