// Windows: the thread's own priority, one step below normal.
#include <windows.h>

#include "base/ThreadPriority.h"

namespace velmo {

void LowerCurrentThreadPriority() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

}  // namespace velmo
