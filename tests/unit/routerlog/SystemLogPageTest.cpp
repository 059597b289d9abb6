#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "base/CodePage.h"
#include "routerlog/SystemLogPage.h"
#include "sim/LogPageBuilder.h"

namespace velmo {
namespace {

const DateTime kBase = DateTime::FromParts(2026, 12, 8, 12, 0, 10);
const LogFilters kAll{true, true, true};
const std::string kBlanks(23, ' ');

std::string LogPage(const std::string& calls) {
    return SystemLogPageAround(calls);
}

// The entries as the log file would receive them, one line each; an entry
// left by an earlier parse shows as "earlier".
std::string Lines(const std::vector<LogEntry>& entries, const LogFilters& filters = kAll) {
    std::string text;
    for (const LogEntry& entry : entries) {
        text += IsLeftOut(entry, filters) ? "" : EntryLine(entry) + "\n";
    }
    return text;
}

std::string Parse(const std::string& page, LogPageOutcome expected, const LogFilters& filters = kAll) {
    std::vector<LogEntry> entries{LogEntry{std::nullopt, 0, "earlier", false}};
    EXPECT_EQ(ParseSystemLogPage(page, kBase.ToFileTime(), entries), expected);
    return Lines(entries, filters);
}

TEST(ParseSystemLogPage, TimedEntryIsStampedWithTheBaseTimeLessItsAge) {
    EXPECT_EQ(Parse(LogPage("L2(5000,'PPP up');\nL2(1,'one ms');\nL2(86400000,'a day');\n"),
                    LogPageOutcome::EntriesRead),
              "[2026/12/08 12:00:05]  PPP up\n"
              "[2026/12/08 12:00:09]  one ms\n"  // fractions of a second are dropped
              "[2026/12/07 12:00:10]  a day\n");
}

TEST(ParseSystemLogPage, MillisecondsOfTheBaseTimeCount) {
    // Read 600 ms into 12:00:10: an entry 5 400 ms old was logged at 12:00:05.2.
    // Dropping the base time's milliseconds first would stamp it 12:00:04.
    std::vector<LogEntry> entries;
    const std::int64_t base = kBase.ToFileTime() + 600 * 10000;
    EXPECT_EQ(ParseSystemLogPage(LogPage("L2(5400,'PPP up');\n"), base, entries),
              LogPageOutcome::EntriesRead);
    EXPECT_EQ(Lines(entries), "[2026/12/08 12:00:05]  PPP up\n");
}

TEST(ParseSystemLogPage, SubInfoEntryCarriesTheStampOfTheLastTimedEntry) {
    EXPECT_EQ(Parse(LogPage("L1('before any');L2(2000,'timed');L1('detail 1');L1('detail 2');L2(0,'now');"),
                    LogPageOutcome::EntriesRead),
              kBlanks +
                  "before any\n"
                  "[2026/12/08 12:00:08]  timed\n"
                  "[2026/12/08 12:00:08]  detail 1\n"
                  "[2026/12/08 12:00:08]  detail 2\n"
                  "[2026/12/08 12:00:10]  now\n");
}

TEST(ParseSystemLogPage, SubInfoStampIsKeptEvenWhenItsTimedEntryIsFilteredAway) {
    const LogFilters noLogin{false, true, true};
    EXPECT_EQ(
        Parse(LogPage("L2(3000,'admin login');L1('from 127.0.0.1');"), LogPageOutcome::EntriesRead, noLogin),
        "[2026/12/08 12:00:07]  from 127.0.0.1\n");
}

TEST(ParseSystemLogPage, EachFilterLeavesOutItsEntriesCaseSensitively) {
    const std::string page = LogPage(
        "L2(0,'user login ok');L2(0,'Login by admin');L2(0,'user logged out');L1('sub');L2(0,'plain');");
    EXPECT_EQ(Parse(page, LogPageOutcome::EntriesRead, {false, true, true}),
              "[2026/12/08 12:00:10]  Login by admin\n"
              "[2026/12/08 12:00:10]  user logged out\n"
              "[2026/12/08 12:00:10]  sub\n"
              "[2026/12/08 12:00:10]  plain\n");
    EXPECT_EQ(Parse(page, LogPageOutcome::EntriesRead, {true, false, true}),
              "[2026/12/08 12:00:10]  user login ok\n"
              "[2026/12/08 12:00:10]  Login by admin\n"
              "[2026/12/08 12:00:10]  sub\n"
              "[2026/12/08 12:00:10]  plain\n");
    EXPECT_EQ(Parse(page, LogPageOutcome::EntriesRead, {true, true, false}),
              "[2026/12/08 12:00:10]  user login ok\n"
              "[2026/12/08 12:00:10]  Login by admin\n"
              "[2026/12/08 12:00:10]  user logged out\n"
              "[2026/12/08 12:00:10]  plain\n");
}

TEST(ParseSystemLogPage, EntriesAllFilteredAwayStillCountAsRead) {
    EXPECT_EQ(Parse(LogPage("L1('a');L1('b');"), LogPageOutcome::EntriesRead, {false, false, false}), "");
}

TEST(ParseSystemLogPage, PageWithoutTheScriptIsNotALogPageAndLeavesTheEntriesAlone) {
    EXPECT_EQ(Parse("<HTML>L2(0,'x');</HTML>", LogPageOutcome::NotLogPage), kBlanks + "earlier\n");
    // Only what follows the first "function L2(w,x)" is read.
    EXPECT_EQ(Parse("L2(0,'before');function L2(w,x){}", LogPageOutcome::NoEntry), kBlanks + "earlier\n");
}

TEST(ParseSystemLogPage, MalformedEntryKeepsTheEntriesReadBeforeIt) {
    EXPECT_EQ(Parse(LogPage("L2(0,'good');L2(5000 'no comma');"), LogPageOutcome::MalformedPage),
              "[2026/12/08 12:00:10]  good\n");
    EXPECT_EQ(Parse(LogPage("L2(0,no quotes);"), LogPageOutcome::MalformedPage), kBlanks + "earlier\n");
    EXPECT_EQ(Parse(LogPage("L1('unclosed);"), LogPageOutcome::MalformedPage), kBlanks + "earlier\n");
}

TEST(ParseSystemLogPage, TextRunsToTheNextQuoteAndMayHoldCallsAndCommas) {
    EXPECT_EQ(Parse(LogPage("L2(1000,'a,L1(b'L2(2000,'c');"), LogPageOutcome::EntriesRead),
              "[2026/12/08 12:00:09]  a,L1(b\n"
              "[2026/12/08 12:00:08]  c\n");
}

TEST(ParseSystemLogPage, LineBreaksInsideATextBecomeBlanks) {
    EXPECT_EQ(Parse(LogPage("L2(0,'two\r\nlines\rhere');"), LogPageOutcome::EntriesRead),
              "[2026/12/08 12:00:10]  two  lines here\n");
}

TEST(ParseSystemLogPage, QuotedTextIsReadAsThePageScriptReadsIt) {
    const struct {
        std::string written, read;
    } cases[] = {
        {R"('it\'s quoted')", "it's quoted"},
        {R"('say \"hi\" and "bye"')", R"(say "hi" and "bye")"},
        {R"('C:\\log')", R"(C:\log)"},
        {R"('ends in a backslash\\')", R"(ends in a backslash\)"},
        // Other escapes and entities stay as the router wrote them.
        {R"('\n \x41 \u0041 \ end')", R"(\n \x41 \u0041 \ end)"},
        {"'a &amp; b &#39;c&#39; &lt;'", "a &amp; b &#39;c&#39; &lt;"},
        {R"('\\\'')", R"(\')"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parse(LogPage("L2(9000," + c.written + ");L1('next');"), LogPageOutcome::EntriesRead),
                  "[2026/12/08 12:00:01]  " + c.read +
                      "\n"
                      "[2026/12/08 12:00:01]  next\n")
            << c.written;
    }
    // An escaped quote does not end the text, so an unclosed one stays malformed.
    EXPECT_EQ(Parse(LogPage(R"(L1('open \');)"), LogPageOutcome::MalformedPage), kBlanks + "earlier\n");
}

TEST(ParseSystemLogPage, TrailByteThatLooksLikeABackslashEscapesNothing) {
    // "ソ" and "表" end in the byte 0x5C; the quote after them closes the text.
    const std::string text = Utf8ToSjis("ソフト表");
    ASSERT_EQ(text.back(), '\\');
    EXPECT_EQ(Parse(LogPage("L2(0,'" + text + "');L1('" + text + "\\'');"), LogPageOutcome::EntriesRead),
              "[2026/12/08 12:00:10]  " + text +
                  "\n"
                  "[2026/12/08 12:00:10]  " +
                  text + "'\n");
}

TEST(ParseSystemLogPage, ZeroByteInsideATextBecomesABlankAndLaterEntriesAreRead) {
    const std::string calls = std::string("L2(0,'a") + '\0' + "b');L2(1000,'c');L1('d" + '\0' + "');";
    EXPECT_EQ(Parse(LogPage(calls), LogPageOutcome::EntriesRead),
              "[2026/12/08 12:00:10]  a b\n"
              "[2026/12/08 12:00:09]  c\n"
              "[2026/12/08 12:00:09]  d \n");
}

TEST(ParseSystemLogPage, ShiftJisTextIsCopiedByteForByte) {
    const std::string text = Utf8ToSjis("不正アクセス");
    EXPECT_EQ(Parse(LogPage("L2(0,'" + text + "');"), LogPageOutcome::EntriesRead),
              "[2026/12/08 12:00:10]  " + text + "\n");
}

TEST(ParseSystemLogPage, AgeTextIsReadLikeASignedDecimal) {
    EXPECT_EQ(Parse(LogPage("L2( \t+3000x9,'a');L2(abc,'b');L2(-2000,'c');"), LogPageOutcome::EntriesRead),
              "[2026/12/08 12:00:07]  a\n"
              "[2026/12/08 12:00:10]  b\n"
              "[2026/12/08 12:00:12]  c\n");
}

TEST(ParseSystemLogPage, AgeOutOfRangeTakesThePreviousConversion) {
    // Twenty digits saturate; the time is out of range either way.
    EXPECT_EQ(Parse(LogPage("L2(99999999999999999999,'huge first');L2(4000,'ok');"
                            "L2(-99999999999999999999,'huge negative');L2(400000000000000,'before 1601');"),
                    LogPageOutcome::EntriesRead),
              "[2026/12/08 12:00:10]  huge first\n"
              "[2026/12/08 12:00:06]  ok\n"
              "[2026/12/08 12:00:06]  huge negative\n"
              "[2026/12/08 12:00:06]  before 1601\n");
}

TEST(ParseEntryAge, SaturatesInsteadOfOverflowing) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(ParseEntryAge("9223372036854775807"), kMax);
    EXPECT_EQ(ParseEntryAge("9223372036854775808"), kMax);
    EXPECT_EQ(ParseEntryAge("-9223372036854775808"), kMin);
    EXPECT_EQ(ParseEntryAge("-99999999999999999999999"), kMin);
    EXPECT_EQ(ParseEntryAge(" -12a"), -12);
    EXPECT_EQ(ParseEntryAge("+"), 0);
}

TEST(ParseSystemLogPage, ScriptWithoutEntriesHasNoEntry) {
    EXPECT_EQ(Parse(SystemLogPageBody({}), LogPageOutcome::NoEntry), kBlanks + "earlier\n");
}

TEST(ParseSystemLogPage, ReadsAHundredThousandEntries) {
    std::vector<LogPageEntry> entries;
    for (int i = 0; i < 100000; ++i) {
        entries.push_back({i, "entry " + std::to_string(i)});
    }
    const std::string capture = Parse(SystemLogPageBody(entries), LogPageOutcome::EntriesRead);
    EXPECT_EQ(capture.substr(capture.size() - 35), "[2026/12/08 11:58:30]  entry 99999\n");
}

}  // namespace
}  // namespace velmo
