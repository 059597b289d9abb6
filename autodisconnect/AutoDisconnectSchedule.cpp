#include "autodisconnect/AutoDisconnectSchedule.h"

#include <algorithm>

namespace velmo {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

}  // namespace

ScheduleDecision PlanAutoDisconnect(const ScheduleCheck& check) {
    const DateTime& now = check.now;
    ScheduleDecision decision;
    DateTime moment = check.moment;
    if (check.daily) {
        moment = moment.OnDateOf(check.lastCheck);
        if (moment < check.lastCheck) {
            moment = moment.OnDateOf(now);
        }
    }
    decision.dueMoment = moment;
    decision.hangUp = check.lastCheck < moment && moment <= now;
    if (check.daily && moment <= now) {
        moment = moment.OnDateOf(now.PlusSeconds(kSecondsPerDay));
    }
    decision.nextMoment = moment;
    const std::int64_t seconds = moment.SecondsSince(now);
    decision.switchOff = moment < now || seconds <= 0;
    if (!decision.switchOff) {
        decision.delayMs = static_cast<std::uint32_t>(std::min(seconds, kLongestCheckSeconds) * 1000);
    }
    return decision;
}

}  // namespace velmo
