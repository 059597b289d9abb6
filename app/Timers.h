// Ids of the main window's timers.
#pragma once

namespace velmo {

inline constexpr int kTimerRefresh = 1;           // full refresh
inline constexpr int kTimerStatusPoll = 2;        // status poll
inline constexpr int kTimerFollowUpEnd = 3;       // end of the follow-up window
inline constexpr int kTimerLogCapture = 4;        // log capture
inline constexpr int kTimerAccessWarningEnd = 5;  // end of the access warning
inline constexpr int kTimerAutoDisconnect = 6;    // auto-disconnect check
inline constexpr int kTimerMuteEnd = 7;           // end of a mute from the tray menu
inline constexpr int kTimerRedial = 8;            // the next try of a redial after a drop

// After the computer wakes up, readings that fail for this long are the
// network coming back, not the router's silence nor the line's news.
inline constexpr std::uint64_t kResumeQuietMs = 30000;

inline constexpr int kAllTimers[] = {
    kTimerRefresh,          kTimerStatusPoll,     kTimerFollowUpEnd, kTimerLogCapture,
    kTimerAccessWarningEnd, kTimerAutoDisconnect, kTimerMuteEnd,     kTimerRedial};

}  // namespace velmo
