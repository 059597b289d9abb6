// What the tool keeps of the line between its runs, beside the record: the
// open session, the moment and tick of the last reading, and the tool's own
// last line command, written down before it was sent.
#pragma once

#include <cstdint>
#include <optional>

#include "base/DateTime.h"
#include "history/LineChange.h"
#include "history/Session.h"

namespace velmo {

// A line command of the tool (接続, 切断, the automatic hang-up, a redial try).
struct SentCommand {
    LineCommand command = LineCommand::None;
    DateTime at;              // the local time it was written down
    std::uint64_t tick = 0;   // the tick then
    std::uint64_t boot = 0;   // the computer's start the tick counts from (0: unknown)
    bool ownsChange = false;  // no reading has shown the change it asked for yet
    bool sent = false;        // its job came back having sent it (until then it may never have gone)

    friend bool operator==(const SentCommand&, const SentCommand&) = default;
};

struct KeptLine {
    std::optional<OpenSession> open;
    std::optional<DateTime> lastAt;  // the local time and tick at fetch of the last reading
    std::uint64_t lastTick = 0;
    std::uint64_t lastBoot = 0;  // the computer's start that tick counts from (0: unknown)
    SentCommand command;

    friend bool operator==(const KeptLine&, const KeptLine&) = default;
};

// Two ticks count from one start of the computer: the same boot, or one
// of them unknown and the tick has not gone back.
bool SameBoot(std::uint64_t tick, std::uint64_t boot, std::uint64_t thenTick, std::uint64_t thenBoot);

// Milliseconds from `thenTick` to `tick`; by the local times when the
// computer was started again since.
std::uint64_t ElapsedMs(std::uint64_t tick, const DateTime& at, std::uint64_t boot, std::uint64_t thenTick,
                        const DateTime& thenAt, std::uint64_t thenBoot);

}  // namespace velmo
