#include "history/Session.h"

namespace velmo {

Session EndSession(const OpenSession& open, EndCause cause) {
    if (open.lastSeenUp < open.start) {
        return {open.lastSeenUp, open.lastSeenUp, EndCause::Unseen};
    }
    return {open.start, open.lastSeenUp, cause};
}

}  // namespace velmo
