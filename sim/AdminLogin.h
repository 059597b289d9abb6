// How the simulated router reads a login request and its own control URLs.
#pragma once

#include <string>
#include <string_view>

#include "sim/SimulatorOptions.h"

namespace velmo {

// Undoes "%XX" (either case of hex digits); a "%" without two hex digits stays.
std::string PercentDecode(std::string_view text);

// application/x-www-form-urlencoded: "+" is a blank, then as PercentDecode.
std::string FormDecode(std::string_view text);

// True when the query of "cgi-bin/logi?QUERY" carries the password under the
// password input's name and every hidden field with its value. Pairs are
// split at "&" and "=" before they are decoded, so an encoded "&" or "=" in
// the password stays part of it. The first pair of a name counts.
bool LoginAccepted(std::string_view query, const RouterSimulatorOptions& options);

}  // namespace velmo
