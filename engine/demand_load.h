// Demand-load registration: under each recorded product key of each chosen
// release, the key "Applications\TV_BatchPlot<year>" with LOADCTRLS = 2 and
// LOADER naming the module of the release's module year in the install
// folder, so that AutoCAD loads the plug-in when it starts. Silent.
#pragma once

#include "install_context.h"
#include "registry.h"

namespace tavrin {

// Registers every release whose flag is nonzero (`selected` in year order,
// 2008 first), in ascending year order, then adds the install folder to the
// trusted locations; the latter also when no release is chosen.
void RegisterSelectedReleases(const InstallContext& context, const int (&selected)[kReleaseCount],
                              Registry& registry);

// Writes the entry of one release under each of its product keys below
// HKEY_LOCAL_MACHINE. A year outside 2008..2021 does nothing. When the LOADER
// path would not fit 260 bytes with its terminating zero (an install folder
// of more than 238 bytes), nothing is written or deleted for the release: a
// cut path would name a module that does not exist.
void RegisterDemandLoad(const InstallContext& context, int year, Registry& registry);

}  // namespace tavrin
