// The file system and process environment of the running Windows machine,
// through the KERNEL32 A-functions (code page 936 under a Chinese system).
// Failures carry the GetLastError code as FsStatus; codes the engine does not
// tell apart become the nearest of them, or FsStatus::Failed.
#pragma once

#include "file_system.h"

namespace tavrin {

class Win32FileSystem : public FileSystem {
public:
    std::string ProgramPath() override;
    FsStatus CreateFolder(const std::string& path) override;
    bool ListFolder(const std::string& folder, std::vector<DirEntry>& entries) override;
    FsStatus CopyFile(const std::string& source, const std::string& destination) override;
    bool GetAttributes(const std::string& path, std::uint32_t& attributes) override;
    FsStatus SetAttributes(const std::string& path, std::uint32_t attributes) override;
    bool GetEnvironment(const std::string& name, std::string& value) override;
    std::string CurrentFolder() override;
};

// The FsStatus of a Win32 error code.
FsStatus FsStatusFromError(unsigned long error);

}  // namespace tavrin
