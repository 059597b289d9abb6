#include <gtest/gtest.h>

#include "base/CodePage.h"
#include "router/StatusPage.h"

namespace velmo {
namespace {

std::string Sjis(const char* utf8) {
    return Utf8ToSjis(utf8);
}

std::string BannerPage1(const std::string& model) {
    return "<BODY><CENTER><IMG SRC=sp.gif BORDER=0 WIDTH=8 HEIGHT=32 ALIGN=TEXTBOTTOM>" + model + "</CENTER>";
}

std::string BannerPage2(const std::string& model) {
    return "<BODY><CENTER><IMG SRC=/bnimg.gif ALIGN=ABSMIDDLE>&nbsp;" + model + "</CENTER></BODY>";
}

// Japanese status page; `modemLabel` is the label cell's text before "</TD>".
std::string JapanesePage(const std::string& time, const char* modemLabel, const std::string& modem) {
    return Sjis("<TABLE><TR><TD>接続時間</TD><TD ALIGN=CENTER>") + time + "</TD></TR>\n<TR><TD>" +
           Sjis(modemLabel) + "</TD><TD ALIGN=CENTER>" + modem + "</TD></TR></TABLE>";
}

std::string EnglishPage(const std::string& time, const std::string& modem) {
    return "<TABLE><TR><TD>Connection Time</TD><TD ALIGN=CENTER>" + time +
           "</TD></TR>\n<TR><TD>Dial-up Modem</TD><TD ALIGN=CENTER>" + modem + "</TD></TR></TABLE>";
}

TEST(MarkerTables, HaveTheExactMarkerLengths) {
    EXPECT_EQ(bannerMarkers()[0].start.size(), 60u);
    EXPECT_EQ(bannerMarkers()[1].start.size(), 50u);
    const std::size_t statusLengths[] = {34, 41, 49, 39, 48};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(statusMarkers()[i].start.size(), statusLengths[i]) << "pair " << i + 1;
        EXPECT_EQ(statusMarkers()[i].end, "</TD>");
    }
}

TEST(ModelLine, ReadsBothBannerVariants) {
    EXPECT_EQ(ModelLine(true, BannerPage1("VR-2400 Router"), true), "VR-2400 Router");
    EXPECT_EQ(ModelLine(true, BannerPage2(" VR-2400\n"), true), "VR-2400");
}

TEST(ModelLine, ParenthesisedModelWithoutRouterGetsThePrefix) {
    EXPECT_EQ(ModelLine(true, BannerPage1("(VR-2400)"), true), "Broadband Router (VR-2400)");
    EXPECT_EQ(ModelLine(true, BannerPage1("(VR-2400 Router)"), true), "(VR-2400 Router)");
    EXPECT_EQ(ModelLine(true, BannerPage1("VR-2400 (router)"), true), "VR-2400 (router)");
    EXPECT_EQ(ModelLine(true, BannerPage1("(VR-2400 router)"), true), "Broadband Router (VR-2400 router)");
}

TEST(ModelLine, UnknownWhenNotFetchedOrWithoutModelLine) {
    EXPECT_EQ(ModelLine(false, BannerPage1("VR-2400"), true), Sjis("不明"));
    EXPECT_EQ(ModelLine(true, "<HTML>404 Not Found</HTML>", true), Sjis("不明"));
}

TEST(ModelLine, UnreachableRouterOverridesEvenAFetchedBanner) {
    EXPECT_EQ(ModelLine(true, BannerPage1("(VR-2400)"), false), Sjis("ルーターに接続できません"));
    EXPECT_EQ(ModelLine(false, "", false), Sjis("ルーターに接続できません"));
}

TEST(ParseStatusPage, EnglishPageWithLineDown) {
    const RouterStatus status = ParseStatusPage(EnglishPage("-", "Ready"));
    EXPECT_EQ(status.connectionTime, Sjis("未接続"));
    EXPECT_EQ(status.modemState, Sjis("レディ"));
    EXPECT_FALSE(status.connected);
}

TEST(ParseStatusPage, RunningTimeCountsAsConnected) {
    const RouterStatus status = ParseStatusPage(EnglishPage(" 00:01:23 ", "Dialing"));
    EXPECT_EQ(status.connectionTime, "00:01:23");
    EXPECT_EQ(status.modemState, Sjis("ダイヤル中"));
    EXPECT_TRUE(status.connected);
}

TEST(ParseStatusPage, JapaneseModemLabelWithAndWithoutBlankBeforeLineFeed) {
    const RouterStatus withBlank = ParseStatusPage(JapanesePage("-", "ダイヤルアップ モデム \n", "Hanging"));
    EXPECT_EQ(withBlank.modemState, Sjis("切断中"));
    const RouterStatus withoutBlank =
        ParseStatusPage(JapanesePage("12:00:00", "ダイヤルアップ モデム\n", "Not ready"));
    EXPECT_EQ(withoutBlank.connectionTime, "12:00:00");
    EXPECT_EQ(withoutBlank.modemState, Sjis("用意ができていません"));
    EXPECT_TRUE(withoutBlank.connected);
}

TEST(ParseStatusPage, BlankCellShowsNotConnected) {
    const RouterStatus status = ParseStatusPage(JapanesePage(" \n \n", "ダイヤルアップ モデム\n", "Ready"));
    EXPECT_EQ(status.connectionTime, Sjis("未接続"));
    EXPECT_FALSE(status.connected);
}

TEST(ParseStatusPage, UnknownModemWordIsShownAsWritten) {
    EXPECT_EQ(ParseStatusPage(EnglishPage("-", "ready")).modemState, "ready");
    EXPECT_EQ(ParseStatusPage(EnglishPage("-", "Connected")).modemState, "Connected");
}

TEST(ParseStatusPage, MissingModemCellLeavesTheConnectionTime) {
    const RouterStatus status =
        ParseStatusPage("<TD>Connection Time</TD><TD ALIGN=CENTER>00:00:05</TD><TD>Modem</TD><TD>Ready</TD>");
    EXPECT_EQ(status.connectionTime, "00:00:05");
    EXPECT_EQ(status.modemState, "");
    EXPECT_TRUE(status.connected);
}

TEST(ParseStatusPage, MissingConnectionTimeCellEmptiesBothEvenWithAModemCell) {
    const RouterStatus status =
        ParseStatusPage("<TD>Dial-up Modem</TD><TD ALIGN=CENTER>Ready</TD><TD>Time</TD><TD>00:00:05</TD>");
    EXPECT_EQ(status, RouterStatus{});
    EXPECT_FALSE(status.connected);
}

}  // namespace
}  // namespace velmo
