#include "routerlog/LogEntry.h"

#include "base/SjisText.h"
#include "routerlog/LogStamp.h"

namespace velmo {

namespace {

constexpr std::string_view kLoginWord = "login";
constexpr std::string_view kLogoutWord = "logged out";

}  // namespace

bool IsLeftOut(const LogEntry& entry, const LogFilters& filters) {
    if (entry.subInfo && !filters.recordSubInfo) {
        return true;
    }
    if (!filters.recordLogin && SjisContains(entry.text, kLoginWord)) {
        return true;
    }
    return !filters.recordLogout && SjisContains(entry.text, kLogoutWord);
}

bool MayBeLeftOut(const LogEntry& entry) {
    return IsLeftOut(entry, LogFilters{});
}

std::string EntryLine(const LogEntry& entry) {
    const std::string stamp = entry.stamp ? FormatLogStamp(entry.stamp->Calendar()) : LogStampBlanks();
    return stamp + entry.text;
}

}  // namespace velmo
