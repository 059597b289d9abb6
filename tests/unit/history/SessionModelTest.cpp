// The record's rules against a simulated line: drops, the user's and the
// automatic hang-ups, router silences, the tool stopped and started, the
// computer asleep, the local clock moved and running times that cannot be
// read, each followed by a reading. After every reading the rows equal the
// sessions the simulation knows have ended, within the poll interval.
#include <gtest/gtest.h>

#include <random>

#include "base/CodePage.h"
#include "history/RunningTime.h"
#include "history/SessionRules.h"

namespace velmo {
namespace {

constexpr std::int64_t kPoll = 3;
const SessionLimits kLimits{kPoll + 5, kPoll + 2};

struct TrueSession {
    DateTime start, end;  // world time
    bool ended = false, seen = false, known = false;
    EndCause cause = EndCause::Drop;
};

class LineModel {
  public:
    explicit LineModel(unsigned seed) : random_(seed) {}

    void Step() {
        const int action = Pick(20);
        if (action == 0 && up_) {
            EndLine(EndCause::Drop);
        } else if ((action == 1 || action == 2) && up_ && running_ && !silent_) {
            EndLine(action == 1 ? EndCause::User : EndCause::Auto);
            command_ = action == 1 ? LineCommand::Disconnect : LineCommand::AutoDisconnect;
        } else if (action == 3 && !up_ && command_ == LineCommand::None && (readable_ || Watching())) {
            up_ = true;
            sessions_.push_back({world_, world_});
        } else if (action == 4) {
            silent_ = !silent_;
        } else if (action == 5 && running_) {
            running_ = false;
            kept_ = state_.open;  // what the kept file holds at this moment
        } else if (action == 6 && !running_) {
            running_ = true;
            state_ = ResumeSessions(kept_);
        } else if (action == 7) {
            Pass(600 + Pick(200000), true);  // asleep: no readings, the tick count runs on
            watched_ = false;
        } else if (action == 8 && running_) {
            offset_ += Pick(2) ? 3600 : -3600;  // the local clock moved, the tick count did not
        } else if (action == 9 && running_ && Watching()) {
            readable_ = !readable_;
        }
        Pass(kPoll, true);
        Read();
    }

    void Check(unsigned seed) const {
        std::vector<const TrueSession*> expected;
        for (const TrueSession& session : sessions_) {
            if (session.known) {
                expected.push_back(&session);
            }
        }
        ASSERT_EQ(rows_.size(), expected.size()) << "seed " << seed;
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            const Session& row = rows_[i];
            const TrueSession& real = *expected[i];
            EXPECT_EQ(row.cause, real.cause) << "seed " << seed << " row " << i;
            EXPECT_LE(real.start.SecondsSince(row.start), kLimits.startToleranceSeconds) << "seed " << seed;
            EXPECT_LE(row.start, row.end) << "seed " << seed;
            EXPECT_LE(row.end.SecondsSince(real.end), 2) << "seed " << seed;
            if (row.cause != EndCause::Unseen) {
                EXPECT_LE(real.end.SecondsSince(row.end), kPoll + 2) << "seed " << seed << " row " << i;
            }
        }
    }

  private:
    int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    bool Watching() const { return running_ && !silent_; }

    void Pass(std::int64_t seconds, bool tick) {
        world_ = world_.PlusSeconds(seconds);
        tick_ += tick ? static_cast<std::uint32_t>(seconds * 1000) : 0;
    }

    void EndLine(EndCause cause) {
        up_ = false;
        sessions_.back().end = world_;
        sessions_.back().ended = true;
        sessions_.back().cause = cause;
        dropWatched_ = watched_ && Watching();
    }

    std::string RunningText(std::int64_t seconds) {
        if (!readable_) {
            return Utf8ToSjis("接続中");
        }
        if (seconds >= 86400 && Pick(2)) {
            return std::to_string(seconds / 86400) + Utf8ToSjis("日 ") + RunningTimeText(seconds % 86400);
        }
        return RunningTimeText(seconds);
    }

    // What the tool knows once it reads the line again: a session that ended
    // and had been seen up is a row; a drop it did not watch is unseen.
    void Learn() {
        for (TrueSession& session : sessions_) {
            if (session.ended && session.seen && !session.known) {
                session.known = true;
                if (session.cause == EndCause::Drop && !dropWatched_) {
                    session.cause = EndCause::Unseen;
                }
            }
        }
    }

    void Read() {
        if (!running_) {
            watched_ = false;
            return;
        }
        const DateTime local = world_.PlusSeconds(offset_);
        const std::int64_t running = up_ ? world_.SecondsSince(sessions_.back().start) : 0;
        const SessionReading reading{local, tick_, !silent_, up_, up_ ? RunningText(running) : "--:--:--"};
        const SessionEvents events = NoteReading(state_, reading, command_, kLimits);
        for (Session row : events.ended) {
            rows_.push_back({row.start.PlusSeconds(-offset_), row.end.PlusSeconds(-offset_), row.cause});
        }
        watched_ = !silent_;
        if (!silent_) {
            command_ = LineCommand::None;  // the tool has seen the hang-up it asked for
            Learn();
            if (up_) {
                sessions_.back().seen = true;
            }
        }
        dropWatched_ = dropWatched_ && !silent_;
    }

    std::mt19937 random_;
    DateTime world_ = DateTime::FromParts(2026, 12, 1, 9, 0, 0);
    std::int64_t offset_ = 0;
    std::uint32_t tick_ = 4000000000u;  // wraps during the run
    bool up_ = false, running_ = true, silent_ = false, readable_ = true;
    bool watched_ = false, dropWatched_ = false;
    LineCommand command_ = LineCommand::None;  // a hang-up the tool has not yet seen done
    std::vector<TrueSession> sessions_;
    SessionState state_;
    std::optional<OpenSession> kept_;
    std::vector<Session> rows_;  // in world time
};

TEST(SessionModel, RowsAreTheSessionsTheLineHadWithinThePollInterval) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        LineModel model(seed);
        for (int step = 0; step < 400; ++step) {
            model.Step();
            model.Check(seed);
            if (::testing::Test::HasFailure()) {
                return;
            }
        }
    }
}

}  // namespace
}  // namespace velmo
