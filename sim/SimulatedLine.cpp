#include "sim/SimulatedLine.h"

namespace velmo {

SimulatedLine::SimulatedLine(bool connected, Clock::time_point now)
    : phase_(connected ? Phase::Up : Phase::Down), upSince_(now) {}

void SimulatedLine::Advance(Clock::time_point now) {
    if (phase_ == Phase::Dialing && now >= changeAt_) {
        phase_ = Phase::Up;
        upSince_ = changeAt_;
    } else if (phase_ == Phase::Hanging && now >= changeAt_) {
        phase_ = Phase::Down;
    }
}

void SimulatedLine::Dial(Clock::time_point now, Clock::duration delay) {
    Advance(now);
    if (phase_ == Phase::Down || phase_ == Phase::Hanging) {
        phase_ = Phase::Dialing;
        changeAt_ = now + delay;
        Advance(now);
    }
}

void SimulatedLine::HangUp(Clock::time_point now, Clock::duration delay) {
    Advance(now);
    if (phase_ == Phase::Up || phase_ == Phase::Dialing) {
        if (phase_ == Phase::Dialing) {
            upSince_ = now;  // never really up
        }
        phase_ = Phase::Hanging;
        changeAt_ = now + delay;
        Advance(now);
    }
}

void SimulatedLine::Set(bool connected, Clock::time_point now) {
    phase_ = connected ? Phase::Up : Phase::Down;
    upSince_ = now;
}

SimulatedLine::Phase SimulatedLine::PhaseAt(Clock::time_point now) {
    Advance(now);
    return phase_;
}

std::chrono::seconds SimulatedLine::UpFor(Clock::time_point now) {
    Advance(now);
    if (phase_ != Phase::Up && phase_ != Phase::Hanging) {
        return std::chrono::seconds(0);
    }
    return std::chrono::duration_cast<std::chrono::seconds>(now - upSince_);
}

}  // namespace velmo
