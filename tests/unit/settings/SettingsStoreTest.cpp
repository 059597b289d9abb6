#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <limits>
#include <string>

#include "base/CodePage.h"
#include "settings/PasswordScramble.h"
#include "settings/ProfileFile.h"
#include "tests/support/FakeClock.h"
#include "tests/support/TempDirectory.h"

namespace velmo {
namespace {

class SettingsStoreTest : public ::testing::Test {
  protected:
    ToolSettings LoadFrom(const std::string& fileText) {
        folder.Write("Velmo tool.ini", fileText);
        return Load();
    }
    ToolSettings Load() {
        ToolSettings settings;
        LoadSettings(settings, path, clock);
        return settings;
    }
    std::string SaveAndRead(const ToolSettings& settings) {
        EXPECT_TRUE(SaveSettings(settings, path));
        return folder.Read("Velmo tool.ini");
    }
    // The value of one key in the saved file.
    std::string Saved(const std::string& key) {
        return ReadProfileFile(path).GetString(kSettingsSection, key, "<missing>", 1 << 20);
    }

    testing::TempDirectory folder;
    std::string path = folder.File("Velmo tool.ini");
    testing::FakeClock clock{DateTime::FromParts(2024, 3, 9, 12, 34, 56)};
};

// --- Loading ---

TEST_F(SettingsStoreTest, OtherSectionsDoNotCount) {
    const ToolSettings s = LoadFrom("[Settings]\r\nUpdateLog=1\r\nRutorAddress=127.0.0.9\r\n");
    EXPECT_FALSE(s.UpdateLog);
    EXPECT_EQ(s.RutorAddress, kFactoryRouterAddress);
}

TEST_F(SettingsStoreTest, PollIntervalDuringFollowUpIsTheConnectTimeWhilePolling) {
    EXPECT_EQ(LoadFrom("[Setting]\nUpdateStatusConnectTime=4500\n").followUpPollTime, 4500);
    EXPECT_EQ(LoadFrom("[Setting]\nUpdateStatusConnect=0\nUpdateStatusConnectTime=4500\n").followUpPollTime,
              10000);
}

TEST_F(SettingsStoreTest, FlagIsOnForAnyNonZeroNumberAndOffForText) {
    ToolSettings s = LoadFrom("[Setting]\nInitMinimize=2\nUpdateLogRecordLogIn=yes\nAutoDisconnectDlg=-1\n");
    EXPECT_TRUE(s.InitMinimize);
    EXPECT_FALSE(s.UpdateLogRecordLogIn);
    EXPECT_TRUE(s.AutoDisconnectDlg);
    ASSERT_TRUE(SaveSettings(s, path));
    EXPECT_EQ(Saved("InitMinimize"), "1");
    EXPECT_EQ(Saved("UpdateLogRecordLogIn"), "0");
    EXPECT_EQ(Saved("AutoDisconnectDlg"), "1");
    EXPECT_FALSE(LoadFrom("[Setting]\nInitMinimize=yes\n").InitMinimize);
    EXPECT_FALSE(LoadFrom("[Setting]\nInitMinimize=\n").InitMinimize);  // present but empty: not the default
}

TEST_F(SettingsStoreTest, NumbersAreReadTheWayAtoiReadsThem) {
    const auto logTime = [this](const std::string& text) {
        return LoadFrom("[Setting]\nUpdateLogTime=" + text + "\n").UpdateLogTime;
    };
    EXPECT_EQ(logTime("1234"), 1234);
    EXPECT_EQ(logTime("\" +42abc\""), 42);  // blanks inside quotes survive the reader; atoi skips them
    EXPECT_EQ(logTime("-7"), -7);
    EXPECT_EQ(logTime("12 34"), 12);
    EXPECT_EQ(logTime("0x10"), 0);
    EXPECT_EQ(logTime("abc"), 0);
    EXPECT_EQ(logTime("- 5"), 0);
    EXPECT_EQ(logTime(""), 0);
}

TEST_F(SettingsStoreTest, HugeNumbersSaturateInsteadOfOverflowing) {
    EXPECT_EQ(LoadFrom("[Setting]\nUpdateLogTime=99999999999999999999\n").UpdateLogTime,
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(LoadFrom("[Setting]\nUpdateLogTime=-2147483648\n").UpdateLogTime,
              std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(LoadFrom("[Setting]\nUpdateLogTime=-99999999999999999999\n").UpdateLogTime,
              std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(LoadFrom("[Setting]\nUpdateLogTime=2147483647\n").UpdateLogTime, 2147483647);
}

TEST_F(SettingsStoreTest, HandEditedPasswordLoadsAsEmpty) {
    EXPECT_EQ(LoadFrom("[Setting]\nRootPasswd=admin\n").RootPasswd, "");
    std::string text = EncodePassword("admin");
    text[4] = text[4] == '!' ? '"' : '!';
    EXPECT_EQ(LoadFrom("[Setting]\nRootPasswd=" + text + "\n").RootPasswd, "");
}

TEST_F(SettingsStoreTest, ValuesAreReadWithTheProfileRules) {
    const ToolSettings s =
        LoadFrom("[setting]\r\nrutoraddress =  \"127.0.0.3:8080\" \r\nUpdateLogFileName=' log.txt '\r\n");
    EXPECT_EQ(s.RutorAddress, "127.0.0.3:8080");
    EXPECT_EQ(s.UpdateLogFileName, " log.txt ");
}

// --- Saving ---

ToolSettings KnownRecord() {
    ToolSettings s;
    s.RutorAddress = "127.0.0.1:8080";
    s.RootPasswd = "admin";
    s.InitMinimize = false;
    s.UpdateStatusDisconnect = true;
    s.UpdateStatusDisconnectTime = 15000;
    s.UpdateStatusConnect = false;
    s.UpdateStatusConnectTime = -3;
    s.followUpTime = 1;  // derived values are never written
    s.followUpPollTime = 2;
    s.accessWarningTime = 3;
    s.UpdateLog = true;
    s.UpdateLogTime = 60000;
    s.UpdateLogFileName = "log.txt";
    s.UpdateLogRecordLogIn = false;
    s.UpdateLogRecordLogOut = true;
    s.UpdateLogRecordSubInfo = false;
    s.AutoDisconnect = true;
    s.AutoDisconnectSelectDay = false;
    s.AutoDisconnectTime = DateTime::FromParts(2002, 5, 1, 23, 30, 0);
    s.AutoDisconnectDlg = true;
    s.NotifyAccess = false;
    s.NotifyLine = true;
    s.NotifyIgnore = Utf8ToSjis("127.0.0.5 表");
    s.AutoRedial = true;
    s.NotifyMuteUntil = DateTime::FromParts(2030, 1, 2, 3, 4, 5);
    return s;
}

// A file of today's keys, byte for byte; keys added later follow them.
TEST_F(SettingsStoreTest, SaveWritesEveryKeyInOrderByteForByte) {
    const std::string expected =
        "[Setting]\r\n"
        "RutorAddress=127.0.0.1:8080\r\n"
        "RootPasswd=" +
        EncodePassword("admin") +
        "\r\n"
        "InitMinimize=0\r\n"
        "UpdateStatusConnect=0\r\n"
        "UpdateStatusConnectTime=-3\r\n"
        "UpdateStatusDisconnect=1\r\n"
        "UpdateStatusDisconnectTime=15000\r\n"
        "UpdateLog=1\r\n"
        "UpdateLogTime=60000\r\n"
        "UpdateLogFileName=log.txt\r\n"
        "UpdateLogRecordLogIn=0\r\n"
        "UpdateLogRecordLogOut=1\r\n"
        "UpdateLogRecordSubInfo=0\r\n"
        "AutoDisconnect=1\r\n"
        "AutoDisconnectSelectDay=0\r\n"
        "AutoDisconnectTime=2002/05/01 23:30:00\r\n"
        "AutoDisconnectDlg=1\r\n"
        "NotifyAccess=0\r\n"
        "NotifyLine=1\r\n"
        "NotifyIgnore=127.0.0.5 " +
        Utf8ToSjis("表") +
        "\r\n"
        "AutoRedial=1\r\n"
        "NotifyMuteUntil=2030/01/02 03:04:05\r\n";
    EXPECT_EQ(SaveAndRead(KnownRecord()).substr(0, expected.size()), expected);
}

// A file of the earlier version holds the first seventeen keys only: the
// later keys load with their defaults, and the first save appends them after
// the seventeen, which keep their lines, so the earlier version still reads
// every key it knows from a file of this one.
TEST_F(SettingsStoreTest, FileOfTheEarlierVersionLoadsTheLaterKeysDefaultsAndGainsTheirKeysAtTheEnd) {
    ASSERT_TRUE(SaveSettings(KnownRecord(), path));
    std::string earlier = folder.Read("Velmo tool.ini");
    earlier.erase(earlier.find("NotifyAccess="));
    folder.Write("Velmo tool.ini", earlier);
    std::string later;
    for (std::size_t i = 17; i < kSettingsKeyCount; ++i) {
        later += kSettingRows[i].key + ("=" + std::string(kSettingRows[i].defaultText)) + "\r\n";
    }
    EXPECT_EQ(SaveAndRead(Load()), earlier + later);
}

TEST_F(SettingsStoreTest, EmptyPasswordIsWrittenAsAnEmptyValue) {
    ToolSettings s = KnownRecord();
    s.RootPasswd.clear();
    SaveAndRead(s);
    EXPECT_EQ(Saved("RootPasswd"), "");
}

TEST_F(SettingsStoreTest, SaveKeepsOtherSectionsAndLinesAndReplacesValuesInPlace) {
    folder.Write(
        "Velmo tool.ini",
        "; my notes\r\n[Window]\r\nx=5\r\n[setting]\r\nupdatelog = 0\r\nExtra=keep me\r\n\r\n[Last]\r\ny=1");
    const std::string text = SaveAndRead(KnownRecord());
    EXPECT_EQ(text.substr(0, 54), "; my notes\r\n[Window]\r\nx=5\r\n[setting]\r\nupdatelog =1\r\nEx");
    EXPECT_NE(text.find("Extra=keep me\r\nRutorAddress=127.0.0.1:8080\r\n"), std::string::npos);
    const std::string lastKey = std::rbegin(kSettingRows)->key;
    EXPECT_TRUE(text.ends_with(lastKey + "=" + Saved(lastKey) + "\r\n\r\n[Last]\r\ny=1")) << text;
    EXPECT_EQ(text.find("UpdateLog="), std::string::npos);  // replaced, not added a second time
}

TEST_F(SettingsStoreTest, SaveIntoAMissingFolderFails) {
    EXPECT_FALSE(SaveSettings(KnownRecord(), folder.File("gone/Velmo tool.ini")));
}

TEST_F(SettingsStoreTest, PasswordOfAnyLengthSurvivesASaveAndALoad) {
    // From 168 bytes on, the scrambled text is longer than 1022 bytes.
    for (const std::size_t size : {167u, 168u, 1000u, 20000u}) {
        ToolSettings s = KnownRecord();
        s.RootPasswd.clear();
        for (std::size_t i = 0; i < size; ++i) {
            s.RootPasswd += static_cast<char>('A' + i % 26);
        }
        ASSERT_TRUE(SaveSettings(s, path));
        EXPECT_EQ(Load().RootPasswd, s.RootPasswd) << size;
    }
}

TEST_F(SettingsStoreTest, ScrambledTextEnclosedInQuotesSurvivesASaveAndALoad) {
    // "A0" was found by search: its scrambled text begins and ends with '\''.
    const std::string scrambled = EncodePassword("A0");
    ASSERT_EQ(scrambled.front(), '\'');
    ASSERT_EQ(scrambled.back(), '\'');
    ToolSettings s = KnownRecord();
    s.RootPasswd = "A0";
    const std::string text = SaveAndRead(s);
    EXPECT_NE(text.find("\r\nRootPasswd=\"" + scrambled + "\"\r\n"), std::string::npos);
    EXPECT_EQ(Load().RootPasswd, "A0");
}

}  // namespace
}  // namespace velmo
