#include "settings/SettingsTable.h"

namespace velmo {

namespace {

// The derived timings (ms).
constexpr std::int32_t kFollowUpTime = 120000;
constexpr std::int32_t kFollowUpPollTimeWithoutPolling = 10000;
constexpr std::int32_t kAccessWarningTime = 10000;

}  // namespace

void DeriveFromStoredValues(ToolSettings& settings) {
    for (const SettingRow& row : kSettingRows) {
        const auto* time = std::get_if<std::int32_t ToolSettings::*>(&row.member);
        if (time != nullptr && row.feature != nullptr && settings.**time < 1) {
            settings.*row.feature = false;
        }
    }
    settings.followUpTime = kFollowUpTime;
    settings.followUpPollTime =
        settings.UpdateStatusConnect ? settings.UpdateStatusConnectTime : kFollowUpPollTimeWithoutPolling;
    settings.accessWarningTime = kAccessWarningTime;
}

}  // namespace velmo
