// The REGEDIT4 loader on any bytes: it never crashes or hangs, a refused
// text names a line, and whatever it loaded (all of it, or the lines before a
// bad one) exports to a text that loads back to the same keys and values.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "memory_registry.h"
#include "reg_file.h"

using namespace tavrin;

namespace {

void CheckRoundTrip(const MemoryRegistry& registry, RegRoot root) {
    const std::string exported = ExportRegText(registry, root, "");
    MemoryRegistry again;
    RegFileError error;
    FUZZ_REQUIRE(LoadRegText(exported, again, error), "an exported text does not load back");
    FUZZ_REQUIRE(ExportRegText(again, root, "") == exported, "an exported text loads back to other keys or values");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    MemoryRegistry registry;
    RegFileError error;
    if (!LoadRegText(text, registry, error)) {
        FUZZ_REQUIRE(error.line >= 1, "a refused text names no line");
        FUZZ_REQUIRE(!error.reason.empty(), "a refused text gives no reason");
    }
    CheckRoundTrip(registry, RegRoot::LocalMachine);
    CheckRoundTrip(registry, RegRoot::CurrentUser);
    return 0;
}
