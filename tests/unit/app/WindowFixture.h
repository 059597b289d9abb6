// The main window with fake host, tray, clock and router, in a scratch
// current directory that holds its settings file.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/CRouterStatusDlg.h"
#include "base/CodePage.h"
#include "base/FileSystem.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeRouter.h"
#include "tests/support/FakeTrayHost.h"
#include "tests/support/FakeWindowHost.h"
#include "tests/support/TempDirectory.h"

namespace velmo::testing {

// A status page in the router's English wording.
inline std::string EnglishStatusPage(const std::string& connectionTime, const std::string& modem,
                                     const std::string& extra = "") {
    return "<HTML><TABLE>\n<TR><TD>Connection Time</TD><TD ALIGN=CENTER>" + connectionTime +
           "</TD></TR>\n<TR><TD>Dial-up Modem</TD><TD ALIGN=CENTER>" + modem + "</TD></TR>\n" + extra +
           "</TABLE></HTML>\n";
}

inline std::string BannerPage(const std::string& model) {
    return "<CENTER><IMG SRC=/bnimg.gif ALIGN=ABSMIDDLE>&nbsp;" + model + "</CENTER>";
}

class WindowFixture : public ::testing::Test {
  protected:
    // The router is always the fake one, but the address points at loopback
    // all the same, so no settings file of a test names a real router.
    void WriteSettings(const std::string& lines) {
        const std::string address =
            lines.find("RutorAddress=") == std::string::npos ? "RutorAddress=127.0.0.1\r\n" : "";
        ASSERT_TRUE(ReplaceFileAtomically(dir_.File("Velmo tool.ini"), "[Setting]\r\n" + lines + address));
    }
    std::unique_ptr<CRouterStatusDlg> MakeWindow() {
        auto window = std::make_unique<CRouterStatusDlg>(host_, tray_, clock_, router_.Function());
        window_ = window.get();
        return window;
    }
    // Runs the jobs the window has started, one after another on this thread,
    // and shows each one's result, until none is left.
    void Settle() {
        for (bool ran = true; ran;) {
            ran = window_->Jobs().RunNext();
            window_->OnJobDone();
        }
    }
    // A window shown and refreshed once, against a router serving the given status page.
    std::unique_ptr<CRouterStatusDlg> OpenWindow(const std::string& settings, const std::string& statusPage) {
        WriteSettings("InitMinimize=0\r\n" + settings);
        router_.Serve("", "top");
        router_.Serve("banner.htm", BannerPage("(BR-8600)"));
        router_.Serve("status.htm", statusPage);
        auto window = MakeWindow();
        window->OnInitDialog();
        Settle();
        host_.calls.clear();
        tray_.calls.clear();
        router_.ClearRequests();
        return window;
    }
    std::string Field(int id) { return host_.fields[id]; }

    ScopedCurrentDirectory dir_;
    FakeWindowHost host_;
    FakeTrayHost tray_;
    FakeClock clock_;
    FakeRouter router_;
    CRouterStatusDlg* window_ = nullptr;  // the one MakeWindow made last
};

}  // namespace velmo::testing
