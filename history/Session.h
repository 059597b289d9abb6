// A line session: the span the WAN line was up, as the record keeps it.
#pragma once

#include "base/DateTime.h"
#include "history/LineChange.h"

namespace velmo {

// One ended session, a row of the record.
struct Session {
    DateTime start;
    DateTime end;
    EndCause cause = EndCause::Unseen;

    friend bool operator==(const Session&, const Session&) = default;
};

// The session going on: when it began and the last moment a reading saw it up.
struct OpenSession {
    DateTime start;
    DateTime lastSeenUp;

    friend bool operator==(const OpenSession&, const OpenSession&) = default;
};

// `open` ended at its last moment seen up for `cause`. An end before the
// start (the clock was set back) gives no negative span: the start is moved
// to the end and the cause is unseen.
Session EndSession(const OpenSession& open, EndCause cause);

}  // namespace velmo
