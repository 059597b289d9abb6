#include "history/KeptLine.h"

#include <algorithm>

namespace velmo {

std::uint64_t ElapsedMs(std::uint64_t tick, const DateTime& at, std::uint64_t thenTick,
                        const DateTime& thenAt) {
    if (tick >= thenTick) {
        return tick - thenTick;
    }
    return static_cast<std::uint64_t>(std::max<std::int64_t>(0, at.SecondsSince(thenAt))) * 1000;
}

}  // namespace velmo
