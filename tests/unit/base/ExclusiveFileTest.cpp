#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "base/ExclusiveFile.h"
#include "tests/support/TempDirectory.h"

namespace velmo {
namespace {

TEST(ExclusiveFile, ReadsAnyPartAndTellsWhyACallFailed) {
    testing::ScopedCurrentDirectory directory;
    const std::string name = directory.File("file.txt");
    std::ofstream(name, std::ios::binary) << "0123456789";

    ExclusiveFile file;
    ASSERT_TRUE(file.Open(name));
    std::uint64_t size = 0;
    ASSERT_TRUE(file.Size(size));
    EXPECT_EQ(size, 10u);
    char bytes[4] = {};
    ASSERT_TRUE(file.ReadAt(6, bytes, 4));
    EXPECT_EQ(std::string(bytes, 4), "6789");
    EXPECT_TRUE(file.LastErrorText().empty());
    // Bytes past the end are not there.
    EXPECT_FALSE(file.ReadAt(8, bytes, 4));
    EXPECT_FALSE(file.LastErrorText().empty());

    // A second opener is refused while the first holds the file, with the
    // system's reason.
    ExclusiveFile second;
    EXPECT_FALSE(second.Open(name));
    EXPECT_FALSE(second.LastErrorText().empty());
    file.Close();
    EXPECT_TRUE(second.Open(name));
}

}  // namespace
}  // namespace velmo
