#include <windows.h>
// <windows.h> makes CopyFile a macro for CopyFileA; the interface has a
// member of that name.
#undef CopyFile

#include "win32_file_system.h"

#include "constants.h"

#include <vector>

namespace tavrin {
namespace {

// Owns a FindFirstFileA handle and closes it with FindClose.
class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (valid()) FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

FsStatus LastStatus() { return FsStatusFromError(GetLastError()); }

}  // namespace

FsStatus FsStatusFromError(unsigned long error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return FsStatus::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
        return FsStatus::PathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return FsStatus::AccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return FsStatus::SharingViolation;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return FsStatus::AlreadyExists;
    default:
        return FsStatus::Failed;  // ERROR_SUCCESS too: a call failed without saying why
    }
}

std::string Win32FileSystem::ProgramPath() {
    // Room for a path of 260 bytes and its terminating zero.
    char path[kMaxPathBytes + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, kMaxPathBytes + 1);
    return std::string(path, length < sizeof(path) ? length : sizeof(path) - 1);
}

FsStatus Win32FileSystem::CreateFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return FsStatus::Ok;
    return LastStatus();
}

bool Win32FileSystem::ListFolder(const std::string& folder, std::vector<DirEntry>& entries) {
    entries.clear();
    const std::string pattern = folder + "\\*.*";
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA(pattern.c_str(), &found));
    if (!find.valid()) return false;
    do {
        entries.push_back({found.cFileName, found.dwFileAttributes});
    } while (FindNextFileA(find.get(), &found));
    return true;
}

FsStatus Win32FileSystem::CopyFile(const std::string& source, const std::string& destination) {
    if (CopyFileA(source.c_str(), destination.c_str(), FALSE)) return FsStatus::Ok;
    return LastStatus();
}

bool Win32FileSystem::GetAttributes(const std::string& path, std::uint32_t& attributes) {
    const DWORD bits = GetFileAttributesA(path.c_str());
    if (bits == INVALID_FILE_ATTRIBUTES) return false;
    attributes = bits;
    return true;
}

FsStatus Win32FileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
    if (SetFileAttributesA(path.c_str(), attributes)) return FsStatus::Ok;
    return LastStatus();
}

bool Win32FileSystem::GetEnvironment(const std::string& name, std::string& value) {
    std::vector<char> buffer(kMaxPathBytes, '\0');
    for (;;) {
        // A variable set to "" also returns 0, but leaves the error alone.
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
            value.clear();
            return true;
        }
        if (length < buffer.size()) {
            value.assign(buffer.data(), length);
            return true;
        }
        // Too small: `length` is the bytes needed with the terminating zero.
        // Ask again; the value may have grown in between.
        buffer.assign(length, '\0');
    }
}

std::string Win32FileSystem::CurrentFolder() {
    std::vector<char> buffer(kMaxPathBytes, '\0');
    for (;;) {
        const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) return std::string();
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.assign(length, '\0');  // bytes needed with the terminating zero
    }
}

}  // namespace tavrin
