// The file system and process environment as the engine sees them: the
// KERNEL32 operations that the payload copy, the support files and the folder
// rules use, behind an interface so the same logic runs on Windows and against
// an in-memory file system in the native tests.
//
// Paths are narrow texts in code page 936 with "\" between levels
// ("C:\Tavrin\a.txt"). Sizes count bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavrin {

// File attribute bits, with their Win32 values.
enum FileAttribute : std::uint32_t {
    kAttrReadOnly = 0x1,
    kAttrHidden = 0x2,
    kAttrSystem = 0x4,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
    kAttrNormal = 0x80
};

// Win32 error codes that the engine and its tests tell apart.
enum class FsStatus : unsigned long {
    Ok = 0,
    FileNotFound = 2,     // ERROR_FILE_NOT_FOUND
    PathNotFound = 3,     // ERROR_PATH_NOT_FOUND
    AccessDenied = 5,     // ERROR_ACCESS_DENIED
    SharingViolation = 32,
    AlreadyExists = 183,  // ERROR_ALREADY_EXISTS
    Failed = 1
};

// One entry of a folder listing, as FindFirstFileA/FindNextFileA give it.
struct DirEntry {
    std::string name;          // the name alone, as the file system spells it
    std::uint32_t attributes;  // FileAttribute bits
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // GetModuleFileNameA of the running program: its full path.
    virtual std::string ProgramPath() = 0;
    // CreateDirectoryA: one level; fails when the parent is missing or the
    // name exists already.
    virtual FsStatus CreateFolder(const std::string& path) = 0;
    // FindFirstFileA("<folder>\*.*") and FindNextFileA: every entry of the
    // folder once, "." and ".." included, in the file system's order. Returns
    // false, with `entries` empty, when the folder cannot be listed.
    virtual bool ListFolder(const std::string& folder, std::vector<DirEntry>& entries) = 0;
    // CopyFileA with fail-if-exists FALSE: replaces an existing destination;
    // fails when the destination is read-only or hidden, its folder is missing
    // or a file is in use. The copy takes the source's attribute bits.
    virtual FsStatus CopyFile(const std::string& source, const std::string& destination) = 0;
    // GetFileAttributesA; false when nothing exists under the path.
    virtual bool GetAttributes(const std::string& path, std::uint32_t& attributes) = 0;
    // SetFileAttributesA.
    virtual FsStatus SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
    // GetEnvironmentVariableA; false when the variable is not set.
    virtual bool GetEnvironment(const std::string& name, std::string& value) = 0;
    // GetCurrentDirectoryA.
    virtual std::string CurrentFolder() = 0;

    bool Exists(const std::string& path) {
        std::uint32_t attributes = 0;
        return GetAttributes(path, attributes);
    }
};

}  // namespace tavrin
