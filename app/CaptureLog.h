// One capture as the tool runs it, in the window's job or a windowless
// /capture: the capture itself, then the ログを見る index beside the log
// file brought up to what the capture appended.
#pragma once

#include "base/Clock.h"
#include "router/RouterClient.h"
#include "routerlog/LogCapture.h"

namespace velmo {

CaptureResult CaptureAndIndexLog(const RouterClient& client, const LogCaptureSettings& settings,
                                 Clock& clock);

}  // namespace velmo
