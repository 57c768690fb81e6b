#include "scratch_files.h"

#include <vector>

namespace tavrin {
namespace testing {

namespace {

struct FindCloser {
    void operator()(HANDLE handle) const { FindClose(handle); }
};
using FindHandle = std::unique_ptr<void, FindCloser>;

}  // namespace

FileHandle OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
    HANDLE handle = CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return FileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

void RemoveTree(const std::string& folder) {
    std::vector<std::string> files;
    std::vector<std::string> folders;
    WIN32_FIND_DATAA found;
    HANDLE first = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (first != INVALID_HANDLE_VALUE) {
        const FindHandle find(first);
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? folders : files).push_back(path);
        } while (FindNextFileA(find.get(), &found));
    }
    for (const std::string& path : files) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    for (const std::string& path : folders) RemoveTree(path);
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
}

}  // namespace testing
}  // namespace tavrin
