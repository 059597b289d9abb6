// Redialling after a drop (AutoRedial): when to send the dial command again
// and when to give up. Pure rules over the tick count (milliseconds, which
// runs on while the computer sleeps and wraps after 49 days); the window
// sends the command, arms the timer and shows what the rules report.
#pragma once

#include <array>
#include <cstdint>

namespace velmo {

// The waits before each try: 30 s after the drop, then 1, 2, 4 and 8
// minutes after the try before, while the line stays down.
inline constexpr std::array<std::uint32_t, 5> kRedialWaitsMs = {30000, 60000, 120000, 240000, 480000};

// After the tool's own hang-up (the user's 切断 or the automatic one) a drop
// is not redialled for this long: the user wanted the line down.
inline constexpr std::uint32_t kRedialHoldMs = 10 * 60 * 1000;

struct RedialState {
    bool running = false;   // a drop is being redialled
    int tries = 0;          // dial commands sent for it
    std::uint32_t due = 0;  // tick of the next try, or after the last one of the verdict
    bool held = false;      // a hang-up of the tool's holds redials until heldUntil
    std::uint32_t heldUntil = 0;

    friend bool operator==(const RedialState&, const RedialState&) = default;
};

// What is due at a tick.
enum class RedialStep {
    None,    // nothing yet
    Dial,    // send the dial command (one try)
    GiveUp,  // the last try's wait ended with the line still down
};

// The line went down by itself at `tick` (no command of the tool's): the
// first try is due 30 s later, unless a hang-up of the tool's still holds.
void NoteDrop(RedialState& state, std::uint32_t tick);

// The line is up. True when that ends a redial that sent a try: the redial
// worked ("回線を再接続しました").
bool NoteLineUp(RedialState& state);

// The user pressed 接続 or 切断: the redial stops.
void NoteUserCommand(RedialState& state);

// The user's 切断 or the automatic hang-up at `tick`: the redial stops, and
// drops are not redialled for kRedialHoldMs.
void NoteHangUp(RedialState& state, std::uint32_t tick);

// What is due at `tick`; a try or the verdict moves the schedule on. After the
// last try the verdict comes `verdictMs` later (the follow-up window in
// which the tool watches a command's line).
RedialStep NextRedialStep(RedialState& state, std::uint32_t tick, std::uint32_t verdictMs);

// Milliseconds from `tick` until the next step is due (0 when it is due
// now); 0 too when no redial runs.
std::uint32_t RedialWaitMs(const RedialState& state, std::uint32_t tick);

}  // namespace velmo
