// AutoCAD detection: finds every installed AutoCAD release 2008..2021 in the
// local-machine registry and records, per release, the program folders and
// the product key paths in the install context.
#pragma once

#include <string>

#include "install_context.h"
#include "registry.h"

namespace tavrin {

// Pass 1 over the 32-bit view (2008..2009 accepted), then pass 2 over the
// native view (2008..2021). Runs once, at start-up.
void DetectReleases(InstallContext& context, Registry& registry);

// One pass over one root below HKEY_LOCAL_MACHINE. `prefixFormat` holds one
// "%s" for the release key's name.
void ScanAutoCADRoot(InstallContext& context, Registry& registry, const std::string& rootPath,
                     const std::string& prefixFormat, int lastYear);

// Depth-first search below `parent`/`name` for the value named by
// context.SearchValueName; appends to SearchKeys and SearchValues.
void FindValueInTree(InstallContext& context, Registry& registry, RegHandle parent, std::string name,
                     std::string relativePath, std::string prefix);

// The release year a product name names, 0 when none of 2008..lastYear.
int ClassifyProductName(const std::string& productName, int lastYear);

}  // namespace tavrin
