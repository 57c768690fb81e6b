#include "memory_file_system.h"

#include "cp936.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tavrin {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Single-byte letters upper-cased; double-byte characters left alone, so two
// names are the same exactly when cp936::EqualsNoCase says so.
std::string Fold(const std::string& text) {
    std::string folded = text;
    cp936::ForEachChar(text, [&](std::size_t i, std::size_t n) {
        if (n == 1) folded[i] = UpperAscii(folded[i]);
    });
    return folded;
}

// Windows refuses these bytes in a name (ERROR_INVALID_NAME); trail bytes of
// double-byte characters are not looked at.
bool IsValidName(const std::string& name) {
    bool valid = true;
    cp936::ForEachChar(name, [&](std::size_t i, std::size_t n) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (n == 1 && (c < 0x20 || std::strchr("<>:\"|?*", c) != nullptr)) valid = false;
    });
    return valid;
}

// The names between separators, in order; empty names where separators
// repeat. A separator is a character of its own, never a trail byte.
std::vector<std::string> SplitNames(const std::string& text) {
    std::vector<std::string> names(1);
    cp936::ForEachChar(text, [&](std::size_t i, std::size_t n) {
        if (n == 1 && IsSeparator(text[i])) {
            names.emplace_back();
        } else {
            names.back().append(text, i, n);
        }
    });
    return names;
}

}  // namespace

MemoryFileSystem::MemoryFileSystem() : programPath_("C:\\Setup\\SetUp.exe"), currentFolder_("C:\\") {
    AddFolder("C:\\");
}

bool MemoryFileSystem::Resolve(const std::string& path, Parts& parts) const {
    std::string full;
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
        // "C:name" (relative to the drive's own current folder) is not kept.
        if (path.size() < 3 || !IsSeparator(path[2])) return false;
        full = path;
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        return false;  // network paths do not exist here
    } else if (!path.empty() && IsSeparator(path[0])) {
        full = currentFolder_.substr(0, 2) + path;
    } else if (!path.empty()) {
        full = currentFolder_ + "\\" + path;
    } else {
        return false;
    }
    parts.assign(1, std::string{UpperAscii(full[0]), ':'});
    for (const std::string& name : SplitNames(full.substr(2))) {
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (parts.size() > 1) parts.pop_back();
            continue;
        }
        if (!IsValidName(name)) return false;
        parts.push_back(name);
    }
    return true;
}

MemoryFileSystem::Parts MemoryFileSystem::ResolveOrThrow(const std::string& path) const {
    Parts parts;
    if (!Resolve(path, parts)) throw std::invalid_argument("MemoryFileSystem: bad path " + path);
    return parts;
}

std::string MemoryFileSystem::KeyOf(const Parts& parts, std::size_t count) {
    std::string key = parts[0];
    for (std::size_t i = 1; i < count; ++i) key += "\\" + Fold(parts[i]);
    return key;
}

const MemoryFileSystem::Node* MemoryFileSystem::Find(const Parts& parts, std::size_t count) const {
    const auto it = nodes_.find(KeyOf(parts, count));
    return it == nodes_.end() ? nullptr : &it->second;
}

MemoryFileSystem::Node* MemoryFileSystem::Find(const Parts& parts, std::size_t count) {
    const auto it = nodes_.find(KeyOf(parts, count));
    return it == nodes_.end() ? nullptr : &it->second;
}

// What Windows reports for a path where nothing is: the file is missing when
// its folder is there, else the path is.
FsStatus MemoryFileSystem::MissingStatus(const Parts& parts) const {
    if (parts.size() < 2) return FsStatus::PathNotFound;
    const Node* parent = Find(parts, parts.size() - 1);
    return (parent != nullptr && parent->folder) ? FsStatus::FileNotFound : FsStatus::PathNotFound;
}

// Creates the node for the whole of `parts`; its parent must exist.
MemoryFileSystem::Node& MemoryFileSystem::Make(const Parts& parts, bool folder) {
    Node node;
    node.folder = folder;
    node.order = nextOrder_++;
    if (parts.size() == 1) {
        node.spelled = parts[0];
    } else {
        node.parent = KeyOf(parts, parts.size() - 1);
        node.spelled = nodes_.at(node.parent).spelled + "\\" + parts.back();
    }
    return nodes_.emplace(KeyOf(parts, parts.size()), node).first->second;
}

std::uint32_t MemoryFileSystem::VisibleAttributes(const Node& node) {
    const std::uint32_t bits = node.attributes | (node.folder ? kAttrDirectory : 0u);
    return bits == 0 ? static_cast<std::uint32_t>(kAttrNormal) : bits;
}

std::string MemoryFileSystem::ProgramPath() {
    ++calls_.programPath;
    return programPath_;
}

FsStatus MemoryFileSystem::CreateFolder(const std::string& path) {
    ++calls_.createFolder;
    Parts parts;
    if (!Resolve(path, parts)) return FsStatus::Failed;
    if (Find(parts, parts.size()) != nullptr) return FsStatus::AlreadyExists;
    if (parts.size() < 2) return FsStatus::PathNotFound;  // no such drive
    const Node* parent = Find(parts, parts.size() - 1);
    if (parent == nullptr || !parent->folder) return FsStatus::PathNotFound;
    Make(parts, true);
    return FsStatus::Ok;
}

bool MemoryFileSystem::ListFolder(const std::string& folder, std::vector<DirEntry>& entries) {
    ++calls_.listFolder;
    entries.clear();
    // Windows lists "<folder>\*.*", so "C:" lists the root of C:.
    Parts parts;
    if (!Resolve(folder + "\\", parts)) return false;
    const Node* node = Find(parts, parts.size());
    if (node == nullptr || !node->folder || node->unlistable) return false;
    // A drive root has no "." and ".." entries, as on Windows.
    if (parts.size() > 1) {
        entries.push_back({".", VisibleAttributes(*node)});
        entries.push_back({"..", VisibleAttributes(nodes_.at(node->parent))});
    }
    const std::string key = KeyOf(parts, parts.size());
    std::vector<const Node*> children;
    for (const auto& item : nodes_) {
        if (item.second.parent == key) children.push_back(&item.second);
    }
    std::sort(children.begin(), children.end(), [](const Node* a, const Node* b) { return a->order < b->order; });
    for (const Node* child : children) {
        const std::size_t cut = cp936::FindLastBackslash(child->spelled);
        entries.push_back({child->spelled.substr(cut + 1), VisibleAttributes(*child)});
    }
    return true;
}

FsStatus MemoryFileSystem::CopyFile(const std::string& source, const std::string& destination) {
    ++calls_.copyFile;
    const FsStatus status = DoCopy(source, destination);
    copies_.push_back({source, destination, status});
    return status;
}

FsStatus MemoryFileSystem::DoCopy(const std::string& source, const std::string& destination) {
    Parts from;
    if (!Resolve(source, from)) return FsStatus::Failed;
    const Node* src = Find(from, from.size());
    if (src == nullptr) return MissingStatus(from);
    if (src->folder) return FsStatus::AccessDenied;
    if (src->inUse) return FsStatus::SharingViolation;

    Parts to;
    if (!Resolve(destination, to)) return FsStatus::Failed;
    if (to.size() < 2) return Find(to, 1) != nullptr ? FsStatus::AccessDenied : FsStatus::PathNotFound;
    const Node* folder = Find(to, to.size() - 1);
    if (folder == nullptr || !folder->folder) return FsStatus::PathNotFound;
    Node* dst = Find(to, to.size());
    if (dst != nullptr) {
        if (dst->folder) return FsStatus::AccessDenied;
        if ((dst->attributes & (kAttrReadOnly | kAttrHidden)) != 0) return FsStatus::AccessDenied;
        // The source is open for reading, so writing it as the destination
        // is a sharing violation too.
        if (dst->inUse || dst == src) return FsStatus::SharingViolation;
    } else {
        dst = &Make(to, false);  // std::map keeps `src` valid
    }
    dst->content = src->content;
    dst->attributes = src->attributes | kAttrArchive;
    return FsStatus::Ok;
}

bool MemoryFileSystem::GetAttributes(const std::string& path, std::uint32_t& attributes) {
    ++calls_.getAttributes;
    Parts parts;
    if (!Resolve(path, parts)) return false;
    const Node* node = Find(parts, parts.size());
    if (node == nullptr) return false;
    attributes = VisibleAttributes(*node);
    return true;
}

FsStatus MemoryFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
    ++calls_.setAttributes;
    Parts parts;
    if (!Resolve(path, parts)) return FsStatus::Failed;
    Node* node = Find(parts, parts.size());
    if (node == nullptr) return MissingStatus(parts);
    node->attributes = attributes & ~static_cast<std::uint32_t>(kAttrDirectory | kAttrNormal);
    return FsStatus::Ok;
}

bool MemoryFileSystem::GetEnvironment(const std::string& name, std::string& value) {
    ++calls_.getEnvironment;
    const auto it = environment_.find(Fold(name));
    if (it == environment_.end()) return false;
    value = it->second;
    return true;
}

std::string MemoryFileSystem::CurrentFolder() {
    ++calls_.currentFolder;
    return currentFolder_;
}

void MemoryFileSystem::SetProgramPath(const std::string& path) { programPath_ = path; }

void MemoryFileSystem::SetCurrentFolder(const std::string& path) {
    if (path.size() < 3 || !IsDriveLetter(path[0]) || path[1] != ':' || !IsSeparator(path[2])) {
        throw std::invalid_argument("MemoryFileSystem: current folder must be a drive-letter path: " + path);
    }
    currentFolder_ = path;
}

void MemoryFileSystem::SetEnvironment(const std::string& name, const std::string& value) {
    environment_[Fold(name)] = value;
}

void MemoryFileSystem::UnsetEnvironment(const std::string& name) { environment_.erase(Fold(name)); }

// Makes the first `count` levels of `parts` folders where they are missing.
void MemoryFileSystem::MakeFolders(const Parts& parts, std::size_t count, const std::string& path) {
    for (std::size_t level = 1; level <= count; ++level) {
        const Node* node = Find(parts, level);
        if (node != nullptr && !node->folder) {
            throw std::invalid_argument("MemoryFileSystem: a file stands in the way of " + path);
        }
        if (node == nullptr) Make(Parts(parts.begin(), parts.begin() + level), true);
    }
}

void MemoryFileSystem::AddFolder(const std::string& path) {
    const Parts parts = ResolveOrThrow(path);
    MakeFolders(parts, parts.size(), path);
}

void MemoryFileSystem::AddFile(const std::string& path, const std::string& content, std::uint32_t attributes) {
    const Parts parts = ResolveOrThrow(path);
    if (parts.size() < 2) throw std::invalid_argument("MemoryFileSystem: a drive root is no file: " + path);
    MakeFolders(parts, parts.size() - 1, path);
    Node* node = Find(parts, parts.size());
    if (node != nullptr && node->folder) {
        throw std::invalid_argument("MemoryFileSystem: a folder stands at " + path);
    }
    if (node == nullptr) node = &Make(parts, false);
    node->content = content;
    node->attributes = attributes & ~static_cast<std::uint32_t>(kAttrDirectory | kAttrNormal);
}

void MemoryFileSystem::SetInUse(const std::string& path, bool inUse) {
    const Parts parts = ResolveOrThrow(path);
    if (Node* node = Find(parts, parts.size())) node->inUse = inUse;
}

void MemoryFileSystem::SetUnlistable(const std::string& folder) {
    const Parts parts = ResolveOrThrow(folder);
    Node* node = Find(parts, parts.size());
    if (node == nullptr || !node->folder) {
        throw std::invalid_argument("MemoryFileSystem: no folder at " + folder);
    }
    node->unlistable = true;
}

std::optional<std::string> MemoryFileSystem::ReadContent(const std::string& path) const {
    Parts parts;
    if (!Resolve(path, parts)) return std::nullopt;
    const Node* node = Find(parts, parts.size());
    if (node == nullptr || node->folder) return std::nullopt;
    return node->content;
}

std::vector<std::string> MemoryFileSystem::PathsBelow(const std::string& folder) const {
    Parts parts;
    if (!Resolve(folder, parts)) return {};
    const Node* top = Find(parts, parts.size());
    if (top == nullptr || !top->folder) return {};
    const std::string topKey = KeyOf(parts, parts.size());
    std::vector<const Node*> below;
    for (const auto& item : nodes_) {
        // Walk up the parent links: a key's bytes alone could mislead, as a
        // trail byte 0x5C looks like a separator.
        for (std::string up = item.second.parent; !up.empty(); up = nodes_.at(up).parent) {
            if (up == topKey) {
                below.push_back(&item.second);
                break;
            }
        }
    }
    std::sort(below.begin(), below.end(), [](const Node* a, const Node* b) { return a->order < b->order; });
    std::vector<std::string> paths;
    for (const Node* node : below) paths.push_back(node->spelled);
    return paths;
}

}  // namespace tavrin
