#include "autodisconnect/CAutoDisconnectConfirmDlg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "base/CodePage.h"
#include "res/resource.h"

namespace velmo {
namespace {

using ::testing::ElementsAre;

class FakeConfirmHost final : public ConfirmHost {
  public:
    void BringToForeground() override { calls.push_back("foreground"); }
    void Beep() override { calls.push_back("beep"); }
    void SetCountdownText(const std::string& text) override { texts.push_back(text); }
    void StartTimer(int id, std::uint32_t ms) override {
        calls.push_back("start " + std::to_string(id) + " " + std::to_string(ms));
    }
    void StopTimer(int id) override { calls.push_back("stop " + std::to_string(id)); }
    void EndDialog(int result) override {
        calls.push_back("end " + std::to_string(result));
        ended = result;
    }
    std::vector<std::string> calls, texts;
    int ended = 0;
};

TEST(CAutoDisconnectConfirmDlg, OpensInFrontWithOneBeepAndThirtySeconds) {
    FakeConfirmHost host;
    CAutoDisconnectConfirmDlg dialog(host);
    EXPECT_TRUE(dialog.OnInitDialog());
    EXPECT_THAT(host.calls, ElementsAre("foreground", "beep", "start 7 1000"));
    EXPECT_THAT(host.texts, ElementsAre(Utf8ToSjis("自動切断まで 30 秒")));
}

TEST(CAutoDisconnectConfirmDlg, CountsDownToZeroThenGoesAheadByItself) {
    FakeConfirmHost host;
    CAutoDisconnectConfirmDlg dialog(host);
    dialog.OnInitDialog();
    for (int tick = 0; tick < 29; ++tick) {
        dialog.OnTimer(7);
        dialog.OnTimer(3);  // another timer's tick changes nothing
    }
    EXPECT_EQ(host.texts.back(), Utf8ToSjis("自動切断まで 1 秒"));
    EXPECT_EQ(host.ended, 0);
    dialog.OnTimer(7);
    EXPECT_EQ(host.texts.size(), 31u);
    EXPECT_EQ(host.texts.back(), Utf8ToSjis("自動切断まで 0 秒"));
    EXPECT_THAT(std::vector<std::string>(host.calls.end() - 2, host.calls.end()),
                ElementsAre("stop 7", "end 1"));
}

TEST(CAutoDisconnectConfirmDlg, OkGoesAheadAndCancelDoesNot) {
    FakeConfirmHost okHost, cancelHost;
    CAutoDisconnectConfirmDlg ok(okHost), cancel(cancelHost);
    ok.OnInitDialog();
    cancel.OnInitDialog();
    ok.OnOK();
    cancel.OnCancel();
    EXPECT_EQ(okHost.ended, IDOK);
    EXPECT_EQ(cancelHost.ended, IDCANCEL);
    EXPECT_EQ(cancelHost.calls.back(), "end 2");
    EXPECT_EQ(cancelHost.calls[cancelHost.calls.size() - 2], "stop 7");
}

}  // namespace
}  // namespace velmo
