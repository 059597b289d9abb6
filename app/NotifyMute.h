// Muting the balloons from the tray menu (通知を止める): until when, and the
// tooltip's note while they are muted. The end is a moment of the local
// clock kept in the settings file (NotifyMuteUntil), so a mute outlives a
// restart and ends by itself; an invalid moment means not muted.
#pragma once

#include <cstdint>
#include <string>

#include "base/DateTime.h"

namespace velmo {

enum class MuteChoice { OneHour, FourHours, UntilMorning, Resume };

// The hour "明日の朝" means.
inline constexpr int kMorningHour = 8;

// When a mute chosen at `now` ends; invalid for Resume. "Until tomorrow
// morning" is 08:00 of the next day, except in the small hours (before
// 04:00), when the night has not ended yet and it is 08:00 of the same day.
DateTime MuteEnd(MuteChoice choice, const DateTime& now);

// The menu command's choice; false for any other command.
bool MuteChoiceOf(int commandId, MuteChoice& choice);

// True while a mute ending at `until` holds at `now`.
bool Muted(const DateTime& until, const DateTime& now);

// "（通知停止中 08:00 まで）" while muted, else the empty text (CP932).
std::string MuteNote(const DateTime& until, const DateTime& now);

// Milliseconds from `now` to the end of the mute, at most `limit` (a timer's
// interval); 0 when it is not muted.
std::uint32_t MillisecondsToMuteEnd(const DateTime& until, const DateTime& now, std::uint32_t limit);

}  // namespace velmo
