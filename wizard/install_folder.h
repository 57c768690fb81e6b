// The location page's rules for the folder text the user typed or picked:
// what the install run may be given, and the install folder built from it.
// Plain C++ over the FileSystem interface, so the rules run in the native
// tests. Texts are code page 936; sizes count bytes.
#pragma once

#include <string>

#include "file_system.h"

namespace tavrin {

struct InstallFolderChoice {
    bool accepted = false;
    std::string folder;         // the chosen folder, absolute, no trailing "\"
    std::string installFolder;  // folder + "\Tavrin批打印软件"
    std::string refusal;        // the message for the user when not accepted
};

// `text` made absolute against the current folder: "X:\..." and "\\server\..."
// stand as they are, "\..." is taken from the current drive's root, "X:..."
// from the root of X, anything else from the current folder; "." and ".."
// levels are resolved. Registry entries built from it never hold a relative
// path.
std::string MakeAbsolutePath(const std::string& text, const std::string& currentFolder);

// Checks a non-empty folder text before anything is created. Refused: a text
// holding ";" (it would split into two of AutoCAD's trusted locations), and a
// text so long that the "LOADER" path or a copied file's path in the install
// folder would pass 259 bytes (the longest name comes from the setup folder's
// listing). The refusal names the limit in bytes.
InstallFolderChoice CheckInstallFolderText(const std::string& text, FileSystem& fs);

}  // namespace tavrin
