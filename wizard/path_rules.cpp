#include "path_rules.h"

#include <cstdio>
#include <vector>

#include "constants.h"
#include "cp936.h"

namespace tavrin {

namespace {

bool IsEdgeForbidden(char c) { return c == '\t' || c == ' ' || c == '.'; }

bool IsForbidden(char c) {
    switch (c) {
    case '"': case '*': case '/': case ':': case '<': case '>': case '?': case '\\': case '|':
        return true;
    default:
        return false;
    }
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Offsets (into `path`) of every "\" that is a character of its own, from
// `from` on.
std::vector<std::size_t> SeparatorsFrom(const std::string& path, std::size_t from) {
    std::vector<std::size_t> separators;
    for (std::size_t i = from; i < path.size();) {
        const std::size_t n = cp936::CharLength(path, i);
        if (n == 1 && path[i] == '\\') separators.push_back(i);
        i += n;
    }
    return separators;
}

// Ends (exclusive offsets into `path`) of the levels below the drive root:
// "C:\a\b" gives 4 ("C:\a") and 6 ("C:\a\b"). False when a part is invalid.
bool LevelEnds(const std::string& path, std::vector<std::size_t>& ends) {
    std::vector<std::size_t> bounds = SeparatorsFrom(path, 3);
    bounds.push_back(path.size());
    std::size_t start = 3;
    for (std::size_t end : bounds) {
        if (!IsValidPathPart(path.substr(start, end - start))) return false;
        ends.push_back(end);
        start = end + 1;
    }
    return true;
}

}  // namespace

bool IsValidPathPart(const std::string& part) {
    if (part.empty()) return false;
    if (IsEdgeForbidden(part.front())) return false;
    bool valid = true;
    std::size_t lastSingle = std::string::npos;  // offset of a last single-byte character
    cp936::ForEachChar(part, [&](std::size_t i, std::size_t n) {
        lastSingle = (n == 1) ? i : std::string::npos;
        if (n == 1 && IsForbidden(part[i])) valid = false;
    });
    if (lastSingle != std::string::npos && IsEdgeForbidden(part[lastSingle])) return false;
    return valid;
}

int ValidateOrCreatePath(FileSystem& fs, const std::string& path, PathMode mode) {
    if (path.size() < 3 || path.size() > kMaxChosenPathBytes) return kPathMalformed;
    if (!IsDriveLetter(path[0]) || path[1] != ':' || path[2] != '\\') return kPathMalformed;
    if (path.size() == 3) {
        if (mode == PathMode::CheckOnly) return kPathGood;
        return fs.Exists(path) ? kPathGood : kPathCannotCreate;
    }

    std::vector<std::size_t> ends;
    if (!LevelEnds(path, ends)) return kPathMalformed;
    if (mode == PathMode::CheckOnly) return kPathGood;

    for (std::size_t end : ends) {
        const std::string level = path.substr(0, end);
        fs.CreateFolder(level);  // an existing level fails here and is fine
        if (!fs.Exists(level)) return kPathCannotCreate;
    }
    return kPathGood;
}

std::string FormatPathMessage(const char* format, const std::string& path) {
    const int size = std::snprintf(nullptr, 0, format, path.c_str());
    if (size < 0) return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
    std::snprintf(buffer.data(), buffer.size(), format, path.c_str());
    return std::string(buffer.data(), static_cast<std::size_t>(size));
}

namespace {

int Refuse(PathPrompt& prompt, const std::string& path, int code) {
    const char* format = (code == kPathMalformed) ? kFolderInvalidFormat : kFolderCannotCreateFormat;
    prompt.ShowWarning(FormatPathMessage(format, path));
    return code;
}

}  // namespace

int ConfirmChosenPath(FileSystem& fs, PathPrompt& prompt, const std::string& path) {
    int result = ValidateOrCreatePath(fs, path, PathMode::CheckOnly);
    if (result != kPathGood) return Refuse(prompt, path, result);
    if (fs.Exists(path)) return kPathGood;
    if (!prompt.AskYesNo(FormatPathMessage(kFolderMissingFormat, path))) return kPathDeclined;
    result = ValidateOrCreatePath(fs, path, PathMode::Create);
    if (result != kPathGood) return Refuse(prompt, path, result);
    return kPathGood;
}

std::string CutToBytes(const std::string& text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t n = cp936::CharLength(text, end);
        if (end + n > maxBytes) break;
        end += n;
    }
    return text.substr(0, end);
}

}  // namespace tavrin
