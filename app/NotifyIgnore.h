// The sources whose "Unrecognized access" entries raise neither the warning
// icon nor a balloon (通知しない送信元, kept as NotifyIgnore): a provider's
// own monitor that knocks every hour is the usual case. The entries are
// written to the log file as always; only the window's reaction is left out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "routerlog/CaptureResult.h"

namespace velmo {

// The addresses in the key's text, separated by blanks or commas. A word that
// is not an IPv4 or IPv6 address is passed over, whatever its bytes: the
// text itself stays as the user wrote it.
std::vector<std::string> IgnoredSources(std::string_view text);

// The source address of an access entry as the log writes it
// ("... Unrecognized access from 203.0.113.7:4312 to port 23"), without its
// port; empty when the entry names none.
std::string AccessSource(std::string_view entry);

// The capture as the window sees it: the access entries from `ignored`
// sources taken out of its count, its newest entry and its warning.
CaptureResult WithoutIgnoredAccess(CaptureResult result, const std::vector<std::string>& ignored);

}  // namespace velmo
