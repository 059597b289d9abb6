// The persisted settings record. Fields bear the names of their keys in the
// settings file (SettingsTable.h); three derived timing values lie among them
// and are never stored.
#pragma once

#include <cstdint>
#include <string>

#include "base/DateTime.h"

namespace velmo {

// The router's factory LAN address, used when the file names none.
inline constexpr const char* kFactoryRouterAddress = "192.168.0.1";

struct ToolSettings {
    std::string RutorAddress;  // host, or host:port
    std::string RootPasswd;    // in clear here; scrambled in the file
    bool InitMinimize = true;
    bool UpdateStatusDisconnect = true;
    std::int32_t UpdateStatusDisconnectTime = 10000;  // ms
    bool UpdateStatusConnect = true;
    std::int32_t UpdateStatusConnectTime = 3000;  // ms
    std::int32_t followUpTime = 120000;           // derived: length of the follow-up window
    std::int32_t followUpPollTime = 3000;         // derived: poll interval during the follow-up window
    std::int32_t accessWarningTime = 10000;       // derived: how long the warning icon stays
    bool UpdateLog = false;
    std::int32_t UpdateLogTime = 600000;  // ms
    std::string UpdateLogFileName = "syslog.txt";
    bool UpdateLogRecordLogIn = true;
    bool UpdateLogRecordLogOut = true;
    bool UpdateLogRecordSubInfo = true;
    bool AutoDisconnect = false;
    bool AutoDisconnectSelectDay = true;
    DateTime AutoDisconnectTime;
    bool AutoDisconnectDlg = false;
    bool NotifyAccess = true;  // balloon for new unrecognised access entries
    bool NotifyLine = true;    // balloons when the line drops or comes back
    std::string NotifyIgnore;  // 通知しない送信元: addresses, as the user wrote them
    bool AutoRedial = false;  // 回線が切れたら自動で接続する (off: on a metered line every dial costs)
    DateTime NotifyMuteUntil = DateTime::Invalid();  // balloons muted until then; invalid: not muted
    std::string Language = "auto";                   // "auto" (the Windows display language), "ja" or "en"
};

}  // namespace velmo
