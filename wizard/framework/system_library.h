// Windows libraries taken from the system folder only. The setup program runs
// elevated from a folder of loose files (often Downloads), so a DLL lying
// beside it must never be loaded in place of the system's own.
#pragma once

#include <windows.h>

namespace tavrin {

// Loads `fileName` (a bare file name such as "comctl32.dll") by its full path
// in the system folder, its own dependencies searched there too. Null when
// the library is not there. The library stays loaded for the whole process.
// Needs no C runtime: safe to call before it has started.
HMODULE LoadSystemLibrary(const char* fileName);

// The first thing the program does, before the C runtime and any static
// object start: DLLs loaded by name from now on are searched in the system
// folder only (never the program's folder nor the current one), and the
// libraries Windows may pull in later by name are loaded now from the system
// folder, so that a later load by name finds them already there.
void RestrictDllSearchToSystemFolder();

}  // namespace tavrin
