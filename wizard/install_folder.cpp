#include "install_folder.h"

#include <algorithm>
#include <vector>

#include "constants.h"
#include "cp936.h"
#include "install_context.h"
#include "payload_copy.h"

namespace tavrin {

namespace {

// Splits at every "\" that is a character of its own.
std::vector<std::string> SplitLevels(const std::string& text) {
    std::vector<std::string> levels(1);
    cp936::ForEachChar(text, [&](std::size_t i, std::size_t n) {
        if (n == 1 && text[i] == '\\') {
            levels.emplace_back();
        } else {
            levels.back().append(text, i, n);
        }
    });
    return levels;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "X:" followed by `rest`, with "." and ".." levels resolved (".." never
// climbs above the root) and empty levels dropped.
std::string JoinFromRoot(const std::string& root, const std::string& rest) {
    std::vector<std::string> kept;
    for (const std::string& level : SplitLevels(rest)) {
        if (level.empty() || level == ".") continue;
        if (level == "..") {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        kept.push_back(level);
    }
    std::string out = root;
    for (const std::string& level : kept) out += "\\" + level;
    return kept.empty() ? out + "\\" : out;
}

bool HoldsSemicolon(const std::string& text) {
    bool found = false;
    cp936::ForEachChar(text, [&](std::size_t i, std::size_t n) {
        if (n == 1 && text[i] == ';') found = true;
    });
    return found;
}

// The longest "\name" the install run writes below the install folder: the
// module named by "LOADER", or a file of the setup folder.
std::size_t LongestNameInInstallFolder(FileSystem& fs) {
    const std::string loader = FormatText(kLoaderFormat, "", kFirstYear);
    std::size_t longest = loader.size();
    std::vector<DirEntry> entries;
    if (!fs.ListFolder(SetupFolder(fs), entries)) return longest;
    for (const DirEntry& entry : entries) {
        if (entry.attributes & kAttrDirectory) continue;
        const std::string name = PayloadInstallName(entry.name);
        if (!name.empty()) longest = std::max(longest, name.size() + 1);
    }
    return longest;
}

}  // namespace

std::string MakeAbsolutePath(const std::string& text, const std::string& currentFolder) {
    if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') return text;  // a network path
    if (text.size() >= 2 && IsDriveLetter(text[0]) && text[1] == ':') {
        return JoinFromRoot(text.substr(0, 2), text.substr(2));
    }
    std::string current = currentFolder;
    if (current.size() < 2 || current[1] != ':') current = "C:\\";
    if (!text.empty() && text[0] == '\\') return JoinFromRoot(current.substr(0, 2), text);
    return JoinFromRoot(current.substr(0, 2), current.substr(2) + "\\" + text);
}

InstallFolderChoice CheckInstallFolderText(const std::string& text, FileSystem& fs) {
    InstallFolderChoice choice;
    if (HoldsSemicolon(text)) {
        choice.refusal = FormatText(kFolderHasSemicolonFormat, text.c_str());
        return choice;
    }
    choice.folder = MakeAbsolutePath(text, fs.CurrentFolder());
    cp936::RemoveTrailingBackslash(choice.folder);
    choice.installFolder = choice.folder + kInstallSubfolder;

    const std::size_t suffix = std::string(kInstallSubfolder).size() + LongestNameInInstallFolder(fs);
    const std::size_t maxFolderBytes = kMaxPathBytes - 1 - suffix;
    if (choice.folder.size() > maxFolderBytes) {
        choice.refusal = FormatText(kFolderTooLongFormat, static_cast<int>(choice.folder.size()),
                                    static_cast<int>(maxFolderBytes));
        return choice;
    }
    choice.accepted = true;
    return choice;
}

}  // namespace tavrin
