// The merge of "TRUSTEDPATHS" on any old value: input up to the first zero
// byte is the old value (a REG_SZ read ends there), the rest up to the next
// zero byte the chosen folder, below which the install run puts its install
// folder. The user's value is never lost, the install folder ends up trusted,
// and a second install run finds it there and writes nothing.
#include <cstddef>
#include <cstdint>
#include <string>

#include "constants.h"
#include "cp936.h"
#include "fuzz_check.h"
#include "trusted_paths.h"

using namespace tavrin;

namespace {

std::string UpToZero(const std::string& text, std::size_t from) {
    if (from > text.size()) return std::string();
    const std::size_t end = text.find('\0', from);
    return text.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

bool HoldsOwnSemicolon(const std::string& text) {
    bool found = false;
    cp936::ForEachChar(text, [&](std::size_t i, std::size_t n) { found = found || (n == 1 && text[i] == ';'); });
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string oldValue = UpToZero(input, 0);
    const std::string chosen = UpToZero(input, oldValue.size() + 1);
    // The location page refuses a folder text with ';' of its own.
    if (HoldsOwnSemicolon(chosen)) return 0;
    const std::string folder = chosen + kInstallSubfolder;

    const TrustedPathsMerge merge = MergeTrustedPaths(oldValue, folder);
    if (!merge.write) {
        FUZZ_REQUIRE(HoldsTrustedPath(oldValue, folder), "a value without the folder is left as it is");
        return 0;
    }
    FUZZ_REQUIRE(HoldsTrustedPath(merge.text, folder), "the merged value does not hold the folder");
    const bool placeholder = merge.text == folder;
    FUZZ_REQUIRE(placeholder || merge.text.compare(0, oldValue.size(), oldValue) == 0,
                 "the user's value is not kept at the start");
    const TrustedPathsMerge again = MergeTrustedPaths(merge.text, folder);
    FUZZ_REQUIRE(!again.write, "a second install run changes the value again");
    return 0;
}
