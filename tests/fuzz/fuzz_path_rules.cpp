// The folder picker's path rules on any text, over an in-memory file system:
// input byte 0 holds the user's answer to the picker's question and the byte
// count for CutToBytes, the rest is the path up to its first zero byte (a
// text read from an edit box ends there).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "constants.h"
#include "cp936.h"
#include "fuzz_check.h"
#include "memory_file_system.h"
#include "path_rules.h"

using namespace tavrin;

namespace {

// Answers Yes or No as scripted and counts the boxes shown.
class ScriptedPrompt : public PathPrompt {
public:
    explicit ScriptedPrompt(bool yes) : yes_(yes) {}
    bool AskYesNo(const std::string&) override {
        ++questions;
        return yes_;
    }
    void ShowWarning(const std::string& text) override {
        ++warnings;
        lastWarning = text;
    }
    int questions = 0;
    int warnings = 0;
    std::string lastWarning;

private:
    bool yes_;
};

// A machine with a C: drive holding a folder and a file, and a D: drive.
void SetUp(MemoryFileSystem& fs) {
    fs.AddFolder("C:\\Tavrin");
    fs.AddFile("C:\\Tavrin\\readme.txt", "x");
    fs.AddFile("C:\\file.txt", "x");
    fs.AddFolder("D:\\");
}

std::vector<std::string> Everything(const MemoryFileSystem& fs) {
    std::vector<std::string> paths = fs.PathsBelow("C:\\");
    const std::vector<std::string> more = fs.PathsBelow("D:\\");
    paths.insert(paths.end(), more.begin(), more.end());
    return paths;
}

void CheckParts(const std::string& path) {
    std::string part;
    cp936::ForEachChar(path, [&](std::size_t i, std::size_t n) {
        if (n == 1 && path[i] == '\\') {
            IsValidPathPart(part);
            part.clear();
        } else {
            part.append(path, i, n);
        }
    });
    IsValidPathPart(part);
}

void CheckValidate(const std::string& path) {
    MemoryFileSystem fs;
    SetUp(fs);
    const std::vector<std::string> before = Everything(fs);
    const int checked = ValidateOrCreatePath(fs, path, PathMode::CheckOnly);
    FUZZ_REQUIRE(checked == kPathGood || checked == kPathMalformed, "CheckOnly gives another result");
    FUZZ_REQUIRE(Everything(fs) == before, "CheckOnly changed the file system");
    FUZZ_REQUIRE(fs.Calls().createFolder == 0, "CheckOnly created a folder");

    const int created = ValidateOrCreatePath(fs, path, PathMode::Create);
    FUZZ_REQUIRE((checked == kPathMalformed) == (created == kPathMalformed), "Create and CheckOnly disagree");
    if (created == kPathMalformed) FUZZ_REQUIRE(Everything(fs) == before, "a malformed path created something");
    if (created == kPathGood) {
        FUZZ_REQUIRE(path.size() <= kMaxChosenPathBytes, "a path of more than 259 bytes is good");
        FUZZ_REQUIRE(fs.Exists(path), "a good path does not exist after Create");
    }
}

void CheckConfirm(const std::string& path, bool yes) {
    MemoryFileSystem fs;
    SetUp(fs);
    const bool existed = fs.Exists(path);
    const std::vector<std::string> before = Everything(fs);
    ScriptedPrompt prompt(yes);
    const int result = ConfirmChosenPath(fs, prompt, path);
    switch (result) {
    case kPathGood:
        FUZZ_REQUIRE(prompt.warnings == 0, "a good path got a warning");
        FUZZ_REQUIRE(fs.Exists(path), "a good path does not exist");
        FUZZ_REQUIRE(prompt.questions == (existed ? 0 : 1), "the question was asked wrongly");
        break;
    case kPathDeclined:
        FUZZ_REQUIRE(!yes && prompt.questions == 1 && prompt.warnings == 0, "declined without a No");
        FUZZ_REQUIRE(Everything(fs) == before, "a declined path created something");
        break;
    case kPathMalformed:
        FUZZ_REQUIRE(prompt.questions == 0 && prompt.warnings == 1, "a malformed path got no single warning");
        FUZZ_REQUIRE(Everything(fs) == before, "a malformed path created something");
        break;
    case kPathCannotCreate:
        FUZZ_REQUIRE(yes && prompt.warnings == 1, "a path that cannot be created got no single warning");
        break;
    default:
        FUZZ_REQUIRE(false, "ConfirmChosenPath gives an unknown result");
    }
    if (prompt.warnings == 1) {
        FUZZ_REQUIRE(prompt.lastWarning.find(path) != std::string::npos, "the warning does not name the path");
    }
}

void CheckCut(const std::string& path, std::size_t maxBytes) {
    const std::string cut = CutToBytes(path, maxBytes);
    FUZZ_REQUIRE(cut.size() <= maxBytes, "CutToBytes gives too many bytes");
    FUZZ_REQUIRE(path.compare(0, cut.size(), cut) == 0, "CutToBytes does not keep the start");
    if (cut.size() < path.size()) {
        FUZZ_REQUIRE(cut.size() + cp936::CharLength(path, cut.size()) > maxBytes, "CutToBytes cut too much");
        std::size_t end = 0;
        while (end < cut.size()) end += cp936::CharLength(path, end);
        FUZZ_REQUIRE(end == cut.size(), "CutToBytes split a double-byte character");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool yes = (data[0] & 1) != 0;
    const std::size_t maxBytes = data[0] * 2u;
    std::string path(reinterpret_cast<const char*>(data + 1), size - 1);
    path.resize(path.find('\0') == std::string::npos ? path.size() : path.find('\0'));
    CheckParts(path);
    CheckValidate(path);
    CheckConfirm(path, yes);
    CheckCut(path, maxBytes);
    return 0;
}
