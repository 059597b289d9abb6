// The redial after a drop as the main window runs it: the rules decide
// (app/Redial.h); the window notes the line as its status readings show it,
// sends the dial command when a try is due, arms timer 8 and shows the
// outcome's balloon.
#include "app/CRouterStatusDlg.h"
#include "app/Timers.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

namespace {

Balloon RedialBalloon(int textId, BalloonIcon icon) {
    return Balloon{BalloonKind::Line, icon, TableString(textId)};
}

}  // namespace

void CRouterStatusDlg::NoteLineEvents(const SessionEvents& events, bool seenUp) {
    if (seenUp) {
        lineWentDownAt_.reset();
        if (redial_.running) {
            host_.StopTimer(kTimerRedial);
        }
        if (NoteLineUp(redial_)) {
            Announce(RedialBalloon(IDS_BALLOON_REDIALLED, BalloonIcon::Info));
        }
        return;
    }
    if (!events.wentDown) {
        return;
    }
    lineWentDownAt_ = events.wentDown->end;
    // A drop no command of the tool caused, seen or not, is redialled.
    if (IsNews(events.wentDown->cause) && settings.AutoRedial) {
        NoteDrop(redial_, clock_.TickCount());
        if (redial_.running) {
            host_.StartTimer(kTimerRedial, RedialWaitMs(redial_, clock_.TickCount()));
        }
    }
}

void CRouterStatusDlg::Redial() {
    if (!settings.AutoRedial) {
        NoteUserCommand(redial_);  // switched off since the drop
        return;
    }
    const std::uint32_t now = clock_.TickCount();
    switch (NextRedialStep(redial_, now, static_cast<std::uint32_t>(settings.followUpTime))) {
        case RedialStep::Dial:
            // A dial that fails is one try all the same: the next one follows.
            StartLineCommand(true, {});
            break;
        case RedialStep::GiveUp:
            Announce(RedialBalloon(IDS_BALLOON_REDIAL_FAILED, BalloonIcon::Warning));
            return;
        case RedialStep::None:
            break;
    }
    if (redial_.running) {
        host_.StartTimer(kTimerRedial, std::max<std::uint32_t>(1, RedialWaitMs(redial_, now)));
    }
}

}  // namespace velmo
