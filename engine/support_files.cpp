#include "support_files.h"

#include "constants.h"
#include "payload_copy.h"

namespace tavrin {

namespace {

// Clears both read-only bits before the copy, so an old read-only file is
// replaced, and the destination's again afterwards, since the copy takes the
// source's bits. Results are ignored; a path too long for Win32 is not tried.
void CopyReplacing(FileSystem& fs, const std::string& source, const std::string& destination) {
    if (!FitsPath(source) || !FitsPath(destination)) return;
    ClearReadOnly(fs, source);
    ClearReadOnly(fs, destination);
    fs.CopyFile(source, destination);
    ClearReadOnly(fs, destination);
}

}  // namespace

void CopySupportFiles(const InstallContext& context, const int (&selected)[kReleaseCount], FileSystem& fs) {
    for (int index = 0; index < kReleaseCount; ++index) {
        if (selected[index] == 0) continue;
        const bool withPlotDriver = ReleaseTable::At(index).withPlotDriver;
        for (const std::string& folder : context.ReleaseFolders[index]) {
            CopyFolderSupportFiles(fs, folder, withPlotDriver);
        }
    }
}

void CopyFolderSupportFiles(FileSystem& fs, std::string folder, bool withPlotDriver) {
    const std::string setupFolder = SetupFolder(fs);
    const std::string fonts = FormatText(kFontsFolderFormat, folder.c_str());
    CopyReplacing(fs, setupFolder + "\\" + kFontEn, fonts + "\\" + kFontEn);
    CopyReplacing(fs, setupFolder + "\\" + kFontHz, fonts + "\\" + kFontHz);
    if (!withPlotDriver) return;
    const std::string driver = FormatText(kDriverFolderFormat, folder.c_str());
    CopyReplacing(fs, setupFolder + "\\" + kPlotDriverSource, driver + "\\" + kPlotDriverName);
}

}  // namespace tavrin
