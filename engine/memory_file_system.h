// An in-memory file system for the engine's native tests. It follows the
// rules of the KERNEL32 A-functions that the engine relies on, so a test can
// set up a setup folder, an install folder or an AutoCAD folder and see what
// the engine did to them.
//
// Paths: drive-letter paths ("C:\Setup\a.txt"; a root is "C:\"). "\" and "/"
// separate levels; repeated separators, "." and ".." fold away as Windows
// folds them. A path that starts with "\" is on the drive of the current
// folder; one without a drive is below the current folder. Names are matched
// without regard to the case of single-byte letters; double-byte characters
// of code page 936 must match exactly, and a trail byte is never a separator
// or a letter. A name keeps the spelling it was created with.
//
// The machine starts with drive C: (empty), no environment variables, the
// program "C:\Setup\SetUp.exe" and the current folder "C:\". Other drives
// exist only once a helper has put something on them.
#pragma once

#include "file_system.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

class MemoryFileSystem : public FileSystem {
public:
    MemoryFileSystem();

    // --- FileSystem ---------------------------------------------------------
    std::string ProgramPath() override;
    // Fails AlreadyExists when a folder or file is there (a drive root
    // included), PathNotFound when the parent folder (or the drive) is
    // missing, Failed for a name that Windows refuses ("a?b").
    FsStatus CreateFolder(const std::string& path) override;
    // "." and ".." first (not for a drive root, as on Windows), then the
    // entries in the order they were created. False for a missing folder, a
    // file, or a folder made unlistable. "C:" lists the root of C:, as the
    // pattern "C:\*.*" does.
    bool ListFolder(const std::string& folder, std::vector<DirEntry>& entries) override;
    // Checked in Windows' order: the source (PathNotFound, FileNotFound,
    // AccessDenied for a folder, SharingViolation when in use), then the
    // destination (PathNotFound when its folder is missing, AccessDenied when
    // it is a folder, read-only or hidden, SharingViolation when in use or the
    // same file as the source). A replaced destination keeps its spelling; the
    // copy gets the source's content and attributes plus kAttrArchive.
    FsStatus CopyFile(const std::string& source, const std::string& destination) override;
    // Directory bit for folders; kAttrNormal when no other bit is set.
    bool GetAttributes(const std::string& path, std::uint32_t& attributes) override;
    // Stores every bit but kAttrDirectory and kAttrNormal (a folder stays a
    // folder). FileNotFound / PathNotFound when nothing is there.
    FsStatus SetAttributes(const std::string& path, std::uint32_t attributes) override;
    // Names without regard to letter case. A variable set to "" is found.
    bool GetEnvironment(const std::string& name, std::string& value) override;
    std::string CurrentFolder() override;

    // --- Test helpers: setting up -------------------------------------------
    // Helpers throw std::invalid_argument for a path they cannot place (a
    // malformed path, a file standing where a folder is wanted).

    void SetProgramPath(const std::string& path);
    // A drive-letter path; relative paths resolve against it.
    void SetCurrentFolder(const std::string& path);
    void SetEnvironment(const std::string& name, const std::string& value);
    void UnsetEnvironment(const std::string& name);

    // Puts a file there with this content (bytes) and attribute bits,
    // creating missing folders and the drive on the way. An existing file
    // gets the new content and attributes and keeps its spelling.
    void AddFile(const std::string& path, const std::string& content = std::string(),
                 std::uint32_t attributes = kAttrArchive);
    // Makes the folder and every missing level above it (and the drive:
    // AddFolder("D:\\") makes an empty drive D:).
    void AddFolder(const std::string& path);
    // A file held open by another program without sharing (a running
    // AutoCAD): copies from or onto it fail with SharingViolation until it is
    // released with inUse = false. Marking a missing path has no effect.
    void SetInUse(const std::string& path, bool inUse = true);
    // ListFolder of this existing folder fails from now on (no access).
    void SetUnlistable(const std::string& folder);

    // --- Test helpers: looking at the result --------------------------------

    // The content of the file there; nothing for a folder or a missing path.
    std::optional<std::string> ReadContent(const std::string& path) const;
    // Every file and folder below `folder`, at any depth, as full paths
    // spelled as created, in creation order (a replaced file keeps its
    // place). Empty when the folder does not exist.
    std::vector<std::string> PathsBelow(const std::string& folder) const;

    // One CopyFile call, in call order.
    struct CopyRecord {
        std::string source;
        std::string destination;
        FsStatus status;
    };
    const std::vector<CopyRecord>& Copies() const { return copies_; }

    // Number of calls of each FileSystem operation.
    struct CallCounts {
        int programPath = 0;
        int createFolder = 0;
        int listFolder = 0;
        int copyFile = 0;
        int getAttributes = 0;
        int setAttributes = 0;
        int getEnvironment = 0;
        int currentFolder = 0;
    };
    const CallCounts& Calls() const { return calls_; }

private:
    struct Node {
        std::string spelled;         // full path as created; a root is "C:"
        std::string parent;          // key of the folder holding it; "" for a root
        bool folder = false;
        std::uint32_t attributes = 0;  // stored bits, never kAttrDirectory
        std::string content;
        bool inUse = false;
        bool unlistable = false;
        std::uint64_t order = 0;
    };
    // A path taken apart: the drive ("C:") and then one name per level.
    using Parts = std::vector<std::string>;

    bool Resolve(const std::string& path, Parts& parts) const;
    Parts ResolveOrThrow(const std::string& path) const;
    static std::string KeyOf(const Parts& parts, std::size_t count);
    const Node* Find(const Parts& parts, std::size_t count) const;
    Node* Find(const Parts& parts, std::size_t count);
    FsStatus MissingStatus(const Parts& parts) const;
    Node& Make(const Parts& parts, bool folder);
    void MakeFolders(const Parts& parts, std::size_t count, const std::string& path);
    static std::uint32_t VisibleAttributes(const Node& node);
    FsStatus DoCopy(const std::string& source, const std::string& destination);

    std::map<std::string, Node> nodes_;  // by key: folded full path, "C:\A\B"
    std::map<std::string, std::string> environment_;  // by folded name
    std::string programPath_;
    std::string currentFolder_;
    std::uint64_t nextOrder_ = 0;
    std::vector<CopyRecord> copies_;
    CallCounts calls_;
};

}  // namespace tavrin
