#include "sim/SimulatedLog.h"

#include <chrono>
#include <iterator>
#include <optional>

#include "base/CodePage.h"

namespace velmo {
namespace {

constexpr std::int64_t kMsPerSecond = 1000;

// Whole seconds, rounded towards the past also before the scale's zero.
std::int64_t WholeSeconds(std::int64_t ms) {
    return ms >= 0 ? ms / kMsPerSecond : -((-ms + kMsPerSecond - 1) / kMsPerSecond);
}

struct SampleText {
    bool subInfo;
    const char* utf8;
};

// Addresses in these texts come from the documentation ranges only.
constexpr SampleText kSamples[] = {
    {false, "PPP up (IP address 198.51.100.23)"},
    {true, "  DNS server 192.0.2.53"},
    {false, "Administrator login from 192.0.2.10"},
    {false, "Unrecognized access from 203.0.113.7:4312 to port 23"},
    {false, "Administrator logged out"},
    {false, "ダイヤルアップ接続を切断しました"},
    {true, "  切断理由: 無通信タイマー"},
    {false, "PPP down (idle timeout)"},
};

}  // namespace

std::int64_t SimulatedLog::SystemMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::vector<LogPageEntry> SimulatedLog::PageEntries() const {
    const std::int64_t nowMs = NowMs();
    std::vector<LogPageEntry> page;
    for (const SimulatedLogEntry& entry : entries_) {
        page.push_back({entry.subInfo ? std::nullopt : std::optional(nowMs - entry.momentMs), entry.text});
    }
    return page;
}

std::vector<SimulatedLogEntry> SampleLogEntries(int count, std::int64_t nowMs) {
    constexpr std::int64_t kSpacingMs = 37 * kMsPerSecond;
    const std::int64_t newest = (WholeSeconds(nowMs) - 60) * kMsPerSecond;
    std::vector<SimulatedLogEntry> entries;
    for (int i = 0; i < count; ++i) {
        const SampleText& sample = kSamples[i % std::size(kSamples)];
        entries.push_back({sample.subInfo, newest - (count - 1 - i) * kSpacingMs, Utf8ToSjis(sample.utf8)});
    }
    return entries;
}

}  // namespace velmo
