#include "app/Redial.h"

namespace velmo {

namespace {

// True when `tick` is at or after `moment`, across the tick count's wrap.
bool Reached(std::uint32_t tick, std::uint32_t moment) {
    return static_cast<std::int32_t>(tick - moment) >= 0;
}

}  // namespace

void NoteDrop(RedialState& state, std::uint32_t tick) {
    if (state.held && !Reached(tick, state.heldUntil)) {
        return;
    }
    state.held = false;
    state.running = true;
    state.tries = 0;
    state.due = tick + kRedialWaitsMs[0];
}

bool NoteLineUp(RedialState& state) {
    const bool redialled = state.running && state.tries > 0;
    state.running = false;
    return redialled;
}

void NoteUserCommand(RedialState& state) {
    state.running = false;
}

void NoteHangUp(RedialState& state, std::uint32_t tick) {
    state.running = false;
    state.held = true;
    state.heldUntil = tick + kRedialHoldMs;
}

RedialStep NextRedialStep(RedialState& state, std::uint32_t tick, std::uint32_t verdictMs) {
    if (!state.running || !Reached(tick, state.due)) {
        return RedialStep::None;
    }
    if (state.tries == static_cast<int>(kRedialWaitsMs.size())) {
        state.running = false;
        return RedialStep::GiveUp;
    }
    ++state.tries;
    const bool last = state.tries == static_cast<int>(kRedialWaitsMs.size());
    state.due = tick + (last ? verdictMs : kRedialWaitsMs[static_cast<std::size_t>(state.tries)]);
    return RedialStep::Dial;
}

std::uint32_t RedialWaitMs(const RedialState& state, std::uint32_t tick) {
    if (!state.running || Reached(tick, state.due)) {
        return 0;
    }
    return state.due - tick;
}

}  // namespace velmo
