// Trusted locations: adds the install folder to "TRUSTEDPATHS" in the
// "Variables" key of every AutoCAD profile of the current user (every
// release, product and profile found below HKEY_CURRENT_USER, chosen or not),
// keeping whatever the user had there. Silent.
#pragma once

#include <string>

#include "install_context.h"
#include "registry.h"

namespace tavrin {

// Three stages: the profile-list paths of every product, the variables path
// of every profile, then one merge per variables path. A missing "Variables"
// key is created. Does nothing when InstallFolder is empty.
void AddTrustedPath(const InstallContext& context, Registry& registry);

// Appends to `names` (not emptied first) the name of every subkey of `key`
// that opens for reading, in enumeration order. The subkey count is taken
// once; an index whose name cannot be read is skipped.
void ListOpenableSubkeys(Registry& registry, RegHandle key, TextList& names);

// True when one of the ";"-separated entries of `value` is `folder`, or
// `folder` followed by "\..." (the folder with its subfolders), compared
// without regard to case under code page 936 and ignoring one trailing "\".
// A longer folder name that merely contains `folder` does not count.
bool HoldsTrustedPath(const std::string& value, const std::string& folder);

struct TrustedPathsMerge {
    bool write;        // false: leave the value as it is
    std::string text;  // the value to write when `write`
};

// The new "TRUSTEDPATHS" text for an old one. A placeholder that AutoCAD reads
// as "no extra folders" ("", ".", two double quotes, or blanks only) is
// replaced by `folder`; a value that holds the folder already is left alone;
// any other value is kept exactly and gets ";" and `folder` appended (no
// doubled ";"). Texts of any length, in bytes of code page 936.
TrustedPathsMerge MergeTrustedPaths(const std::string& oldValue, const std::string& folder);

}  // namespace tavrin
