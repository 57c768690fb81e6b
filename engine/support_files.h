// The AutoCAD support files: the plug-in's two shape fonts go into the Fonts
// folder of every recorded AutoCAD folder of every chosen release, and for
// AutoCAD 2008 its PDF plot driver replaces "pdfplot9.hdi" in Drv. Silent:
// every failure is ignored and no folder is created.
#pragma once

#include <string>

#include "file_system.h"
#include "install_context.h"

namespace tavrin {

// `selected` holds the fourteen release flags in year order, 2008 first
// (SelectedReleases); nonzero means chosen.
void CopySupportFiles(const InstallContext& context, const int (&selected)[kReleaseCount], FileSystem& fs);

// Serves one AutoCAD program folder: both fonts, then the plot driver when
// `withPlotDriver`. An existing read-only file is made writable and replaced.
void CopyFolderSupportFiles(FileSystem& fs, std::string folder, bool withPlotDriver);

}  // namespace tavrin
