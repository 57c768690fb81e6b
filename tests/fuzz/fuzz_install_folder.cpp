// The location page's folder rules on any text: input byte 0 picks the
// current folder, the rest up to its first zero byte is the folder text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "constants.h"
#include "cp936.h"
#include "fuzz_check.h"
#include "install_folder.h"
#include "memory_file_system.h"

using namespace tavrin;

namespace {

const char* const kCurrentFolders[] = {"C:\\", "C:\\Users\\Setup", "D:\\下载\\Tavrin", "E:\\a\\b\\c\\d"};

bool HoldsOwnChar(const std::string& text, char c) {
    bool found = false;
    cp936::ForEachChar(text, [&](std::size_t i, std::size_t n) { found = found || (n == 1 && text[i] == c); });
    return found;
}

bool IsAbsolute(const std::string& path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
    const bool network = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
    return drive || network;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string current = kCurrentFolders[data[0] % (sizeof(kCurrentFolders) / sizeof(kCurrentFolders[0]))];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));

    const std::string absolute = MakeAbsolutePath(text, current);
    FUZZ_REQUIRE(IsAbsolute(absolute), "MakeAbsolutePath gives a relative path");
    FUZZ_REQUIRE(MakeAbsolutePath(absolute, current) == absolute, "MakeAbsolutePath is not stable");

    MemoryFileSystem fs;
    fs.SetCurrentFolder(current);
    fs.SetProgramPath("C:\\Setup\\SetUp.exe");
    fs.AddFile("C:\\Setup\\SetUp.exe");
    fs.AddFile("C:\\Setup\\BatchPlot_a_rather_long_payload_file_name.dll");
    if (text.empty()) return 0;  // the page refuses an empty text before these rules
    const InstallFolderChoice choice = CheckInstallFolderText(text, fs);
    if (!choice.accepted) {
        FUZZ_REQUIRE(!choice.refusal.empty(), "a refused text gets no message");
        return 0;
    }
    FUZZ_REQUIRE(choice.refusal.empty(), "an accepted text gets a refusal");
    FUZZ_REQUIRE(!HoldsOwnChar(text, ';'), "a text with ';' is accepted");
    // A drive root stands as "X:", without its backslash.
    FUZZ_REQUIRE(IsAbsolute(choice.folder + "\\"), "an accepted folder is relative");
    FUZZ_REQUIRE(choice.installFolder == choice.folder + kInstallSubfolder, "the install folder is not the subfolder");
    FUZZ_REQUIRE(choice.installFolder.size() < kMaxPathBytes, "the install folder passes 259 bytes");
    return 0;
}
