#include "app/NotifyMute.h"

#include <algorithm>

#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

namespace {

// Before this hour a night is still on: "tomorrow morning" is this morning.
constexpr int kNightEndsHour = 4;

DateTime Morning(const DateTime& now) {
    const CalendarTime today = now.Calendar();
    DateTime morning = DateTime::FromParts(today.year, today.month, today.day, kMorningHour, 0, 0);
    return today.hour < kNightEndsHour ? morning : morning.PlusSeconds(24 * 3600);
}

}  // namespace

DateTime MuteEnd(MuteChoice choice, const DateTime& now) {
    switch (choice) {
        case MuteChoice::OneHour:
            return now.PlusSeconds(3600);
        case MuteChoice::FourHours:
            return now.PlusSeconds(4 * 3600);
        case MuteChoice::UntilMorning:
            return Morning(now);
        case MuteChoice::Resume:
            break;
    }
    return DateTime::Invalid();
}

bool MuteChoiceOf(int commandId, MuteChoice& choice) {
    switch (commandId) {
        case ID_MENU_MUTE_1H:
            choice = MuteChoice::OneHour;
            return true;
        case ID_MENU_MUTE_4H:
            choice = MuteChoice::FourHours;
            return true;
        case ID_MENU_MUTE_MORNING:
            choice = MuteChoice::UntilMorning;
            return true;
        case ID_MENU_MUTE_RESUME:
            choice = MuteChoice::Resume;
            return true;
        default:
            return false;
    }
}

bool Muted(const DateTime& until, const DateTime& now) {
    return until.IsValid() && now.IsValid() && now < until;
}

std::string MuteNote(const DateTime& until, const DateTime& now) {
    if (!Muted(until, now)) {
        return {};
    }
    return FilledString(IDS_TOOLTIP_MUTED, {until.Format("%H:%M")});
}

std::uint32_t MillisecondsToMuteEnd(const DateTime& until, const DateTime& now, std::uint32_t limit) {
    if (!Muted(until, now)) {
        return 0;
    }
    const std::int64_t seconds = until.SecondsSince(now);
    return static_cast<std::uint32_t>(std::min<std::int64_t>(seconds * 1000, limit));
}

}  // namespace velmo
