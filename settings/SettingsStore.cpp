#include "settings/SettingsStore.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "settings/PasswordScramble.h"
#include "settings/ProfileFile.h"

namespace velmo {

namespace {

// The stored keys, in the order they are read and written. "Rutor" is the
// key's spelling in every settings file.
constexpr const char* kRutorAddress = "RutorAddress";
constexpr const char* kRootPasswd = "RootPasswd";
constexpr const char* kInitMinimize = "InitMinimize";
constexpr const char* kUpdateStatusConnect = "UpdateStatusConnect";
constexpr const char* kUpdateStatusConnectTime = "UpdateStatusConnectTime";
constexpr const char* kUpdateStatusDisconnect = "UpdateStatusDisconnect";
constexpr const char* kUpdateStatusDisconnectTime = "UpdateStatusDisconnectTime";
constexpr const char* kUpdateLog = "UpdateLog";
constexpr const char* kUpdateLogTime = "UpdateLogTime";
constexpr const char* kUpdateLogFileName = "UpdateLogFileName";
constexpr const char* kUpdateLogRecordLogIn = "UpdateLogRecordLogIn";
constexpr const char* kUpdateLogRecordLogOut = "UpdateLogRecordLogOut";
constexpr const char* kUpdateLogRecordSubInfo = "UpdateLogRecordSubInfo";
constexpr const char* kAutoDisconnect = "AutoDisconnect";
constexpr const char* kAutoDisconnectSelectDay = "AutoDisconnectSelectDay";
constexpr const char* kAutoDisconnectTime = "AutoDisconnectTime";
constexpr const char* kAutoDisconnectDlg = "AutoDisconnectDlg";
// Added after the first seventeen: a file without them loads with both on,
// and an older version reading a newer file simply passes over them.
constexpr const char* kNotifyAccess = "NotifyAccess";
constexpr const char* kNotifyLine = "NotifyLine";
// The sources whose access entries give no warning, and the end of a mute
// from the tray menu (empty: none).
constexpr const char* kNotifyIgnore = "NotifyIgnore";
constexpr const char* kNotifyMuteUntil = "NotifyMuteUntil";
// Redialling after a drop; a file without it loads with it off.
constexpr const char* kAutoRedial = "AutoRedial";

// The derived timing values (ms), never stored.
constexpr std::int32_t kFollowUpTime = 120000;
constexpr std::int32_t kFollowUpPollTimeWithoutPolling = 10000;
constexpr std::int32_t kAccessWarningTime = 10000;

// The scrambled text of a password longer than 167 bytes exceeds the usual
// 1022-byte value limit and would be cut, losing the password; this limit
// holds the scrambled text of a password of up to 174760 bytes.
constexpr std::size_t kPasswordValueLimit = 1024 * 1024;
// The ignore list is kept as written, however long: its text is read whole.
constexpr std::size_t kIgnoreValueLimit = 1024 * 1024;

bool IsSpace(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// atoi's reading: optional leading white space, an optional sign, decimal
// digits up to the first other character; no digits gives 0. A number beyond
// the 32-bit range saturates instead of overflowing.
std::int32_t ParseInteger(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude >= limit) {
            magnitude = limit;  // later digits can only make it larger
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

// The values of section "Setting", with the default text a missing key reads as.
class StoredValues {
  public:
    explicit StoredValues(ProfileFile profile) : profile_(std::move(profile)) {}

    std::string Text(const char* key, const char* defaultText,
                     std::size_t maxBytes = kProfileValueLimit) const {
        return profile_.GetString(kSettingsSection, key, defaultText, maxBytes);
    }
    std::int32_t Integer(const char* key, const char* defaultText) const {
        return ParseInteger(Text(key, defaultText));
    }
    bool Flag(const char* key, const char* defaultText) const { return Integer(key, defaultText) != 0; }

  private:
    ProfileFile profile_;
};

std::string FlagText(bool flag) {
    return flag ? "1" : "0";
}

}  // namespace

const std::array<const char*, kSettingsKeyCount>& SettingsKeys() {
    static constexpr std::array<const char*, kSettingsKeyCount> keys = {kRutorAddress,
                                                                        kRootPasswd,
                                                                        kInitMinimize,
                                                                        kUpdateStatusConnect,
                                                                        kUpdateStatusConnectTime,
                                                                        kUpdateStatusDisconnect,
                                                                        kUpdateStatusDisconnectTime,
                                                                        kUpdateLog,
                                                                        kUpdateLogTime,
                                                                        kUpdateLogFileName,
                                                                        kUpdateLogRecordLogIn,
                                                                        kUpdateLogRecordLogOut,
                                                                        kUpdateLogRecordSubInfo,
                                                                        kAutoDisconnect,
                                                                        kAutoDisconnectSelectDay,
                                                                        kAutoDisconnectTime,
                                                                        kAutoDisconnectDlg,
                                                                        kNotifyAccess,
                                                                        kNotifyLine,
                                                                        kNotifyIgnore,
                                                                        kAutoRedial,
                                                                        kNotifyMuteUntil};
    return keys;
}

void LoadSettings(ToolSettings& settings, const std::string& path, Clock& clock) {
    const StoredValues stored(ReadProfileFile(path));
    ToolSettings& s = settings;
    s.RutorAddress = stored.Text(kRutorAddress, kFactoryRouterAddress);
    // A text that does not decode, or none, gives the empty password.
    s.RootPasswd = DecodePassword(stored.Text(kRootPasswd, "", kPasswordValueLimit));
    s.InitMinimize = stored.Flag(kInitMinimize, "1");
    s.UpdateStatusConnect = stored.Flag(kUpdateStatusConnect, "1");
    // A time below 1 switches its feature off; the time stays as read.
    s.UpdateStatusConnectTime = stored.Integer(kUpdateStatusConnectTime, "3000");
    if (s.UpdateStatusConnectTime < 1) {
        s.UpdateStatusConnect = false;
    }
    s.followUpPollTime = s.UpdateStatusConnect ? s.UpdateStatusConnectTime : kFollowUpPollTimeWithoutPolling;
    s.UpdateStatusDisconnect = stored.Flag(kUpdateStatusDisconnect, "1");
    s.UpdateStatusDisconnectTime = stored.Integer(kUpdateStatusDisconnectTime, "10000");
    if (s.UpdateStatusDisconnectTime < 1) {
        s.UpdateStatusDisconnect = false;
    }
    // Fixed timings, never stored.
    s.followUpTime = kFollowUpTime;
    s.accessWarningTime = kAccessWarningTime;
    s.UpdateLog = stored.Flag(kUpdateLog, "0");
    s.UpdateLogTime = stored.Integer(kUpdateLogTime, "600000");
    if (s.UpdateLogTime < 1) {
        s.UpdateLog = false;
    }
    s.UpdateLogFileName = stored.Text(kUpdateLogFileName, "syslog.txt");
    s.UpdateLogRecordLogIn = stored.Flag(kUpdateLogRecordLogIn, "1");
    s.UpdateLogRecordLogOut = stored.Flag(kUpdateLogRecordLogOut, "1");
    s.UpdateLogRecordSubInfo = stored.Flag(kUpdateLogRecordSubInfo, "1");
    s.AutoDisconnect = stored.Flag(kAutoDisconnect, "0");
    s.AutoDisconnectSelectDay = stored.Flag(kAutoDisconnectSelectDay, "1");
    // A missing or unreadable moment (the empty default never parses)
    // switches auto-disconnect off and takes the present moment.
    const auto time = DateTime::Parse(stored.Text(kAutoDisconnectTime, ""));
    if (time && time->IsValid()) {
        s.AutoDisconnectTime = *time;
    } else {
        s.AutoDisconnect = false;
        s.AutoDisconnectTime = clock.Now();
    }
    s.AutoDisconnectDlg = stored.Flag(kAutoDisconnectDlg, "0");
    s.NotifyAccess = stored.Flag(kNotifyAccess, "1");
    s.NotifyLine = stored.Flag(kNotifyLine, "1");
    s.NotifyIgnore = stored.Text(kNotifyIgnore, "", kIgnoreValueLimit);
    s.AutoRedial = stored.Flag(kAutoRedial, "0");
    // A moment that does not read is no mute; one that has passed ends at the first look.
    const auto muteUntil = DateTime::Parse(stored.Text(kNotifyMuteUntil, ""));
    s.NotifyMuteUntil = muteUntil && muteUntil->IsValid() ? *muteUntil : DateTime::Invalid();
}

bool SaveSettings(const ToolSettings& settings, const std::string& path, std::string* reason) {
    // All the keys go into the file's current content, which is then
    // written in one piece, so every other section and line stays and a
    // failed write leaves the old file whole.
    ProfileFile profile = ReadProfileFile(path);
    const auto set = [&profile](const char* key, const std::string& value) {
        // Section and key names are fixed writable names: Set cannot refuse them.
        profile.Set(kSettingsSection, key, value);
    };
    const ToolSettings& s = settings;
    set(kRutorAddress, s.RutorAddress);
    // The key is written even for an empty password, with an empty value.
    set(kRootPasswd, s.RootPasswd.empty() ? std::string() : EncodePassword(s.RootPasswd));
    set(kInitMinimize, FlagText(s.InitMinimize));
    set(kUpdateStatusConnect, FlagText(s.UpdateStatusConnect));
    set(kUpdateStatusConnectTime, std::to_string(s.UpdateStatusConnectTime));
    set(kUpdateStatusDisconnect, FlagText(s.UpdateStatusDisconnect));
    set(kUpdateStatusDisconnectTime, std::to_string(s.UpdateStatusDisconnectTime));
    set(kUpdateLog, FlagText(s.UpdateLog));
    set(kUpdateLogTime, std::to_string(s.UpdateLogTime));
    set(kUpdateLogFileName, s.UpdateLogFileName);
    set(kUpdateLogRecordLogIn, FlagText(s.UpdateLogRecordLogIn));
    set(kUpdateLogRecordLogOut, FlagText(s.UpdateLogRecordLogOut));
    set(kUpdateLogRecordSubInfo, FlagText(s.UpdateLogRecordSubInfo));
    set(kAutoDisconnect, FlagText(s.AutoDisconnect));
    set(kAutoDisconnectSelectDay, FlagText(s.AutoDisconnectSelectDay));
    set(kAutoDisconnectTime, s.AutoDisconnectTime.Format(kDateTimeFormat));
    set(kAutoDisconnectDlg, FlagText(s.AutoDisconnectDlg));
    set(kNotifyAccess, FlagText(s.NotifyAccess));
    set(kNotifyLine, FlagText(s.NotifyLine));
    set(kNotifyIgnore, s.NotifyIgnore);
    set(kAutoRedial, FlagText(s.AutoRedial));
    set(kNotifyMuteUntil, s.NotifyMuteUntil.Format(kDateTimeFormat));
    return WriteProfileFile(path, profile, reason);
}

}  // namespace velmo
