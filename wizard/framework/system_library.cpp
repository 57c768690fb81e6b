#include "system_library.h"

#include "constants.h"

namespace tavrin {

namespace {

// SetDefaultDllDirectories is missing on Windows 7 without update KB2533623:
// looked up at run time, so that the program still starts there.
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

// Copies `text` behind `buffer[length]`; false when it would not fit with its
// terminating zero in `size` bytes. Plain loops: this runs before the C
// runtime has started.
bool Append(char* buffer, UINT& length, UINT size, const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        if (length + 1 >= size) return false;
        buffer[length++] = *c;
    }
    buffer[length] = '\0';
    return true;
}

}  // namespace

HMODULE LoadSystemLibrary(const char* fileName) {
    char path[MAX_PATH];
    UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    if (!Append(path, length, MAX_PATH, "\\") || !Append(path, length, MAX_PATH, fileName)) return nullptr;
    HMODULE module = ::LoadLibraryExA(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows without the search flags refuses them as an invalid parameter;
    // the altered search path then looks for the dependencies beside the
    // library, in the system folder.
    if (module == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        module = ::LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    return module;
}

void RestrictDllSearchToSystemFolder() {
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    FARPROC found = kernel != nullptr ? ::GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(found));
    if (setDefaultDllDirectories == nullptr || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        // At least the current folder leaves the search; the preloads below
        // then keep the program's folder out for the libraries that matter.
        ::SetDllDirectoryA("");
    }
    // Loaded for the whole process on purpose: never freed.
    for (const char* name : kPreloadedSystemLibraries) LoadSystemLibrary(name);
}

}  // namespace tavrin
