#include "payload_copy.h"

#include <cstdarg>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "constants.h"
#include "cp936.h"

namespace tavrin {

namespace {

bool IsNamed(const std::string& name, const char* fixedName) { return cp936::EqualsNoCase(name, fixedName); }

// The files of the setup folder that the payload copy leaves out: the setup
// program itself (by its fixed name) and the three that go into AutoCAD's
// own folders.
bool IsLeftOut(const std::string& name) {
    return IsNamed(name, kSetupProgramName) || IsNamed(name, kFontEn) || IsNamed(name, kFontHz) ||
           IsNamed(name, kPlotDriverSource);
}

bool IsConfigFile(const std::string& name) { return IsNamed(name, kConfigFile) || IsNamed(name, kTitleBlockFile); }

// Where a file of the setup folder goes. The configuration folder is built
// and created again for each configuration file.
std::string DestinationOf(const std::string& name, const std::string& target, FileSystem& fs) {
    if (IsConfigFile(name)) {
        const std::string configFolder = UserConfigFolder(fs);
        if (FitsPath(configFolder)) fs.CreateFolder(configFolder);
        return configFolder + "\\" + name;
    }
    return target + "\\" + PayloadInstallName(name);
}

// A path too long for Win32 is not handed to the file system; the copy
// simply counts as failed, so the user hears of it.
bool TryCopy(FileSystem& fs, const std::string& source, const std::string& destination) {
    if (!FitsPath(source) || !FitsPath(destination)) return false;
    return fs.CopyFile(source, destination) == FsStatus::Ok;
}

enum class EntryOutcome { Done, Aborted };

EntryOutcome CopyEntry(const DirEntry& entry, const std::string& sourceFolder, const std::string& target,
                       FileSystem& fs, InstallPrompt& prompt) {
    if (entry.name == "." || entry.name == "..") return EntryOutcome::Done;
    if (entry.attributes & kAttrDirectory) return EntryOutcome::Done;  // the copy is flat
    if (IsLeftOut(entry.name)) return EntryOutcome::Done;

    const std::string source = sourceFolder + "\\" + entry.name;
    const std::string destination = DestinationOf(entry.name, target, fs);
    ClearReadOnly(fs, source);
    ClearReadOnly(fs, destination);
    // Retry tries the same copy again without clearing the bits again.
    while (!TryCopy(fs, source, destination)) {
        const CopyFailureAnswer answer =
            prompt.AskCopyFailed(FormatText(kCopyFailedFormat, destination.c_str()), kInstallCaption);
        if (answer == CopyFailureAnswer::Ignore) break;
        // Anything but Retry or Ignore (a box that could not be shown) stops.
        if (answer != CopyFailureAnswer::Retry) return EntryOutcome::Aborted;
    }
    ClearReadOnly(fs, destination);
    return EntryOutcome::Done;
}

void StepBar(const PayloadJob& job) {
    if (job.m_pProgress != nullptr) job.m_pProgress->Step();
}

}  // namespace

std::string PayloadInstallName(const std::string& name) {
    if (IsLeftOut(name) || IsConfigFile(name)) return std::string();
    if (IsNamed(name, kZipLibSource)) return kZipLibName;
    if (IsNamed(name, kPdfLibSource)) return kPdfLibName;
    return name;
}

PayloadJob::PayloadJob(const std::string& folder, InstallProgress* progress)
    : m_folder(folder), m_pProgress(progress) {
    cp936::RemoveTrailingBackslash(m_folder);
    if (m_folder.empty()) throw std::invalid_argument("PayloadJob: empty install folder");
}

bool CopyPayload(const PayloadJob& job, FileSystem& fs, InstallPrompt& prompt) {
    const std::string sourceFolder = SetupFolder(fs);
    const std::string& target = job.m_folder;
    // The location page has made it already; this only covers a target that
    // is still missing while its parent exists.
    if (FitsPath(target)) fs.CreateFolder(target);

    std::vector<DirEntry> entries;
    if (!fs.ListFolder(sourceFolder, entries)) {
        // Nothing could be copied: the run must not go on to register a
        // plug-in whose files are missing.
        prompt.ShowError(FormatText(kSetupFolderUnreadableFormat, sourceFolder.c_str()), kInstallCaption);
        return false;
    }

    for (const DirEntry& entry : entries) {
        StepBar(job);
        if (CopyEntry(entry, sourceFolder, target, fs, prompt) == EntryOutcome::Aborted) return false;
    }
    StepBar(job);  // the pass that finds the listing exhausted
    return true;
}

std::string SetupFolder(FileSystem& fs) {
    const std::string program = fs.ProgramPath();
    const std::size_t slash = cp936::FindLastBackslash(program);
    if (slash == std::string::npos) return fs.CurrentFolder();
    return program.substr(0, slash);
}

void ClearReadOnly(FileSystem& fs, const std::string& path) {
    if (!FitsPath(path)) return;
    std::uint32_t attributes = 0;
    if (!fs.GetAttributes(path, attributes)) return;
    if ((attributes & kAttrReadOnly) == 0) return;
    fs.SetAttributes(path, attributes & ~static_cast<std::uint32_t>(kAttrReadOnly));
}

std::string UserConfigFolder(FileSystem& fs) {
    std::string appData;
    if (!fs.GetEnvironment(kAppDataVariable, appData)) appData.clear();
    return FormatText(kUserConfigFolderFormat, appData.c_str());
}

bool FitsPath(const std::string& path) { return path.size() < kMaxPathBytes; }

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length <= 0) {
        va_end(again);
        return std::string();
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, again);
    va_end(again);
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

}  // namespace tavrin
