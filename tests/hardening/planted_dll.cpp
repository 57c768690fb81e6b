// The library a hostile setup folder holds: the DLL-planting test copies it
// there under the names of Windows libraries. Whoever loads it gets a marker
// file beside it, "<its own path>.loaded", naming the program that loaded it
// and when: at start-up (while the loader resolves the imports, before any
// code of the program runs) or at run time (a load by name).
// It has no version resource, so that Wine takes it as a native library.
#include <windows.h>

namespace {

HINSTANCE g_self = nullptr;

void LeaveMarker(HINSTANCE self, bool atStartUp) {
    char path[MAX_PATH + 16];
    const DWORD length = ::GetModuleFileNameA(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    ::lstrcpyA(path + length, ".loaded");
    char program[MAX_PATH] = "";
    const DWORD programLength = ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, program, programLength, &written, nullptr);
    const char* when = atStartUp ? " at start-up" : " at run time";
    ::WriteFile(file, when, ::lstrlenA(when), &written, nullptr);
    ::CloseHandle(file);
}

}  // namespace

// `reserved` is null for a load by name and set for a load of the imports.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        LeaveMarker(instance, reserved != nullptr);
    }
    return TRUE;
}

// What a program without the defence imports from comctl32, passed on to the
// system's own library so that such a program still shows its pages.
extern "C" __declspec(dllexport) BOOL WINAPI InitCommonControlsEx(const void* init) {
    using InitFn = BOOL(WINAPI*)(const void*);
    char path[MAX_PATH + 16];
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return FALSE;
    ::lstrcpyA(path + length, "\\comctl32.dll");
    HMODULE system = ::LoadLibraryA(path);
    if (system == nullptr || system == g_self) return FALSE;
    auto systemInit =
        reinterpret_cast<InitFn>(reinterpret_cast<void (*)()>(::GetProcAddress(system, "InitCommonControlsEx")));
    return systemInit != nullptr ? systemInit(init) : FALSE;
}
