#include "settings/StartupShortcut.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/InstanceKey.h"
#include "res/resource.h"

namespace velmo {
namespace {

class FakeStartupShortcut final : public StartupShortcut {
  public:
    bool Exists() override { return calls.push_back("Exists"), exists; }
    bool Create() override {
        calls.push_back("Create");
        exists = exists || createWorks;
        return createWorks;
    }
    bool Remove() override {
        calls.push_back("Remove");
        exists = exists && !removeWorks;
        return removeWorks;
    }
    bool TurnedOff() override { return false; }

    bool exists = false;
    bool createWorks = true;
    bool removeWorks = true;
    std::vector<std::string> calls;
};

// Every combination of the box when the sheet opened, the box at OK and the
// outcome of the platform's call: the shortcut is touched only when the box
// changed, in the direction of the box, and a failure comes back with the
// message that tells the user.
TEST(StartupShortcut, FollowsTheBoxOnlyWhenItChangedAndReportsFailures) {
    for (int row = 0; row < 8; ++row) {
        const bool shown = (row & 1) != 0;
        const bool ticked = (row & 2) != 0;
        const bool works = (row & 4) != 0;
        SCOPED_TRACE(::testing::Message()
                     << "shown " << shown << ", ticked " << ticked << ", works " << works);
        FakeStartupShortcut shortcut;
        shortcut.exists = shown;
        shortcut.createWorks = shortcut.removeWorks = works;
        const StartupChange change = ApplyStartWithWindows(shown, ticked, shortcut);
        if (shown == ticked) {
            EXPECT_EQ(change, StartupChange::Unchanged);
            EXPECT_TRUE(shortcut.calls.empty());
            EXPECT_EQ(StartupChangeMessage(change), 0);
        } else if (ticked) {
            EXPECT_EQ(shortcut.calls, std::vector<std::string>{"Create"});
            EXPECT_EQ(change, works ? StartupChange::Created : StartupChange::CreateFailed);
            EXPECT_EQ(StartupChangeMessage(change), works ? 0 : IDS_STARTUP_CREATE_FAILED);
        } else {
            EXPECT_EQ(shortcut.calls, std::vector<std::string>{"Remove"});
            EXPECT_EQ(change, works ? StartupChange::Removed : StartupChange::RemoveFailed);
            EXPECT_EQ(StartupChangeMessage(change), works ? 0 : IDS_STARTUP_REMOVE_FAILED);
        }
        EXPECT_EQ(shortcut.exists, works ? ticked : shown);
    }
}

TEST(StartupShortcut, FileNameCarriesTheFolderNameAndTheFolderHash) {
    const std::string key = "VelmoTool-0123456789abcdef";
    struct Row {
        const char* folder;
        const char* file;
    };
    const Row rows[] = {
        {"C:\\Tools\\router1", "Velmo tool (router1) 0123456789abcdef.lnk"},
        {"C:\\Tools\\router1\\", "Velmo tool (router1) 0123456789abcdef.lnk"},
        {"Z:/work/家のルーター", "Velmo tool (家のルーター) 0123456789abcdef.lnk"},
        {"C:\\", "Velmo tool 0123456789abcdef.lnk"},  // a drive root has no name of its own
        {"C:", "Velmo tool 0123456789abcdef.lnk"},
        {"", "Velmo tool 0123456789abcdef.lnk"},
        // 32 characters at most, never half of one.
        {"C:\\abcdefghijklmnopqrstuvwxyz0123456789",
         "Velmo tool (abcdefghijklmnopqrstuvwxyz012345) 0123456789abcdef.lnk"},
        {"C:\\ああああああああああああああああああああああああああああああああいう",
         "Velmo tool (ああああああああああああああああああああああああああああああああ) "
         "0123456789abcdef.lnk"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(StartupShortcutFileName(row.folder, key), row.file) << row.folder;
    }
}

// Two folders of the same name (two routers, on two drives) get two shortcuts;
// two spellings of one folder get one (file names compare without case).
TEST(StartupShortcut, TwoFoldersNeverShareAShortcut) {
    const auto name = [](const std::string& folder) {
        std::string file = StartupShortcutFileName(folder, InstanceKey(folder));
        for (char& c : file) {
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
        return file;
    };
    EXPECT_NE(name("C:\\A\\router"), name("D:\\B\\router"));
    EXPECT_NE(name("C:\\router1"), name("C:\\router2"));
    EXPECT_EQ(name("C:\\ROUTER"), name("c:/router/"));
}

}  // namespace
}  // namespace velmo
