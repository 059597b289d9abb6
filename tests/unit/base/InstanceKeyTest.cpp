#include "base/InstanceKey.h"

#include <gtest/gtest.h>

#include <string>

namespace velmo {
namespace {

TEST(InstanceKey, OneFolderHasOneNameHoweverItsPathIsSpelled) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"C:\\Tools\\Velmo", "C:\\Tools\\Velmo", true},
        {"C:\\Tools\\Velmo", "c:\\tools\\velmo", true},
        {"C:\\Tools\\Velmo", "C:/Tools/Velmo/", true},
        {"C:\\Tools\\Velmo", "C:\\Tools\\Velmo\\\\", true},
        {"C:\\", "C:", true},
        {"C:\\ツール\\ルーター", "c:/ツール/ルーター/", true},
        {"C:\\Tools\\Velmo", "C:\\Tools\\Velmo2", false},
        {"C:\\Tools\\Velmo", "D:\\Tools\\Velmo", false},
        {"C:\\Tools\\Velmo", "C:\\Tools", false},
        {"C:\\ツール\\ルーター1", "C:\\ツール\\ルーター2", false},
        {"C:\\AB\\C", "C:\\A\\BC", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InstanceKey(c.a) == InstanceKey(c.b), c.same) << c.a << " | " << c.b;
    }
}

TEST(InstanceKey, IsTheToolsNameAndSixteenHexDigitsOfTheFolder) {
    // The FNV-1a offset basis: the hash of no bytes at all.
    EXPECT_EQ(InstanceKey(""), "VelmoTool-cbf29ce484222325");
    EXPECT_EQ(InstanceKey("\\"), "VelmoTool-cbf29ce484222325");
    // FNV-1a of the single byte "A".
    EXPECT_EQ(InstanceKey("a"), "VelmoTool-af63fc4c860222ec");
    const std::string key = InstanceKey("C:\\Users\\太郎\\Velmo");
    ASSERT_EQ(key.size(), 26u);
    EXPECT_EQ(key.find_first_not_of("0123456789abcdef", 10), std::string::npos) << key;
}

}  // namespace
}  // namespace velmo
