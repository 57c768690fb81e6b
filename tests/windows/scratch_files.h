// Real files for the Windows tests: an owned file handle (to hold a file open
// the way a running AutoCAD does) and the removal of a scratch folder.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace tavrin {
namespace testing {

struct FileHandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, FileHandleCloser>;

// CreateFileA with FILE_ATTRIBUTE_NORMAL; an empty FileHandle when it fails.
FileHandle OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition);

// Deletes the folder with everything in it, read-only files included.
// Nothing happens when it is not there.
void RemoveTree(const std::string& folder);

}  // namespace testing
}  // namespace tavrin
