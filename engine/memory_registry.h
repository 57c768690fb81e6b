// An in-memory registry for tests: the two roots HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER, with the rules of the Windows registry that the engine
// can observe through the Registry interface:
//  - key and value names match without regard to the case of single-byte
//    letters; double-byte (code page 936) characters must match exactly;
//  - subkeys enumerate sorted by name, letters compared as upper case, as the
//    registry's sorted subkey lists give them (double-byte characters sort by
//    their code page 936 bytes, where Windows sorts by UTF-16: sibling keys
//    with Chinese names may enumerate in another order than on Windows);
//  - a key with subkeys of its own cannot be deleted (AccessDenied);
//  - a key opened for reading cannot take values (AccessDenied);
//  - a handle to a key deleted meanwhile fails every call (Failed, where
//    Windows says ERROR_KEY_DELETED) but can still be closed;
//  - the root handles are predefined: OpenRoot always gives the same one and
//    closing it does nothing;
//  - a subkey name of more than 255 bytes can exist; SubkeyName then gives
//    MoreData, as RegEnumKeyExA into a 256-character buffer does;
//  - in a key path, runs of "\" count as one and trailing ones are ignored;
//    a path that starts with "\" fails (Failed, ERROR_BAD_PATHNAME).
// The seeding and inspection helpers at the end work on paths from a root and
// ignore access rules; tests use them to set up a registry and to check what
// the engine left in it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "registry.h"

namespace tavrin {

// One value: its name ("" for the default value), type and exact data bytes.
struct RegValue {
    std::string name;
    std::uint32_t type = kRegNone;
    std::string data;
};

class MemoryRegistry : public Registry {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

    RegStatus OpenRoot(RegRoot root, RegHandle& out) override;
    RegStatus OpenForRead(RegHandle parent, const std::string& path, RegHandle& out) override;
    RegStatus OpenForWrite(RegHandle parent, const std::string& path, RegHandle& out) override;
    RegStatus CreateKey(RegHandle parent, const std::string& path, RegHandle& out) override;
    RegStatus CountSubkeys(RegHandle key, std::uint32_t& count) override;
    RegStatus SubkeyName(RegHandle key, std::uint32_t index, std::string& name) override;
    RegStatus QueryValue(RegHandle key, const std::string& name, std::uint32_t& type, unsigned char* buffer,
                         std::uint32_t& size) override;
    RegStatus SetString(RegHandle key, const std::string& name, const std::string& text) override;
    RegStatus SetDword(RegHandle key, const std::string& name, std::uint32_t value) override;
    RegStatus DeleteKey(RegHandle parent, const std::string& path) override;
    void Close(RegHandle key) override;

    // RegSetValueExA with any type: `data` is stored as it stands.
    RegStatus SetValue(RegHandle key, const std::string& name, std::uint32_t type, const std::string& data);
    // RegDeleteValueA.
    RegStatus DeleteValue(RegHandle key, const std::string& name);

    // --- Seeding and inspection by path from a root -------------------------
    // Paths take the same forms as in the calls above: "\" between levels,
    // runs of "\" count as one, trailing ones are ignored, "" is the root.

    // Creates the key and every missing level above it. False when the path
    // starts with "\" or is deeper than a registry allows (512 levels).
    bool AddKey(RegRoot root, const std::string& path);
    // Sets a value of any type to exact bytes, creating the key if needed.
    bool SetValue(RegRoot root, const std::string& path, const std::string& name, std::uint32_t type,
                  const std::string& data);
    // Removes one value; false when the key or the value does not exist.
    bool DeleteValue(RegRoot root, const std::string& path, const std::string& name);
    // Removes the key with everything below it; false when it does not exist
    // or is a root. Handles open on removed keys behave as after DeleteKey.
    bool DeleteTree(RegRoot root, const std::string& path);
    // From now on the key (created if missing) refuses OpenForRead,
    // OpenForWrite, CreateKey and DeleteKey with AccessDenied, as a key whose
    // access control list shuts the user out. It still counts and enumerates
    // in its parent, and keys below it still open by a path through it.
    bool MarkUnopenable(RegRoot root, const std::string& path);

    bool KeyExists(RegRoot root, const std::string& path) const;
    std::optional<RegValue> GetValue(RegRoot root, const std::string& path, const std::string& name) const;
    // Calls fn(path from the root, values in the order they were first set,
    // unopenable mark) for the key at `path` and every key below it,
    // depth-first, subkeys in enumeration order. Nothing when it is missing.
    using KeyVisitor = std::function<void(const std::string&, const std::vector<RegValue>&, bool)>;
    void ForEachKey(RegRoot root, const std::string& path, const KeyVisitor& fn) const;
    // Everything at and below `path` as text, one line per key (its path from
    // the root) followed by one line per value, for tests that assert what a
    // run wrote and that nothing else was written:
    //   SOFTWARE\Tavrin
    //     "LOADER"=sz:C:\Tavrin\a.ARX        REG_SZ/EXPAND_SZ (expand_sz:) whose
    //                                         data is text with one final zero
    //     "LOADCTRLS"=dword:2                 REG_DWORD of 4 bytes, in decimal
    //     @=hex(3):01,ff                      anything else, bytes in hex
    // An unopenable key's line ends in " [unopenable]". A root's line is
    // "\", and only there when it holds values. "" when the key is missing.
    std::string Dump(RegRoot root, const std::string& path = "") const;

    // Open handles other than the roots; tests use it to find leaks.
    std::size_t OpenHandleCount() const { return handles_.size(); }

    // A key of the tree; defined with the implementation.
    struct Node;

private:
    struct Handle {
        std::shared_ptr<Node> node;
        bool writable = false;
    };

    Node* Find(RegRoot root, const std::string& path) const;
    // The node of an open handle, nullptr when the handle is unknown; sets
    // `status` to Failed for a deleted key.
    std::shared_ptr<Node> Resolve(RegHandle key, RegStatus& status, bool* writable = nullptr) const;
    RegStatus Open(RegHandle parent, const std::string& path, bool writable, RegHandle& out);
    RegHandle NewHandle(std::shared_ptr<Node> node, bool writable);

    std::shared_ptr<Node> local_machine_;
    std::shared_ptr<Node> current_user_;
    std::map<RegHandle, Handle> handles_;
    RegHandle next_handle_;
};

}  // namespace tavrin
