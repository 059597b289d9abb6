// A flag one thread raises to make another thread's bounded waits end early.
// The sockets shim checks it in every wait, so a request that is cancelled
// ends within one short slice, as if its time-out had expired.
#pragma once

#include <atomic>
#include <chrono>

namespace velmo {

class CancelToken {
  public:
    void Cancel() { cancelled_.store(true, std::memory_order_release); }
    bool Cancelled() const { return cancelled_.load(std::memory_order_acquire); }

    // The longest a socket wait runs before it looks at the flag again.
    static constexpr std::chrono::milliseconds kSlice{25};

  private:
    std::atomic<bool> cancelled_{false};
};

// For the callers that never cancel.
inline const CancelToken& NeverCancelled() {
    static const CancelToken token;
    return token;
}

}  // namespace velmo
