// The payload copy: the first step of the install run. Copies the plug-in's
// files from the setup program's own folder into the install folder (two of
// them renamed) and the two configuration files into the user configuration
// folder, leaving out the setup program and the files that belong in
// AutoCAD's folders. Also the two file helpers the support-file copy shares.
#pragma once

#include <string>

#include "file_system.h"
#include "install_ui.h"

namespace tavrin {

// What the location page hands to CopyPayload.
struct PayloadJob {
    // Copies `folder` and removes one trailing "\" (a character of its own
    // under code page 936). Throws std::invalid_argument when no folder is
    // left (an empty text, or "\" alone).
    PayloadJob(const std::string& folder, InstallProgress* progress);

    std::string m_folder;            // the install folder, no trailing "\"
    InstallProgress* m_pProgress;    // stepped once per folder entry; not owned, may be null
};

// Copies every file of SetupFolder() flat into the job's folder by the payload
// rules, stepping the bar once per listing entry and once when the listing
// ends. A failed copy asks the user Abort/Retry/Ignore. Returns false when the
// user aborts, or when the setup folder cannot be listed (the user is told
// which folder); true when every entry has been handled.
bool CopyPayload(const PayloadJob& job, FileSystem& fs, InstallPrompt& prompt);

// The name a file of the setup folder takes in the install folder ("Tavrin.prt6"
// becomes "ICSharpCode.SharpZipLib.dll"), or "" for a file that does not go
// there (the setup program, the AutoCAD support files, the configuration
// files).
std::string PayloadInstallName(const std::string& name);

// The folder of the running program: its full path cut before the last "\".
// A bare program name (no "\") means the current folder.
std::string SetupFolder(FileSystem& fs);

// Removes the read-only bit of the file at `path`, keeping its other bits.
// Silent: a missing file, a path too long for Win32 or a failed change is
// ignored.
void ClearReadOnly(FileSystem& fs, const std::string& path);

// "%s\Tavrin" of the "APPDATA" value ("\Tavrin" when it is not set).
std::string UserConfigFolder(FileSystem& fs);

// True when `path` with its terminating zero fits the 260 bytes that Win32
// gives a path (so at most 259 bytes of text). Paths that do not fit are
// never handed to the file system: the copy counts as failed instead.
bool FitsPath(const std::string& path);

// printf-style formatting into a text of any length (bytes, code page 936).
std::string FormatText(const char* format, ...);

}  // namespace tavrin
