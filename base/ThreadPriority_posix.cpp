// POSIX: a nice value is per process on some systems and needs privileges to
// be raised again, so the worker is left at the default scheduling.
#include "base/ThreadPriority.h"

namespace velmo {

void LowerCurrentThreadPriority() {}

}  // namespace velmo
