// Detection on Wine's real registry, seeded from the same fixtures as the
// native tests: the Win32 backend must record exactly what the in-memory
// registry records, and both what the case table says.
#include "detection.h"

#include <gtest/gtest.h>

#include "detection_cases.h"
#include "memory_registry.h"
#include "win32_registry.h"
#include "wine_registry.h"

namespace tavrin {
namespace {

using testing::DetectedEntry;

std::string Describe(const InstallContext& context) {
    std::string out;
    for (int i = 0; i < kReleaseCount; ++i) {
        if (context.ReleaseKeys[i].size() != context.ReleaseFolders[i].size()) return "lists out of step";
        for (std::size_t k = 0; k < context.ReleaseKeys[i].size(); ++k)
            out += std::to_string(kFirstYear + i) + " " + context.ReleaseKeys[i][k] + " " +
                   context.ReleaseFolders[i][k] + "\n";
    }
    return out;
}

std::string Describe(const std::vector<DetectedEntry>& entries) {
    std::string out;
    for (const DetectedEntry& e : entries) out += std::to_string(e.year) + " " + e.key + " " + e.folder + "\n";
    return out;
}

TEST(DetectionOnWine, FixtureCasesMatchTheInMemoryRegistry) {
    for (const testing::DetectionCase& c : testing::DetectionCases()) {
        SCOPED_TRACE(c.name);
        MemoryRegistry memory;
        ASSERT_TRUE(testing::SeedFixture(c.fixture, memory));

        InstallContext onWine;
        Win32Registry win32;
        DetectReleases(onWine, win32);
        InstallContext inMemory;
        DetectReleases(inMemory, memory);

        EXPECT_EQ(Describe(onWine), Describe(c.expected));
        EXPECT_EQ(Describe(onWine), Describe(inMemory));
    }
    EXPECT_TRUE(testing::WipeTestKeys());
}

}  // namespace
}  // namespace tavrin
