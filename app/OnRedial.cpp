// The redial after a drop as the main window runs it: the line's owner
// decides (app/LineWatch.h) and its due moment is timer 8's; the window sends
// a try as a line command and shows the verdict's balloon.
#include "app/CRouterStatusDlg.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

void CRouterStatusDlg::Redial() {
    if (!settings.AutoRedial) {
        StopRedial(line_);  // switched off since the drop
        return;
    }
    switch (NextRedialStep(line_, clock_.Tick(), static_cast<std::uint64_t>(settings.followUpTime))) {
        case RedialStep::Try:
            // A try reads the line first and sends nothing when it is up; a
            // dial that fails is one try all the same: the next one follows.
            StartLineCommand(LineCommand::Connect, {}, true);
            break;
        case RedialStep::GiveUp:
            Announce(
                Balloon{BalloonKind::Line, BalloonIcon::Warning, TableString(IDS_BALLOON_REDIAL_FAILED)});
            break;
        case RedialStep::None:
            break;
    }
}

}  // namespace velmo
