// The GUI tests' entry point. Besides GoogleTest's own flags it takes:
//   --setup=PATH      SetUp.exe (64-bit edition)
//   --setup32=PATH    SetUp32.exe (the edition built with ProductBits 32)
//   --shots=FOLDER    where every visited page's screenshot goes (BMP)
// A Unix path ("/x/y") is taken as Wine's Z:\x\y.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "wizard_session.h"

namespace {

bool TakeOption(const std::string& arg, const char* name, std::string& value) {
    const std::string prefix = std::string("--") + name + "=";
    if (arg.compare(0, prefix.size(), prefix) != 0) return false;
    value = tavrin::gui::WindowsPathOf(arg.substr(prefix.size()));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    tavrin::gui::GuiSettings& settings = tavrin::gui::Settings();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (TakeOption(arg, "setup", settings.setup64) || TakeOption(arg, "setup32", settings.setup32) ||
            TakeOption(arg, "shots", settings.shotsFolder)) {
            continue;
        }
        std::fprintf(stderr, "gui_tests: unknown argument %s\n", argv[i]);
        return 2;
    }
    return RUN_ALL_TESTS();
}
