#include "trusted_paths.h"

#include <vector>

#include "constants.h"
#include "cp936.h"
#include "payload_copy.h"

namespace tavrin {

namespace {

// A value is read at most this many times when it keeps growing between
// reads.
constexpr int kReadAttempts = 4;

// The first read takes a value of up to this many bytes at once; a longer
// one is read again into a buffer of its size.
constexpr std::uint32_t kFirstReadBytes = 4096;

enum class OldValue { Absent, Text, Untouchable };

// Reads "TRUSTEDPATHS" whole, whatever its length. Only REG_SZ is merged; a
// value of another type (a number, binary data, an expandable text that a
// REG_SZ write would turn into a plain one) or one that cannot be read is
// left as it is rather than overwritten.
OldValue ReadTrustedPaths(Registry& registry, RegHandle key, std::string& text) {
    std::vector<unsigned char> data(kFirstReadBytes, 0);
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        std::uint32_t type = kRegNone;
        std::uint32_t read = static_cast<std::uint32_t>(data.size());
        const RegStatus status = registry.QueryValue(key, kValueTrustedPaths, type, data.data(), read);
        if (status == RegStatus::NotFound) return OldValue::Absent;
        if (status == RegStatus::MoreData) {
            if (type != kRegSz) return OldValue::Untouchable;
            data.assign(read + 1u, 0);  // `read` is the size the data needs
            continue;
        }
        if (status != RegStatus::Ok || type != kRegSz) return OldValue::Untouchable;
        std::size_t length = 0;
        while (length < read && data[length] != 0) ++length;
        text.assign(reinterpret_cast<const char*>(data.data()), length);
        return OldValue::Text;
    }
    return OldValue::Untouchable;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsPlaceholder(const std::string& value) {
    if (value == "." || value == "\"\"") return true;
    for (char c : value) {
        if (!IsBlank(c)) return false;
    }
    return true;  // empty or blanks only
}

// The ";"-separated entries of a value. A ";" is never a trail byte in code
// page 936, but the walk goes by characters all the same.
std::vector<std::string> SplitEntries(const std::string& value) {
    std::vector<std::string> entries(1);
    cp936::ForEachChar(value, [&](std::size_t at, std::size_t length) {
        if (length == 1 && value[at] == ';') {
            entries.emplace_back();
        } else {
            entries.back().append(value, at, length);
        }
    });
    return entries;
}

bool EndsWithOwnSemicolon(const std::string& value) {
    bool own = false;
    cp936::ForEachChar(value, [&](std::size_t at, std::size_t length) { own = length == 1 && value[at] == ';'; });
    return own;
}

bool EndsWithLoneLeadByte(const std::string& value) {
    bool lone = false;
    cp936::ForEachChar(value, [&](std::size_t at, std::size_t length) {
        lone = length == 1 && cp936::IsLeadByte(static_cast<unsigned char>(value[at]));
    });
    return lone;
}

// The folder an entry names: one trailing "\" removed, and "\..." (the
// folder with its subfolders) taken off.
std::string EntryFolder(std::string entry) {
    static const std::string kSubfolders = "...";
    if (entry.size() > kSubfolders.size() &&
        entry.compare(entry.size() - kSubfolders.size(), kSubfolders.size(), kSubfolders) == 0) {
        std::string base = entry.substr(0, entry.size() - kSubfolders.size());
        if (cp936::EndsWithBackslash(base)) {
            base.pop_back();
            return base;
        }
    }
    cp936::RemoveTrailingBackslash(entry);
    return entry;
}

// Stage 1: "SOFTWARE\Autodesk\AutoCAD\<release>\<product>\Profiles" for every
// product key of every release key of the current user.
void CollectProfileLists(Registry& registry, TextList& profileLists) {
    RegKey user(registry);
    if (registry.OpenRoot(RegRoot::CurrentUser, user.Receive()) != RegStatus::Ok || !user.IsOpen()) return;
    RegKey acad(registry);
    if (registry.OpenForRead(user.Get(), kUserAcadRoot, acad.Receive()) != RegStatus::Ok) return;

    std::uint32_t count = 0;
    if (registry.CountSubkeys(acad.Get(), count) != RegStatus::Ok) count = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string releaseName;
        if (registry.SubkeyName(acad.Get(), i, releaseName) != RegStatus::Ok) continue;
        RegKey release(registry);
        if (registry.OpenForRead(acad.Get(), releaseName, release.Receive()) != RegStatus::Ok) continue;
        TextList products;
        ListOpenableSubkeys(registry, release.Get(), products);
        for (const std::string& product : products) {
            std::string path = FormatText(kProfileListFormat, releaseName.c_str(), product.c_str());
            cp936::RemoveTrailingBackslash(path);
            profileLists.push_back(path + kProfilesSuffix);
        }
    }
}

// Stage 2: "<profile list>\<profile>\Variables" for every profile.
void CollectVariablesPaths(Registry& registry, const TextList& profileLists, TextList& variablesPaths) {
    RegKey user(registry);
    if (registry.OpenRoot(RegRoot::CurrentUser, user.Receive()) != RegStatus::Ok || !user.IsOpen()) return;
    for (const std::string& profileList : profileLists) {
        RegKey list(registry);
        if (registry.OpenForRead(user.Get(), profileList, list.Receive()) != RegStatus::Ok) continue;
        TextList profiles;
        ListOpenableSubkeys(registry, list.Get(), profiles);
        for (const std::string& profile : profiles) {
            std::string path = profileList + "\\" + profile;
            cp936::RemoveTrailingBackslash(path);
            variablesPaths.push_back(path + kVariablesSuffix);
        }
    }
}

// Stage 3 for one profile. The key is opened for writing so that the read
// and the write use one handle; only a key that is missing is created.
void AddToProfile(Registry& registry, RegHandle user, const std::string& variablesPath, const std::string& folder) {
    RegKey variables(registry);
    std::string oldValue;
    const RegStatus opened = registry.OpenForWrite(user, variablesPath, variables.Receive());
    if (opened == RegStatus::Ok && variables.IsOpen()) {
        if (ReadTrustedPaths(registry, variables.Get(), oldValue) == OldValue::Untouchable) return;
    } else if (opened != RegStatus::NotFound) {
        return;  // there, but not ours to write: leave it
    }

    const TrustedPathsMerge merge = MergeTrustedPaths(oldValue, folder);
    if (!merge.write) return;
    if (!variables.IsOpen() &&
        (registry.CreateKey(user, variablesPath, variables.Receive()) != RegStatus::Ok || !variables.IsOpen()))
        return;
    registry.SetString(variables.Get(), kValueTrustedPaths, merge.text);
}

}  // namespace

void AddTrustedPath(const InstallContext& context, Registry& registry) {
    if (context.InstallFolder.empty()) return;

    TextList profileLists;
    CollectProfileLists(registry, profileLists);
    TextList variablesPaths;
    CollectVariablesPaths(registry, profileLists, variablesPaths);

    RegKey user(registry);
    if (registry.OpenRoot(RegRoot::CurrentUser, user.Receive()) != RegStatus::Ok || !user.IsOpen()) return;
    for (const std::string& path : variablesPaths) {
        AddToProfile(registry, user.Get(), path, context.InstallFolder);
    }
}

void ListOpenableSubkeys(Registry& registry, RegHandle key, TextList& names) {
    std::uint32_t count = 0;
    if (registry.CountSubkeys(key, count) != RegStatus::Ok) count = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string name;
        if (registry.SubkeyName(key, i, name) != RegStatus::Ok) continue;
        RegKey subkey(registry);
        if (registry.OpenForRead(key, name, subkey.Receive()) == RegStatus::Ok) names.push_back(name);
    }
}

bool HoldsTrustedPath(const std::string& value, const std::string& folder) {
    std::string wanted = folder;
    cp936::RemoveTrailingBackslash(wanted);
    if (wanted.empty()) return false;
    for (const std::string& entry : SplitEntries(value)) {
        if (cp936::EqualsNoCase(EntryFolder(entry), wanted)) return true;
    }
    return false;
}

TrustedPathsMerge MergeTrustedPaths(const std::string& oldValue, const std::string& folder) {
    if (folder.empty()) return {false, oldValue};
    if (IsPlaceholder(oldValue)) return {true, folder};
    if (HoldsTrustedPath(oldValue, folder)) return {false, oldValue};
    // The folder must follow a ";" of its own. A lead byte at the very end
    // takes the next byte with it, as AutoCAD reads the value: it gets a ";"
    // to take, and a ";" that is a trail byte separates nothing.
    std::string text = oldValue;
    if (EndsWithLoneLeadByte(text)) text += ';';
    if (!EndsWithOwnSemicolon(text)) text += ';';
    return {true, text + folder};
}

}  // namespace tavrin
