#include "memory_registry.h"

#include <algorithm>
#include <cstdio>

#include "cp936.h"

namespace tavrin {

namespace {

// The predefined root handles; the handles of opened keys count on from
// kFirstHandle and are never given out twice.
constexpr RegHandle kLocalMachineHandle = 1;
constexpr RegHandle kCurrentUserHandle = 2;
constexpr RegHandle kFirstHandle = 16;

// A registry tree is at most 512 levels deep.
constexpr int kMaxDepth = 512;

// The name with its single-byte letters in upper case: names are equal when
// their keys are, and std::string orders keys byte by byte as unsigned.
std::string FoldKey(const std::string& name) {
    std::string key = name;
    cp936::ForEachChar(name, [&](std::size_t i, std::size_t n) {
        if (n == 1 && key[i] >= 'a' && key[i] <= 'z') key[i] = static_cast<char>(key[i] - 'a' + 'A');
    });
    return key;
}

// Splits a key path into its levels. A run of "\" separates two levels and
// trailing ones are dropped, as the registry's own path parsing does; a
// leading "\" makes the path malformed (ERROR_BAD_PATHNAME). "" gives no level.
bool SplitPath(const std::string& path, std::vector<std::string>& levels) {
    levels.clear();
    if (!path.empty() && path[0] == '\\') return false;
    std::string level;
    cp936::ForEachChar(path, [&](std::size_t i, std::size_t n) {
        if (n == 1 && path[i] == '\\') {
            if (!level.empty()) levels.push_back(level);
            level.clear();
        } else {
            level.append(path, i, n);
        }
    });
    if (!level.empty()) levels.push_back(level);
    return true;
}

}  // namespace

struct MemoryRegistry::Node {
    struct Slot {
        RegValue value;
        std::uint64_t order;  // when the value was first set, for the dump
    };

    std::string name;
    Node* parent = nullptr;  // valid while the node is attached to the tree
    int depth = 0;
    bool deleted = false;
    bool unopenable = false;
    std::map<std::string, std::shared_ptr<Node>> children;  // by FoldKey: enumeration order
    std::map<std::string, Slot> values;                      // by FoldKey
    std::uint64_t next_order = 0;

    Node* Child(const std::string& childName) const {
        auto it = children.find(FoldKey(childName));
        return it == children.end() ? nullptr : it->second.get();
    }

    Node* AddChild(const std::string& childName) {
        auto node = std::make_shared<Node>();
        node->name = childName;
        node->parent = this;
        node->depth = depth + 1;
        Node* raw = node.get();
        children.emplace(FoldKey(childName), std::move(node));
        return raw;
    }

    std::shared_ptr<Node> Shared() const {
        return parent->children.at(FoldKey(name));
    }

    void SetValue(const std::string& valueName, std::uint32_t type, std::string data) {
        auto it = values.find(FoldKey(valueName));
        if (it == values.end()) {
            values.emplace(FoldKey(valueName), Slot{RegValue{valueName, type, std::move(data)}, next_order++});
            return;
        }
        it->second.value.type = type;
        it->second.value.data = std::move(data);
    }

    std::vector<RegValue> ValuesInOrder() const {
        std::vector<const Slot*> slots;
        for (const auto& entry : values) slots.push_back(&entry.second);
        std::sort(slots.begin(), slots.end(), [](const Slot* a, const Slot* b) { return a->order < b->order; });
        std::vector<RegValue> out;
        for (const Slot* slot : slots) out.push_back(slot->value);
        return out;
    }
};

namespace {

using Node = MemoryRegistry::Node;

// Marks the node and everything below it deleted and takes the node out of
// its parent. Open handles keep their nodes alive until they are closed.
void Detach(Node& node) {
    Node* parent = node.parent;
    const std::string key = FoldKey(node.name);
    std::vector<Node*> pending{&node};
    while (!pending.empty()) {
        Node* current = pending.back();
        pending.pop_back();
        current->deleted = true;
        current->parent = nullptr;
        for (auto& child : current->children) pending.push_back(child.second.get());
    }
    parent->children.erase(key);  // may destroy `node`
}

// The path of an attached node from its root.
std::string PathOf(const Node& node) {
    std::string path;
    for (const Node* n = &node; n->parent != nullptr; n = n->parent) {
        path = path.empty() ? n->name : n->name + "\\" + path;
    }
    return path;
}

// Follows existing levels from `start`; nullptr when one is missing.
Node* Walk(Node* start, const std::vector<std::string>& levels) {
    Node* node = start;
    for (const std::string& level : levels) {
        node = node->Child(level);
        if (node == nullptr) return nullptr;
    }
    return node;
}

void AppendHexBytes(std::string& out, const std::string& data) {
    char hex[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(data[i]));
        if (i > 0) out += ',';
        out += hex;
    }
}

// Text data with exactly one zero, at its end.
bool IsPlainText(const std::string& data) {
    return !data.empty() && data.back() == '\0' && data.find('\0') == data.size() - 1;
}

std::string DumpValue(const RegValue& value) {
    std::string line = "  ";
    line += value.name.empty() ? std::string("@") : "\"" + value.name + "\"";
    line += '=';
    if ((value.type == kRegSz || value.type == kRegExpandSz) && IsPlainText(value.data)) {
        line += value.type == kRegSz ? "sz:" : "expand_sz:";
        line.append(value.data, 0, value.data.size() - 1);
    } else if (value.type == kRegDword && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(value.data[i]);
        line += "dword:" + std::to_string(number);
    } else {
        char prefix[24];
        std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
        line += prefix;
        AppendHexBytes(line, value.data);
    }
    line += '\n';
    return line;
}

void VisitTree(const Node& node, const std::string& path, const MemoryRegistry::KeyVisitor& fn) {
    fn(path, node.ValuesInOrder(), node.unopenable);
    for (const auto& child : node.children) {
        const std::string childPath = path.empty() ? child.second->name : path + "\\" + child.second->name;
        VisitTree(*child.second, childPath, fn);
    }
}

}  // namespace

MemoryRegistry::MemoryRegistry()
    : local_machine_(std::make_shared<Node>()), current_user_(std::make_shared<Node>()), next_handle_(kFirstHandle) {}

MemoryRegistry::~MemoryRegistry() = default;

// --- Registry ---------------------------------------------------------------

std::shared_ptr<Node> MemoryRegistry::Resolve(RegHandle key, RegStatus& status, bool* writable) const {
    std::shared_ptr<Node> node;
    bool canWrite = true;
    if (key == kLocalMachineHandle) {
        node = local_machine_;
    } else if (key == kCurrentUserHandle) {
        node = current_user_;
    } else {
        auto it = handles_.find(key);
        if (it == handles_.end()) {
            status = RegStatus::Failed;  // ERROR_INVALID_HANDLE
            return nullptr;
        }
        node = it->second.node;
        canWrite = it->second.writable;
    }
    if (node->deleted) {
        status = RegStatus::Failed;
        return nullptr;
    }
    if (writable != nullptr) *writable = canWrite;
    status = RegStatus::Ok;
    return node;
}

RegHandle MemoryRegistry::NewHandle(std::shared_ptr<Node> node, bool writable) {
    const RegHandle handle = next_handle_++;
    handles_.emplace(handle, Handle{std::move(node), writable});
    return handle;
}

RegStatus MemoryRegistry::OpenRoot(RegRoot root, RegHandle& out) {
    out = root == RegRoot::LocalMachine ? kLocalMachineHandle : kCurrentUserHandle;
    return RegStatus::Ok;
}

RegStatus MemoryRegistry::Open(RegHandle parent, const std::string& path, bool writable, RegHandle& out) {
    out = 0;
    RegStatus status;
    std::shared_ptr<Node> start = Resolve(parent, status);
    if (!start) return status;
    std::vector<std::string> levels;
    if (!SplitPath(path, levels)) return RegStatus::Failed;
    Node* node = Walk(start.get(), levels);
    if (node == nullptr) return RegStatus::NotFound;
    if (node->unopenable) return RegStatus::AccessDenied;
    if (levels.empty()) {
        // RegOpenKeyA gives the predefined root handle itself back.
        if (writable && (parent == kLocalMachineHandle || parent == kCurrentUserHandle)) {
            out = parent;
            return RegStatus::Ok;
        }
        out = NewHandle(start, writable);
        return RegStatus::Ok;
    }
    out = NewHandle(node->Shared(), writable);
    return RegStatus::Ok;
}

RegStatus MemoryRegistry::OpenForRead(RegHandle parent, const std::string& path, RegHandle& out) {
    return Open(parent, path, false, out);
}

RegStatus MemoryRegistry::OpenForWrite(RegHandle parent, const std::string& path, RegHandle& out) {
    return Open(parent, path, true, out);
}

RegStatus MemoryRegistry::CreateKey(RegHandle parent, const std::string& path, RegHandle& out) {
    out = 0;
    RegStatus status;
    std::shared_ptr<Node> start = Resolve(parent, status);
    if (!start) return status;
    std::vector<std::string> levels;
    if (!SplitPath(path, levels)) return RegStatus::Failed;
    if (start->depth + static_cast<int>(levels.size()) > kMaxDepth) return RegStatus::Failed;
    if (levels.empty()) return Open(parent, path, true, out);
    Node* node = start.get();
    for (const std::string& level : levels) {
        Node* child = node->Child(level);
        if (child == nullptr) {
            // Creating a subkey needs the right to the key it goes into.
            if (node->unopenable) return RegStatus::AccessDenied;
            child = node->AddChild(level);
        }
        node = child;
    }
    if (node->unopenable) return RegStatus::AccessDenied;
    out = NewHandle(node->Shared(), true);
    return RegStatus::Ok;
}

RegStatus MemoryRegistry::CountSubkeys(RegHandle key, std::uint32_t& count) {
    RegStatus status;
    std::shared_ptr<Node> node = Resolve(key, status);
    if (!node) return status;
    count = static_cast<std::uint32_t>(node->children.size());
    return RegStatus::Ok;
}

RegStatus MemoryRegistry::SubkeyName(RegHandle key, std::uint32_t index, std::string& name) {
    RegStatus status;
    std::shared_ptr<Node> node = Resolve(key, status);
    if (!node) return status;
    if (index >= node->children.size()) return RegStatus::NoMoreItems;
    auto it = node->children.begin();
    std::advance(it, index);
    // RegEnumKeyExA's buffer holds 255 bytes and the terminating zero.
    if (it->second->name.size() > kMaxKeyNameChars) return RegStatus::MoreData;
    name = it->second->name;
    return RegStatus::Ok;
}

RegStatus MemoryRegistry::QueryValue(RegHandle key, const std::string& name, std::uint32_t& type,
                                     unsigned char* buffer, std::uint32_t& size) {
    RegStatus status;
    std::shared_ptr<Node> node = Resolve(key, status);
    if (!node) return status;
    auto it = node->values.find(FoldKey(name));
    if (it == node->values.end()) return RegStatus::NotFound;
    const RegValue& value = it->second.value;
    const auto needed = static_cast<std::uint32_t>(value.data.size());
    type = value.type;
    if (buffer == nullptr) {
        size = needed;
        return RegStatus::Ok;
    }
    if (size < needed) {
        size = needed;
        return RegStatus::MoreData;
    }
    std::copy(value.data.begin(), value.data.end(), buffer);
    size = needed;
    return RegStatus::Ok;
}

RegStatus MemoryRegistry::SetValue(RegHandle key, const std::string& name, std::uint32_t type,
                                  const std::string& data) {
    RegStatus status;
    bool writable = false;
    std::shared_ptr<Node> node = Resolve(key, status, &writable);
    if (!node) return status;
    if (!writable) return RegStatus::AccessDenied;
    node->SetValue(name, type, data);
    return RegStatus::Ok;
}

RegStatus MemoryRegistry::DeleteValue(RegHandle key, const std::string& name) {
    RegStatus status;
    bool writable = false;
    std::shared_ptr<Node> node = Resolve(key, status, &writable);
    if (!node) return status;
    if (!writable) return RegStatus::AccessDenied;
    return node->values.erase(FoldKey(name)) > 0 ? RegStatus::Ok : RegStatus::NotFound;
}

RegStatus MemoryRegistry::SetString(RegHandle key, const std::string& name, const std::string& text) {
    std::string data = text;
    data += '\0';
    return SetValue(key, name, kRegSz, data);
}

RegStatus MemoryRegistry::SetDword(RegHandle key, const std::string& name, std::uint32_t value) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return SetValue(key, name, kRegDword, data);
}

RegStatus MemoryRegistry::DeleteKey(RegHandle parent, const std::string& path) {
    RegStatus status;
    std::shared_ptr<Node> start = Resolve(parent, status);
    if (!start) return status;
    std::vector<std::string> levels;
    if (!SplitPath(path, levels)) return RegStatus::Failed;
    Node* node = Walk(start.get(), levels);
    if (node == nullptr) return RegStatus::NotFound;
    if (node->parent == nullptr || node->unopenable || !node->children.empty()) return RegStatus::AccessDenied;
    Detach(*node);
    return RegStatus::Ok;
}

void MemoryRegistry::Close(RegHandle key) {
    handles_.erase(key);
}

// --- Seeding and inspection -------------------------------------------------

MemoryRegistry::Node* MemoryRegistry::Find(RegRoot root, const std::string& path) const {
    std::vector<std::string> levels;
    if (!SplitPath(path, levels)) return nullptr;
    return Walk(root == RegRoot::LocalMachine ? local_machine_.get() : current_user_.get(), levels);
}

bool MemoryRegistry::AddKey(RegRoot root, const std::string& path) {
    std::vector<std::string> levels;
    if (!SplitPath(path, levels) || static_cast<int>(levels.size()) > kMaxDepth) return false;
    Node* node = root == RegRoot::LocalMachine ? local_machine_.get() : current_user_.get();
    for (const std::string& level : levels) {
        Node* child = node->Child(level);
        node = child != nullptr ? child : node->AddChild(level);
    }
    return true;
}

bool MemoryRegistry::SetValue(RegRoot root, const std::string& path, const std::string& name, std::uint32_t type,
                              const std::string& data) {
    if (!AddKey(root, path)) return false;
    Find(root, path)->SetValue(name, type, data);
    return true;
}

bool MemoryRegistry::DeleteValue(RegRoot root, const std::string& path, const std::string& name) {
    Node* node = Find(root, path);
    return node != nullptr && node->values.erase(FoldKey(name)) > 0;
}

bool MemoryRegistry::DeleteTree(RegRoot root, const std::string& path) {
    Node* node = Find(root, path);
    if (node == nullptr || node->parent == nullptr) return false;
    Detach(*node);
    return true;
}

bool MemoryRegistry::MarkUnopenable(RegRoot root, const std::string& path) {
    if (!AddKey(root, path)) return false;
    Node* node = Find(root, path);
    if (node->parent == nullptr) return false;
    node->unopenable = true;
    return true;
}

bool MemoryRegistry::KeyExists(RegRoot root, const std::string& path) const {
    return Find(root, path) != nullptr;
}

std::optional<RegValue> MemoryRegistry::GetValue(RegRoot root, const std::string& path,
                                                 const std::string& name) const {
    Node* node = Find(root, path);
    if (node == nullptr) return std::nullopt;
    auto it = node->values.find(FoldKey(name));
    if (it == node->values.end()) return std::nullopt;
    return it->second.value;
}

void MemoryRegistry::ForEachKey(RegRoot root, const std::string& path, const KeyVisitor& fn) const {
    Node* node = Find(root, path);
    if (node == nullptr) return;
    VisitTree(*node, PathOf(*node), fn);
}

std::string MemoryRegistry::Dump(RegRoot root, const std::string& path) const {
    std::string out;
    ForEachKey(root, path, [&](const std::string& keyPath, const std::vector<RegValue>& values, bool unopenable) {
        if (keyPath.empty() && values.empty()) return;  // a bare root
        out += keyPath.empty() ? std::string("\\") : keyPath;
        if (unopenable) out += " [unopenable]";
        out += '\n';
        for (const RegValue& value : values) out += DumpValue(value);
    });
    return out;
}

}  // namespace tavrin
