// The priority of the calling thread. Router workers spend their time waiting
// on the network and should never take the processor from the window, so they
// run below normal priority where the platform offers that (Windows); on
// POSIX the worker keeps the default scheduling.
#pragma once

namespace velmo {

// Lowers the calling thread to below-normal priority. A failure leaves the
// thread at its priority, which costs only responsiveness, so nothing is
// reported.
void LowerCurrentThreadPriority();

}  // namespace velmo
