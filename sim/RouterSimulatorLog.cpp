// The administrator login and the system log of the simulated router.
#include "base/CodePage.h"
#include "sim/AdminLogin.h"
#include "sim/LogPageBuilder.h"
#include "sim/LogPages.h"
#include "sim/RouterSimulator.h"

namespace velmo {
namespace {

std::string QueryOf(const std::string& target) {
    const std::size_t question = target.find('?');
    return question == std::string::npos ? std::string() : target.substr(question + 1);
}

}  // namespace

void RouterSimulator::RegisterLogPages() {
    handlers_["menu.htm"] = [this](const std::string&) {
        std::lock_guard lock(mutex_);
        return Response{200, MenuPageBody(options_)};
    };
    // Any method the form declares, the router takes the login as a GET
    // query. A wrong password leaves the state as it was.
    handlers_["cgi-bin/logi"] = [this](const std::string& target) {
        std::lock_guard lock(mutex_);
        const bool accepted = LoginAccepted(QueryOf(target), options_);
        if (accepted) {
            loggedIn_ = true;
        }
        return Response{200, LoginAnswerBody(accepted)};
    };
    handlers_["syslog.htm"] = [this](const std::string&) {
        std::lock_guard lock(mutex_);
        if (!loggedIn_ && !options_.logAlwaysReadable) {
            return Response{200, LoginRequiredPageBody()};
        }
        return Response{200, SystemLogPageBody(log_.PageEntries())};
    };
    handlers_["cgi-bin/logo"] = [this](const std::string&) {
        std::lock_guard lock(mutex_);
        loggedIn_ = false;
        return Response{200, LogoutAnswerBody()};
    };
    // Control for the demo and the e2e tests: "sim/add-log?TEXT" adds a timed
    // entry stamped now; TEXT is percent-encoded UTF-8.
    handlers_["sim/add-log"] = [this](const std::string& target) {
        AddLogEntryNow(Utf8ToSjis(PercentDecode(QueryOf(target))));
        return Response{200, "added\n"};
    };
}

void RouterSimulator::SetPassword(const std::string& password) {
    std::lock_guard lock(mutex_);
    options_.password = password;
}

bool RouterSimulator::IsLoggedIn() const {
    std::lock_guard lock(mutex_);
    return loggedIn_;
}

void RouterSimulator::AddLogEntry(const SimulatedLogEntry& entry) {
    std::lock_guard lock(mutex_);
    log_.Add(entry);
}

void RouterSimulator::AddLogEntryNow(const std::string& text) {
    std::lock_guard lock(mutex_);
    log_.Add(SimulatedLogEntry{false, log_.NowMs(), text});
}

void RouterSimulator::SetLogEntries(std::vector<SimulatedLogEntry> entries) {
    std::lock_guard lock(mutex_);
    log_.Set(std::move(entries));
}

std::vector<SimulatedLogEntry> RouterSimulator::LogEntries() const {
    std::lock_guard lock(mutex_);
    return log_.Entries();
}

void RouterSimulator::SetLogClock(SimulatedLog::WallClock clock) {
    std::lock_guard lock(mutex_);
    log_.SetClock(std::move(clock));
}

std::int64_t RouterSimulator::LogClockMs() const {
    std::lock_guard lock(mutex_);
    return log_.NowMs();
}

}  // namespace velmo
