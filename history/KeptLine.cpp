#include "history/KeptLine.h"

#include <algorithm>

namespace velmo {

bool SameBoot(std::uint64_t tick, std::uint64_t boot, std::uint64_t thenTick, std::uint64_t thenBoot) {
    return tick >= thenTick && (boot == 0 || thenBoot == 0 || boot == thenBoot);
}

std::uint64_t ElapsedMs(std::uint64_t tick, const DateTime& at, std::uint64_t boot, std::uint64_t thenTick,
                        const DateTime& thenAt, std::uint64_t thenBoot) {
    if (SameBoot(tick, boot, thenTick, thenBoot)) {
        return tick - thenTick;
    }
    return static_cast<std::uint64_t>(std::max<std::int64_t>(0, at.SecondsSince(thenAt))) * 1000;
}

}  // namespace velmo
