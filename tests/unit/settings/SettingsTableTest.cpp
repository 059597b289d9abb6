#include "settings/SettingsTable.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <variant>

#include "base/CodePage.h"
#include "settings/SettingsSheetPage.h"
#include "settings/SettingsStore.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakePageControls.h"
#include "tests/support/TempDirectory.h"

namespace velmo {
namespace {

// The row's value in `settings`, whatever its type.
template <class Settings, class Member>
    requires std::is_member_object_pointer_v<Member>
auto& ValueOf(Settings& settings, Member member) {
    return settings.*member;
}
template <class Settings>
auto& ValueOf(Settings& settings, Scrambled scrambled) {
    return settings.*scrambled.member;
}

bool SameValue(const SettingRow& row, const ToolSettings& a, const ToolSettings& b) {
    return std::visit([&](auto member) { return ValueOf(a, member) == ValueOf(b, member); }, row.member);
}

// Every row set to a value unlike its default that no rule changes: times of
// whole minutes, texts the file reader would change if written bare.
ToolSettings UnusualRecord() {
    ToolSettings settings;
    int index = 0;
    for (const SettingRow& row : kSettingRows) {
        const auto setUnusual = [&](auto member) {
            auto& value = ValueOf(settings, member);
            using Value = std::remove_cvref_t<decltype(value)>;
            if constexpr (std::is_same_v<Value, bool>) {
                value = std::string(row.defaultText) != "1";
            } else if constexpr (std::is_same_v<Value, std::int32_t>) {
                value = 60000 * (index + 1);
            } else if constexpr (std::is_same_v<Value, std::string>) {
                value = Utf8ToSjis(" '表ソ' ") + row.key + "\t";
            } else {
                value = DateTime::FromParts(2002, 5, 1, 23, 30, index);
            }
        };
        std::visit(setUnusual, row.member);
        ++index;
    }
    return settings;
}

class SettingsTableTest : public ::testing::Test {
  protected:
    ToolSettings Load(ToolSettings settings = {}) {
        LoadSettings(settings, path, clock);
        return settings;
    }

    testing::TempDirectory folder;
    std::string path = folder.File("Velmo tool.ini");
    testing::FakeClock clock{DateTime::FromParts(2024, 3, 9, 12, 34, 56)};
};

TEST_F(SettingsTableTest, EveryRowSurvivesASaveAndALoadAndIsWrittenAgainAsBefore) {
    const ToolSettings saved = UnusualRecord();
    ASSERT_TRUE(SaveSettings(saved, path));
    const std::string file = folder.Read("Velmo tool.ini");
    const ToolSettings loaded = Load();
    for (const SettingRow& row : kSettingRows) {
        EXPECT_TRUE(SameValue(row, loaded, saved)) << row.key;
    }
    ASSERT_TRUE(SaveSettings(loaded, path));
    EXPECT_EQ(folder.Read("Velmo tool.ini"), file);
}

// Without the file every key reads its default text, and is written back as
// that text; the moment of a feature is the moment of loading.
TEST_F(SettingsTableTest, WithoutAFileEveryKeyTakesItsDefault) {
    const ToolSettings loaded = Load(UnusualRecord());
    EXPECT_FALSE(folder.Exists("Velmo tool.ini"));  // loading never writes
    ASSERT_TRUE(SaveSettings(loaded, path));
    std::string expected = "[Setting]\r\n";
    for (const SettingRow& row : kSettingRows) {
        const bool nowIfMissing = row.feature && std::holds_alternative<DateTime ToolSettings::*>(row.member);
        expected +=
            row.key + ("=" + (nowIfMissing ? "2024/03/09 12:34:56" : std::string(row.defaultText))) + "\r\n";
    }
    EXPECT_EQ(folder.Read("Velmo tool.ini"), expected);
    // The record's own initial values are these defaults too, but for the
    // address: a record made in code names no router until a load does.
    const ToolSettings initial;
    for (const SettingRow& row : kSettingRows) {
        const bool nowIfMissing = row.feature && std::holds_alternative<DateTime ToolSettings::*>(row.member);
        const bool address = std::string(row.key) == "RutorAddress";
        EXPECT_TRUE(nowIfMissing || address || SameValue(row, initial, loaded)) << row.key;
    }
    EXPECT_EQ(initial.RutorAddress, "");
    EXPECT_EQ(loaded.followUpTime, 120000);
    EXPECT_EQ(loaded.followUpPollTime, 3000);
    EXPECT_EQ(loaded.accessWarningTime, 10000);
}

// A time below 1 switches its feature off and is written back as read; a
// moment that does not read switches its feature off and becomes the moment
// of loading, or without a feature is none.
TEST_F(SettingsTableTest, BadValueSwitchesItsFeatureOff) {
    for (const SettingRow& row : kSettingRows) {
        const bool moment = std::holds_alternative<DateTime ToolSettings::*>(row.member);
        if (!moment && row.feature == nullptr) {
            continue;
        }
        std::string text = "[Setting]\n" + (row.key + std::string(moment ? "=soon\n" : "=0\n"));
        std::string featureKey;
        for (const SettingRow& flag : kSettingRows) {
            const auto* member = std::get_if<bool ToolSettings::*>(&flag.member);
            if (member != nullptr && *member == row.feature) {
                featureKey = flag.key;
                text += featureKey + "=1\n";
            }
        }
        folder.Write("Velmo tool.ini", text);
        ASSERT_TRUE(SaveSettings(Load(), path));
        const ProfileFile file = ReadProfileFile(path);
        if (!featureKey.empty()) {
            EXPECT_EQ(file.GetString(kSettingsSection, featureKey, ""), "0") << row.key;
        }
        const std::string kept = !moment ? "0" : row.feature ? "2024/03/09 12:34:56" : "";
        EXPECT_EQ(file.GetString(kSettingsSection, row.key, "<missing>"), kept) << row.key;
    }
}

// The record goes to the pages, their controls and back: through the sheet's
// pages as the user leaves each.
TEST_F(SettingsTableTest, EveryFieldOnAPageGoesToItsControlAndBack) {
    const ToolSettings saved = UnusualRecord();
    SettingsPages shown = PagesFromSettings(saved);
    SettingsPages read;
    auto showing = SettingsSheetPages(shown, clock);
    auto reading = SettingsSheetPages(read, clock);
    for (std::size_t i = 0; i < showing.size(); ++i) {
        testing::FakePageControls controls;
        showing[i].OnInitDialog(controls);
        EXPECT_TRUE(reading[i].OnKillActive(controls));
    }
    ToolSettings applied;
    ApplySettingsPages(read, applied);
    for (const SettingRow& row : kSettingRows) {
        EXPECT_EQ(SameValue(row, applied, saved), !std::holds_alternative<std::monostate>(row.page))
            << row.key;
    }
}

}  // namespace
}  // namespace velmo
