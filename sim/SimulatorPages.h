// The pages of the simulated router, in CP932, carrying the markers the router
// client looks for.
#pragma once

#include <chrono>
#include <string>

#include "sim/SimulatedLine.h"
#include "sim/SimulatorOptions.h"

namespace velmo {

std::string TopPageBody();
std::string BannerPageBody(const RouterSimulatorOptions& options);
std::string StatusPageBody(const RouterSimulatorOptions& options, SimulatedLine::Phase phase,
                           std::chrono::seconds upFor);
// A small page for error answers ("404 Not Found" ...).
std::string ErrorPageBody(int status);
// The reason phrase of a status code ("OK", "Not Found", ...).
std::string ReasonPhrase(int status);
// "00:01:23": hours, minutes, seconds, at least two digits each.
std::string FormatRunningTime(std::chrono::seconds upFor);

}  // namespace velmo
