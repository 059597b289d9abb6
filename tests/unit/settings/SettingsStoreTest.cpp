#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstdint>
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
        // Start from values unlike every default, so a field the load forgets shows.
        settings.RutorAddress = "stale";
        settings.RootPasswd = "stale";
        settings.InitMinimize = false;
        settings.UpdateStatusConnectTime = -1;
        settings.followUpTime = settings.followUpPollTime = settings.accessWarningTime = -1;
        settings.UpdateLogFileName = "stale";
        settings.AutoDisconnectSelectDay = false;
        settings.NotifyAccess = settings.NotifyLine = false;
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

TEST_F(SettingsStoreTest, WithoutAFileEveryFieldTakesItsDefault) {
    const ToolSettings s = Load();
    EXPECT_EQ(s.RutorAddress, kFactoryRouterAddress);
    EXPECT_EQ(s.RootPasswd, "");
    EXPECT_TRUE(s.InitMinimize);
    EXPECT_TRUE(s.UpdateStatusConnect);
    EXPECT_EQ(s.UpdateStatusConnectTime, 3000);
    EXPECT_EQ(s.followUpPollTime, 3000);
    EXPECT_TRUE(s.UpdateStatusDisconnect);
    EXPECT_EQ(s.UpdateStatusDisconnectTime, 10000);
    EXPECT_EQ(s.followUpTime, 120000);
    EXPECT_EQ(s.accessWarningTime, 10000);
    EXPECT_FALSE(s.UpdateLog);
    EXPECT_EQ(s.UpdateLogTime, 600000);
    EXPECT_EQ(s.UpdateLogFileName, "syslog.txt");
    EXPECT_TRUE(s.UpdateLogRecordLogIn);
    EXPECT_TRUE(s.UpdateLogRecordLogOut);
    EXPECT_TRUE(s.UpdateLogRecordSubInfo);
    EXPECT_FALSE(s.AutoDisconnect);
    EXPECT_TRUE(s.AutoDisconnectSelectDay);
    EXPECT_EQ(s.AutoDisconnectTime, clock.Now());
    EXPECT_FALSE(s.AutoDisconnectDlg);
    EXPECT_TRUE(s.NotifyAccess);
    EXPECT_TRUE(s.NotifyLine);
    EXPECT_FALSE(folder.Exists("Velmo tool.ini"));  // loading never writes
}

TEST_F(SettingsStoreTest, OtherSectionsDoNotCount) {
    const ToolSettings s = LoadFrom("[Settings]\r\nUpdateLog=1\r\nRutorAddress=127.0.0.9\r\n");
    EXPECT_FALSE(s.UpdateLog);
    EXPECT_EQ(s.RutorAddress, kFactoryRouterAddress);
}

TEST_F(SettingsStoreTest, ConnectTimeOfZeroSwitchesPollingOffAndIsWrittenBackAsRead) {
    ToolSettings s = LoadFrom("[Setting]\r\nUpdateStatusConnect=1\r\nUpdateStatusConnectTime=0\r\n");
    EXPECT_FALSE(s.UpdateStatusConnect);
    EXPECT_EQ(s.UpdateStatusConnectTime, 0);
    EXPECT_EQ(s.followUpPollTime, 10000);
    ASSERT_TRUE(SaveSettings(s, path));
    EXPECT_EQ(Saved("UpdateStatusConnect"), "0");
    EXPECT_EQ(Saved("UpdateStatusConnectTime"), "0");
}

TEST_F(SettingsStoreTest, PollIntervalDuringFollowUpIsTheConnectTimeWhilePolling) {
    EXPECT_EQ(LoadFrom("[Setting]\nUpdateStatusConnectTime=4500\n").followUpPollTime, 4500);
    EXPECT_EQ(LoadFrom("[Setting]\nUpdateStatusConnect=0\nUpdateStatusConnectTime=4500\n").followUpPollTime,
              10000);
}

TEST_F(SettingsStoreTest, DisconnectTimeBelowOneSwitchesTheRefreshOff) {
    const ToolSettings s = LoadFrom("[Setting]\nUpdateStatusDisconnectTime=-1\n");
    EXPECT_FALSE(s.UpdateStatusDisconnect);
    EXPECT_EQ(s.UpdateStatusDisconnectTime, -1);
}

TEST_F(SettingsStoreTest, NegativeLogTimeSwitchesCaptureOffAndIsWrittenBackAsRead) {
    ToolSettings s = LoadFrom("[Setting]\nUpdateLog=1\nUpdateLogTime=-5\n");
    EXPECT_FALSE(s.UpdateLog);
    EXPECT_EQ(s.UpdateLogTime, -5);
    ASSERT_TRUE(SaveSettings(s, path));
    EXPECT_EQ(Saved("UpdateLog"), "0");
    EXPECT_EQ(Saved("UpdateLogTime"), "-5");
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

TEST_F(SettingsStoreTest, StoredAutoDisconnectTimeIsRead) {
    const ToolSettings s = LoadFrom("[Setting]\nAutoDisconnect=1\nAutoDisconnectTime=2002/05/01 23:30:00\n");
    EXPECT_TRUE(s.AutoDisconnect);
    EXPECT_EQ(s.AutoDisconnectTime, DateTime::FromParts(2002, 5, 1, 23, 30, 0));
}

TEST_F(SettingsStoreTest, EmptyOrUnparsableAutoDisconnectTimeSwitchesTheFeatureOffAtTheLoadingMoment) {
    for (const std::string text :
         {"[Setting]\nAutoDisconnect=1\n", "[Setting]\nAutoDisconnect=1\nAutoDisconnectTime=\n",
          "[Setting]\nAutoDisconnect=1\nAutoDisconnectTime=tomorrow\n"}) {
        ToolSettings s = LoadFrom(text);
        EXPECT_FALSE(s.AutoDisconnect) << text;
        EXPECT_EQ(s.AutoDisconnectTime, clock.Now()) << text;
        ASSERT_TRUE(SaveSettings(s, path));
        EXPECT_EQ(Saved("AutoDisconnect"), "0");
        EXPECT_EQ(Saved("AutoDisconnectTime"), "2024/03/09 12:34:56");
    }
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
    return s;
}

TEST_F(SettingsStoreTest, SaveWritesEveryKeyInOrderTheNotificationKeysLast) {
    EXPECT_EQ(SaveAndRead(KnownRecord()),
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
                  "NotifyIgnore=\r\n"
                  "AutoRedial=0\r\n"
                  "NotifyMuteUntil=\r\n");
}

// A file of the earlier version holds the first seventeen keys only: the two
// notification keys load switched on, and the first save appends them after
// the seventeen, which keep their lines, so the earlier version still reads
// every key it knows from a file of this one.
TEST_F(SettingsStoreTest, FileOfTheEarlierVersionLoadsWithNotificationsOnAndGainsTheirKeysAtTheEnd) {
    ToolSettings old = KnownRecord();
    ASSERT_TRUE(SaveSettings(old, path));
    std::string earlier = folder.Read("Velmo tool.ini");
    earlier.erase(earlier.find("NotifyAccess="));
    folder.Write("Velmo tool.ini", earlier);
    const ToolSettings loaded = Load();
    EXPECT_TRUE(loaded.NotifyAccess);
    EXPECT_TRUE(loaded.NotifyLine);
    EXPECT_EQ(
        SaveAndRead(loaded),
        earlier + "NotifyAccess=1\r\nNotifyLine=1\r\nNotifyIgnore=\r\nAutoRedial=0\r\nNotifyMuteUntil=\r\n");
}

TEST_F(SettingsStoreTest, NotificationKeysAreFlagsLikeTheOthers) {
    const ToolSettings s = LoadFrom("[Setting]\nNotifyAccess=0\nNotifyLine=2\n");
    EXPECT_FALSE(s.NotifyAccess);
    EXPECT_TRUE(s.NotifyLine);
    EXPECT_FALSE(LoadFrom("[Setting]\nNotifyLine=off\n").NotifyLine);  // atoi of text is 0
    ASSERT_TRUE(SaveSettings(s, path));
    EXPECT_EQ(Saved("NotifyAccess"), "0");
    EXPECT_EQ(Saved("NotifyLine"), "1");
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
    EXPECT_NE(text.find("NotifyMuteUntil=\r\n\r\n[Last]\r\ny=1"), std::string::npos);
    EXPECT_EQ(text.find("UpdateLog="), std::string::npos);  // replaced, not added a second time
}

TEST_F(SettingsStoreTest, SaveIntoAMissingFolderFails) {
    EXPECT_FALSE(SaveSettings(KnownRecord(), folder.File("gone/Velmo tool.ini")));
}

TEST_F(SettingsStoreTest, RecordSurvivesASaveAndALoad) {
    ToolSettings saved = KnownRecord();
    saved.RootPasswd = Utf8ToSjis("管理者ソ表パス");
    saved.UpdateLogFileName = Utf8ToSjis("ログ\\表示.txt");
    saved.UpdateStatusConnectTime = 2500;
    saved.UpdateStatusConnect = true;
    ASSERT_TRUE(SaveSettings(saved, path));
    const ToolSettings loaded = Load();
    EXPECT_EQ(loaded.RutorAddress, saved.RutorAddress);
    EXPECT_EQ(loaded.RootPasswd, saved.RootPasswd);
    EXPECT_EQ(loaded.InitMinimize, saved.InitMinimize);
    EXPECT_EQ(loaded.UpdateStatusConnect, saved.UpdateStatusConnect);
    EXPECT_EQ(loaded.UpdateStatusConnectTime, saved.UpdateStatusConnectTime);
    EXPECT_EQ(loaded.followUpPollTime, 2500);
    EXPECT_EQ(loaded.UpdateStatusDisconnect, saved.UpdateStatusDisconnect);
    EXPECT_EQ(loaded.UpdateStatusDisconnectTime, saved.UpdateStatusDisconnectTime);
    EXPECT_EQ(loaded.UpdateLog, saved.UpdateLog);
    EXPECT_EQ(loaded.UpdateLogTime, saved.UpdateLogTime);
    EXPECT_EQ(loaded.UpdateLogFileName, saved.UpdateLogFileName);
    EXPECT_EQ(loaded.UpdateLogRecordLogIn, saved.UpdateLogRecordLogIn);
    EXPECT_EQ(loaded.UpdateLogRecordLogOut, saved.UpdateLogRecordLogOut);
    EXPECT_EQ(loaded.UpdateLogRecordSubInfo, saved.UpdateLogRecordSubInfo);
    EXPECT_EQ(loaded.AutoDisconnect, saved.AutoDisconnect);
    EXPECT_EQ(loaded.AutoDisconnectSelectDay, saved.AutoDisconnectSelectDay);
    EXPECT_EQ(loaded.AutoDisconnectTime, saved.AutoDisconnectTime);
    EXPECT_EQ(loaded.AutoDisconnectDlg, saved.AutoDisconnectDlg);
    EXPECT_EQ(loaded.NotifyAccess, saved.NotifyAccess);
    EXPECT_EQ(loaded.NotifyLine, saved.NotifyLine);
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

TEST_F(SettingsStoreTest, OtherValuesTheReaderWouldChangeSurviveASaveAndALoad) {
    ToolSettings s = KnownRecord();
    s.RutorAddress = "'host'";
    s.UpdateLogFileName = " spaced name.txt\t";
    ASSERT_TRUE(SaveSettings(s, path));
    const ToolSettings loaded = Load();
    EXPECT_EQ(loaded.RutorAddress, "'host'");
    EXPECT_EQ(loaded.UpdateLogFileName, " spaced name.txt\t");
}

}  // namespace
}  // namespace velmo
