// The WAN line of the simulated router: down, dialing, up, hanging up.
// Dialing and hanging up take a configurable time, passed lazily: the phase
// is worked out from the clock whenever it is asked for.
#pragma once

#include <chrono>

namespace velmo {

class SimulatedLine {
  public:
    using Clock = std::chrono::steady_clock;
    enum class Phase { Down, Dialing, Up, Hanging };

    SimulatedLine(bool connected, Clock::time_point now);

    // Dials up (unless already up or dialing); the line is up after `delay`.
    void Dial(Clock::time_point now, Clock::duration delay);
    // Hangs up (unless already down or hanging); the line is down after `delay`.
    void HangUp(Clock::time_point now, Clock::duration delay);
    // Switches the line at once.
    void Set(bool connected, Clock::time_point now);

    Phase PhaseAt(Clock::time_point now);
    // How long the line has been up (zero unless up or hanging up).
    std::chrono::seconds UpFor(Clock::time_point now);

  private:
    void Advance(Clock::time_point now);

    Phase phase_;
    Clock::time_point changeAt_{};  // end of dialing or hanging up
    Clock::time_point upSince_{};
};

}  // namespace velmo
