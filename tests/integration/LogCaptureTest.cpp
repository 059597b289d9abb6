// The system log capture against the simulator on 127.0.0.1: direct reading,
// login and logout, failure lines, logout retries and de-duplication.
//
// The tool runs on a FakeClock and the simulator's log clock is tied to it
// (same moment, moved together), so every entry's age is a whole number of
// seconds and its stamp is the same at every capture.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>

#include "base/CodePage.h"
#include "base/FileSystem.h"
#include "router/HttpRequest.h"
#include "router/RouterClient.h"
#include "routerlog/LogCapture.h"
#include "sim/RouterSimulator.h"
#include "tests/support/FakeClock.h"
#include "tests/support/TempDirectory.h"

namespace velmo {
namespace {

using namespace std::chrono_literals;

const std::string kSyslogRequest = "GET /syslog.htm HTTP/1.0";
const std::string kMenuRequest = "GET /menu.htm HTTP/1.0";
const std::string kLogoutRequest = "GET /cgi-bin/logo?RC=@ HTTP/1.0";

// Requests that end within a test's time even against a silent router; the
// simulator's Stop() ends them sooner.
bool ShortRequest(const std::string& host, const std::string& path, std::string& text,
                  const CancelToken& cancel) {
    RequestLimits limits;
    limits.idleTimeout = 2000ms;
    return RequestPage(host, path, text, limits, cancel);
}

// A log file line in CP932 with its CR LF.
std::string FileLine(const std::string& utf8) {
    return Utf8ToSjis(utf8) + "\r\n";
}

class LogCaptureTest : public ::testing::Test {
  protected:
    LogCaptureTest() : client(ShortRequest) {}

    void SetUp() override {
        simMs = clock.Now().ToFileTime() / 10000;
        sim.SetLogClock([this] { return simMs.load(); });
        ASSERT_TRUE(sim.Start());
        client.routerAddress = sim.Address();
        client.rootPassword = "admin";
        settings.fileName = dir.File("syslog.txt");
    }

    // Moves the tool's clock and the router's log clock together.
    void Advance(std::chrono::seconds by) {
        clock.Advance(static_cast<std::uint64_t>(by.count()) * 1000);
        simMs += by.count() * 1000;
    }
    void AddEntry(std::chrono::seconds ago, const std::string& utf8) {
        sim.AddLogEntry({false, simMs - ago.count() * 1000, Utf8ToSjis(utf8)});
    }
    void AddSubInfo(const std::string& utf8) { sim.AddLogEntry({true, 0, Utf8ToSjis(utf8)}); }
    void OpenLog() {
        RouterSimulatorOptions options = sim.Options();
        options.logAlwaysReadable = true;
        sim.SetOptions(options);
    }

    CaptureResult Capture() { return CaptureSystemLog(client, settings, clock); }
    std::string FileBytes(const std::string& name = "syslog.txt") {
        std::string bytes;
        EXPECT_TRUE(ReadFileBytes(dir.File(name), bytes));
        return bytes;
    }

    testing::ScopedCurrentDirectory dir;
    testing::FakeClock clock;  // 2026/12/08 12:00:00
    std::atomic<std::int64_t> simMs{0};
    RouterSimulator sim;
    RouterClient client;  // destroyed first: waits for its workers while the simulator still runs
    LogCaptureSettings settings;
};

TEST_F(LogCaptureTest, OpenLogIsReadWithOneRequestIntoCp932CrLfLines) {
    OpenLog();
    settings.filters.recordSubInfo = true;
    AddEntry(120s, "PPP up (IP address 198.51.100.23)");
    AddSubInfo("  DNS server 192.0.2.53");
    AddEntry(30s, "回線を切断しました");

    const CaptureResult result = Capture();

    EXPECT_TRUE(result.written);
    EXPECT_FALSE(result.accessWarning);
    EXPECT_EQ(sim.RequestLines(), std::vector<std::string>{kSyslogRequest});
    EXPECT_EQ(FileBytes(), FileLine("[2026/12/08 11:58:00]  PPP up (IP address 198.51.100.23)") +
                               FileLine("[2026/12/08 11:58:00]    DNS server 192.0.2.53") +
                               FileLine("[2026/12/08 11:59:30]  回線を切断しました") +
                               FileLine("[2026/12/08 12:00:00]   Last Log Update"));
}

TEST_F(LogCaptureTest, ClosedLogIsReadBetweenLoginAndLogout) {
    const std::string password = Utf8ToSjis("pa ss&ワード");
    sim.SetPassword(password);
    client.rootPassword = password;
    AddEntry(10s, "PPP up (IP address 198.51.100.23)");

    EXPECT_TRUE(Capture().written);

    // The password travels form-encoded: blank "+", "&" and the CP932 bytes as
    // %XX, except the trail byte 0x68 that is the letter "h".
    EXPECT_EQ(sim.RequestLines(),
              (std::vector<std::string>{kSyslogRequest, kMenuRequest,
                                        "GET /cgi-bin/logi?RC=%40&PWD=pa+ss%26%83%8F%81%5B%83h&SE=1 HTTP/1.0",
                                        kSyslogRequest, kLogoutRequest}));
    EXPECT_FALSE(sim.IsLoggedIn());
    EXPECT_EQ(FileBytes(), FileLine("[2026/12/08 11:59:50]  PPP up (IP address 198.51.100.23)") +
                               FileLine("[2026/12/08 12:00:00]   Last Log Update"));
}

TEST_F(LogCaptureTest, SlowRouterLogIsCapturedThroughLoginAndLogoutWithEachRequestSentOnce) {
    // Every page of the capture comes late, but within the request's bound.
    for (const char* path : {"syslog.htm", "menu.htm", "cgi-bin/logi", "cgi-bin/logo"}) {
        sim.SetFault(path, Fault{Fault::Kind::Delay, 150});
    }
    AddEntry(10s, "PPP up (IP address 198.51.100.23)");

    EXPECT_TRUE(Capture().written);

    EXPECT_EQ(sim.RequestLines(),
              (std::vector<std::string>{kSyslogRequest, kMenuRequest,
                                        "GET /cgi-bin/logi?RC=%40&PWD=admin&SE=1 HTTP/1.0", kSyslogRequest,
                                        kLogoutRequest}));
    EXPECT_FALSE(sim.IsLoggedIn());
    EXPECT_TRUE(clock.sleeps.empty());  // the logout's answer counted, late as it was
    EXPECT_EQ(FileBytes(), FileLine("[2026/12/08 11:59:50]  PPP up (IP address 198.51.100.23)") +
                               FileLine("[2026/12/08 12:00:00]   Last Log Update"));
}

TEST_F(LogCaptureTest, EveryFormShapeGivesItsLoginRequest) {
    const std::vector<HiddenField> before = {{"RC", "@", true, false}, {"ID", "7", false, false}};
    const std::vector<HiddenField> after = {{"RC", "@", true, true}, {"ID", "7", false, true}};
    struct Case {
        LoginFormVariant form;
        std::vector<HiddenField> fields;
        std::string passwordName;
        std::string query;
        bool readable;
    };
    const RouterSimulatorOptions defaults;
    const Case cases[] = {
        {LoginFormVariant::Get, {}, "PWD", "PWD=admin", true},
        {LoginFormVariant::Post, before, "PWD", "RC=%40&ID=7&PWD=admin", true},
        {LoginFormVariant::Get, after, "PWD", "PWD=admin&RC=%40&ID=7", true},
        {LoginFormVariant::BothGetFirst, defaults.hiddenFields, "PWD", "RC=%40&PWD=admin&SE=1&FORM=GET",
         true},
        {LoginFormVariant::BothPostFirst, defaults.hiddenFields, "PWD", "RC=%40&PWD=admin&SE=1&FORM=GET",
         true},
        // The tool takes 3 characters for the name, so a 2-letter one carries the ">".
        {LoginFormVariant::Get, defaults.hiddenFields, "PW", "RC=%40&PW%3E=admin&SE=1", false},
    };
    AddEntry(5s, "PPP up (IP address 198.51.100.23)");
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(number);
        RouterSimulatorOptions options = defaults;
        options.loginForm = c.form;
        options.hiddenFields = c.fields;
        options.passwordFieldName = c.passwordName;
        sim.SetOptions(options);
        sim.ClearRequestLines();
        settings.fileName = dir.File("case" + std::to_string(++number) + ".txt");

        EXPECT_TRUE(Capture().written);

        const std::vector<std::string> lines = sim.RequestLines();
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_EQ(lines[2], "GET /cgi-bin/logi?" + c.query + " HTTP/1.0");
        const std::string file = FileBytes("case" + std::to_string(number) + ".txt");
        EXPECT_EQ(file.find(Utf8ToSjis("ログの取得に失敗しました")) == std::string::npos, c.readable);
    }
}

TEST_F(LogCaptureTest, WrongPasswordWritesAFailureLineThatTheNextCaptureReplaces) {
    client.rootPassword = "wrong";
    AddEntry(90s, "PPP up (IP address 198.51.100.23)");

    EXPECT_TRUE(Capture().written);

    // The login's answer is not read: the log page is fetched again and the logout sent.
    EXPECT_EQ(sim.RequestLines(),
              (std::vector<std::string>{kSyslogRequest, kMenuRequest,
                                        "GET /cgi-bin/logi?RC=%40&PWD=wrong&SE=1 HTTP/1.0", kSyslogRequest,
                                        kLogoutRequest}));
    EXPECT_EQ(FileBytes(), FileLine("[2026/12/08 12:00:00]   ログの取得に失敗しました") +
                               FileLine("[2026/12/08 12:00:00]   Last Log Update"));

    client.rootPassword = "admin";
    Advance(60s);
    EXPECT_TRUE(Capture().written);
    EXPECT_EQ(FileBytes(), FileLine("[2026/12/08 11:58:30]  PPP up (IP address 198.51.100.23)") +
                               FileLine("[2026/12/08 12:01:00]   Last Log Update"));
}

TEST_F(LogCaptureTest, RefusedLogoutIsTriedTenTimesWithPausesButAnErrorPageEndsIt) {
    AddEntry(5s, "PPP up (IP address 198.51.100.23)");
    // A 404 page is an answer like any other; a 401 answer fails the fetch.
    const std::pair<int, std::size_t> cases[] = {{404, 1}, {401, 10}};
    for (const auto& [status, attempts] : cases) {
        SCOPED_TRACE(status);
        // A faulty answer replaces the logout itself: the router keeps the
        // login of the case before unless it is logged out here.
        sim.ClearFaults();
        std::string dropped;
        ASSERT_TRUE(RequestPage(sim.Address(), "cgi-bin/logo?RC=@", dropped));
        sim.SetFault("cgi-bin/logo", Fault{Fault::Kind::Status, status});
        sim.ClearRequestLines();
        clock.sleeps.clear();

        EXPECT_TRUE(Capture().written);

        const std::vector<std::string> lines = sim.RequestLines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), kLogoutRequest),
                  static_cast<std::ptrdiff_t>(attempts));
        EXPECT_EQ(clock.sleeps, std::vector<std::uint32_t>(attempts == 10 ? 10 : 0, 500));
    }
}

TEST_F(LogCaptureTest, SilentLogoutIsGivenUpAfterTenAttempts) {
    client = RouterClient(
        [](const std::string& host, const std::string& path, std::string& text, const CancelToken& cancel) {
            RequestLimits limits;
            limits.idleTimeout = 100ms;
            return RequestPage(host, path, text, limits, cancel);
        });
    client.routerAddress = sim.Address();
    client.rootPassword = "admin";
    sim.SetFault("cgi-bin/logo", Fault{Fault::Kind::Silent});
    AddEntry(5s, "PPP up (IP address 198.51.100.23)");

    EXPECT_TRUE(Capture().written);

    // Each attempt waits for the router up to its bound, then pauses.
    EXPECT_EQ(clock.sleeps, std::vector<std::uint32_t>(10, 500));
    const std::vector<std::string> lines = sim.RequestLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kLogoutRequest), 10);
    EXPECT_EQ(FileBytes().substr(0, 23), "[2026/12/08 11:59:55]  ");
}

TEST_F(LogCaptureTest, LaterCapturesAppendOnlyNewEntriesAndWarnOfNewAccessReports) {
    AddEntry(120s, "PPP up (IP address 198.51.100.23)");
    AddEntry(30s, "ダイヤルアップ接続しました");
    EXPECT_FALSE(Capture().accessWarning);

    Advance(60s);
    AddEntry(30s, "Unrecognized access from 203.0.113.7:4312 to port 23");
    AddEntry(15s, "PPP down (idle timeout)");
    EXPECT_TRUE(Capture().accessWarning);

    // Nothing new: the report already in the file warns no more.
    Advance(60s);
    EXPECT_FALSE(Capture().accessWarning);

    EXPECT_EQ(FileBytes(),
              FileLine("[2026/12/08 11:58:00]  PPP up (IP address 198.51.100.23)") +
                  FileLine("[2026/12/08 11:59:30]  ダイヤルアップ接続しました") +
                  FileLine("[2026/12/08 12:00:30]  Unrecognized access from 203.0.113.7:4312 to port 23") +
                  FileLine("[2026/12/08 12:00:45]  PPP down (idle timeout)") +
                  FileLine("[2026/12/08 12:02:00]   Last Log Update"));
}

}  // namespace
}  // namespace velmo
