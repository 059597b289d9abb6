// The log file as an archive over thousands of captures: a simulated router
// log read at random moments, merged by UpdateLogFile, and after every
// capture the file is checked against what the router showed.
//
// The router keeps a window of W entries (older ones drop out); entries come
// one by one, in bursts of identical entries within one second, with sub-info
// lines, dated in the future; reboots clear it. It lists oldest or newest
// first and serves ages in whole seconds or in milliseconds. The page is read
// 0 to 1.5 s after it was served, so stamps of one entry move from capture to
// capture. The computer's clock is set back or forward by an hour now and
// then, and some captures fail.
//
// Checked after every capture: every entry a successful capture saw is in
// the file; none twice, except what a capture right after a change of the
// computer's clock writes again; the router's order is kept; the file ends
// in one update marker; the warning comes exactly with a new access entry.
//
// Rounds per seed: VELMO_LOG_MODEL_ROUNDS (default 1000).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/CodePage.h"
#include "base/FileSystem.h"
#include "routerlog/LogFile.h"
#include "routerlog/LogStamp.h"
#include "routerlog/SystemLogPage.h"
#include "tests/support/TempDirectory.h"

namespace velmo {
namespace {

constexpr std::int64_t kHourMs = 3600 * 1000;
const DateTime kOrigin = DateTime::FromParts(2026, 12, 8, 12, 0, 0);

struct RouterEntry {
    std::int64_t id = 0;      // order of logging
    std::int64_t timeMs = 0;  // the router's time of the entry (ahead of logging when dated in the future)
    bool subInfo = false;
    bool future = false;
    std::string text;  // CP932
};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

class SimulatedRouter {
  public:
    SimulatedRouter(std::mt19937_64& random, std::size_t window, bool newestFirst, bool wholeSeconds)
        : random_(random), window_(window), newestFirst_(newestFirst), wholeSeconds_(wholeSeconds) {}

    // Logs one event at `nowMs`: an entry, a burst, a connection with its
    // sub-info line, or an entry dated in the future.
    void LogEvent(std::int64_t nowMs) {
        const int kind = Pick(0, 9);
        if (kind <= 2) {
            const std::string text =
                Text(nowMs, {"PPP down (idle timeout)", "ダイヤルアップ接続しました", "回線を切断しました"});
            if (!text.empty()) {
                Add(nowMs, false, false, text);
            }
        } else if (kind <= 5) {
            // A port scan: identical entries within one second.
            const std::string text = Text(nowMs, {"Unrecognized access from 203.0.113.7:4312 to port 23",
                                                  "Unrecognized access from 203.0.113.9:80 to port 8080"});
            if (!text.empty()) {
                for (int copies = Pick(1, 6); copies > 0; --copies) {
                    Add(nowMs, false, false, text);
                }
            }
        } else if (kind <= 8) {
            const std::string text = Text(nowMs, {"PPP up (IP address 198.51.100.23)"});
            if (!text.empty()) {
                Add(nowMs, false, false, text);
                // Unique, so that a sub-info line whose entry dropped out
                // unseen is not taken for an older one of the same text.
                Add(nowMs, true, false, "  DNS server 192.0.2.53 #" + std::to_string(nextId_));
            }
        } else {
            const std::int64_t ahead = Pick(1, 48) * kHourMs + Pick(0, 999);
            const std::string text = Text(nowMs + ahead, {"NTP server did not answer"});
            if (!text.empty()) {
                Add(nowMs + ahead, false, true, text);
            }
        }
        DropOldest();
    }

    void Reboot() { log_.clear(); }

    // The log page at `servedMs`, and the ids of its entries in page order.
    std::string Page(std::int64_t servedMs, std::vector<std::int64_t>& ids) const {
        std::vector<const RouterEntry*> listed;
        for (const RouterEntry& entry : log_) {
            listed.push_back(&entry);
        }
        if (newestFirst_) {
            // Each timed entry keeps its sub-info lines after it.
            std::vector<const RouterEntry*> turned;
            std::size_t end = listed.size();
            for (std::size_t i = listed.size(); i-- > 0;) {
                if (!listed[i]->subInfo || i == 0) {
                    turned.insert(turned.end(), listed.begin() + static_cast<std::ptrdiff_t>(i),
                                  listed.begin() + static_cast<std::ptrdiff_t>(end));
                    end = i;
                }
            }
            listed = turned;
        }
        std::string page = "<script>function L2(w,x){document.write(w+x)}\n";
        ids.clear();
        for (const RouterEntry* entry : listed) {
            ids.push_back(entry->id);
            if (entry->subInfo) {
                page += "L1('" + entry->text + "');\n";
                continue;
            }
            std::int64_t age = servedMs - entry->timeMs;
            if (wholeSeconds_) {
                age = FloorDiv(age, 1000) * 1000;
            }
            page += "L2(" + std::to_string(age) + ",'" + entry->text + "');\n";
        }
        return page + "</script>";
    }

    const RouterEntry& Entry(std::int64_t id) const { return byId_.at(id); }
    bool NewestFirst() const { return newestFirst_; }

  private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // One of `texts` in CP932, or empty when every one was logged too near
    // `timeMs` (within a few seconds of it, or of it moved by whole hours).
    // Such entries cannot be told apart by any reader once the older one has
    // left the window, or once the computer's clock moved by that much.
    std::string Text(std::int64_t timeMs, const std::vector<std::string>& texts) {
        const std::string text = Utf8ToSjis(texts[static_cast<std::size_t>(Pick(0, int(texts.size()) - 1))]);
        for (const std::int64_t earlier : logged_[text]) {
            const std::int64_t apart = std::abs(timeMs - earlier);
            const std::int64_t offHour = std::min(apart % kHourMs, kHourMs - apart % kHourMs);
            if (apart < 10000 || offHour < 10000) {
                return {};
            }
        }
        logged_[text].push_back(timeMs);
        return text;
    }

    void Add(std::int64_t timeMs, bool subInfo, bool future, const std::string& text) {
        RouterEntry entry{nextId_++, timeMs, subInfo, future, text};
        byId_[entry.id] = entry;
        log_.push_back(entry);
    }

    // A router listing newest first drops an entry with its sub-info lines:
    // at the end of its page they would carry another entry's stamp.
    void DropOldest() {
        while (log_.size() > window_) {
            log_.pop_front();
            while (newestFirst_ && !log_.empty() && log_.front().subInfo) {
                log_.pop_front();
            }
        }
    }

    std::mt19937_64& random_;
    std::size_t window_;
    bool newestFirst_;
    bool wholeSeconds_;
    std::deque<RouterEntry> log_;
    std::map<std::int64_t, RouterEntry> byId_;
    std::map<std::string, std::vector<std::int64_t>> logged_;
    std::int64_t nextId_ = 1;
};

std::vector<std::string> Lines(const std::string& text, const char* end) {
    std::vector<std::string> lines;
    const std::string_view separator(end);
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos;
         start = at + separator.size()) {
        lines.push_back(text.substr(start, at - start));
    }
    return lines;
}

bool HoldsAccess(const std::string& line) {
    return line.find("Unrecognized access") != std::string::npos;
}

// The file as the checker knows it, and the checks.
class Archive {
  public:
    Archive(const std::string& name, const SimulatedRouter& router) : name_(name), router_(router) {}

    // One successful capture: `capture` is the parsed page, `ids` its
    // entries in page order. `clockMoved`: the computer's clock moved since
    // the last successful capture.
    void CheckCapture(const std::string& capture, const std::vector<std::int64_t>& ids, bool clockMoved,
                      bool pageHeldFuture, const LogFileResult& result, DateTime now) {
        ++captures_;
        const std::vector<std::string> captureLines = Lines(capture, "\n");
        ASSERT_EQ(captureLines.size(), ids.size());
        std::vector<std::string> written;
        ReadNewPart(now, written);
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
        std::vector<bool> taken(ids.size(), false);
        std::size_t access = 0;
        for (const std::string& line : written) {
            access += HoldsAccess(line) ? 1 : 0;
            // Equal lines are the same to any reader: the line stands for the
            // first of them the file lacks, else for the first of them.
            std::size_t pick = ids.size();
            for (std::size_t i = 0; i < ids.size(); ++i) {
                if (!taken[i] && captureLines[i] == line &&
                    (pick == ids.size() || (copies_[ids[pick]] > 0 && copies_[ids[i]] == 0))) {
                    pick = i;
                }
            }
            ASSERT_LT(pick, ids.size()) << "written but not on the page: " << line;
            taken[pick] = true;
            const std::int64_t id = ids[pick];
            if (copies_[id]++ > 0) {
                EXPECT_TRUE(clockMoved) << "entry " << id << " written twice: " << line << Context(capture);
                continue;
            }
            if (id < lastId_) {
                // Within one page the order can be unclear only where the
                // stamps cannot show it: one second, or a newest-first page
                // whose future-dated entry confuses the stamps.
                EXPECT_TRUE(lastCapture_ == captures_ &&
                            (lastStamp_ == line.substr(0, 23) || (router_.NewestFirst() && pageHeldFuture)))
                    << "entry " << id << " after entry " << lastId_ << ": " << line << Context(capture);
            }
            lastId_ = std::max(lastId_, id);
            lastStamp_ = line.substr(0, 23);
            lastCapture_ = captures_;
        }
        for (const std::int64_t id : ids) {
            EXPECT_GT(copies_[id], 0)
                << "entry " << id << " seen but not in the file: " << router_.Entry(id).text
                << Context(capture);
        }
        EXPECT_EQ(result.accessWarning, access > 0);
        EXPECT_EQ(result.accessCount, access);
    }

    // A capture that read no entry: the failure line and the marker.
    void CheckFailure(const std::string& failureLine, DateTime now) {
        std::vector<std::string> written;
        ReadNewPart(now, written);
        EXPECT_EQ(written, std::vector<std::string>{failureLine});
        // The next capture cuts the failure line too.
        keptLength_ -= failureLine.size() + 2;
    }

    // The whole file: the part the checker knows, byte for byte.
    void CheckWholeFile() {
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(name_, bytes));
        EXPECT_EQ(bytes, content_);
    }

  private:
    // The capture and the end of the file, for a failure's message (CP932).
    std::string Context(const std::string& capture) const {
        const std::size_t from = content_.size() > 3000 ? content_.size() - 3000 : 0;
        return "\ncapture:\n" + capture + "file, its end:\n" + content_.substr(from);
    }

    // Reads what the capture put after the kept part; checks that it ends in
    // one marker for `now` and returns the lines before it.
    void ReadNewPart(DateTime now, std::vector<std::string>& lines) {
        std::ifstream in(name_, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(keptLength_));
        const std::string part((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        lines = Lines(part, "\r\n");
        ASSERT_FALSE(lines.empty());
        std::size_t length = 0;
        for (const std::string& line : lines) {
            length += line.size() + 2;
        }
        ASSERT_EQ(length, part.size()) << "the new part is not CR LF lines";
        ASSERT_EQ(lines.back(), UpdateMarkerLine(now));
        lines.pop_back();
        content_.resize(keptLength_);
        content_ += part;
        // The next capture cuts the marker (and a failure line before it).
        const std::size_t tool = UpdateMarkerLine(now).size() + 2;
        keptLength_ = content_.size() - tool;
    }

    std::string name_;
    const SimulatedRouter& router_;
    std::string content_;
    std::size_t keptLength_ = 0;
    std::map<std::int64_t, int> copies_;
    std::int64_t lastId_ = 0;
    std::string lastStamp_;
    int captures_ = 0;
    int lastCapture_ = 0;
};

int Rounds() {
    const char* text = std::getenv("VELMO_LOG_MODEL_ROUNDS");
    return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : 1000;
}

DateTime PcTime(std::int64_t pcMs) {
    return kOrigin.PlusSeconds(FloorDiv(pcMs, 1000));
}

void RunModel(std::uint64_t seed, std::size_t window) {
    std::mt19937_64 random(seed);
    auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; };
    auto pick = [&](std::int64_t low, std::int64_t high) {
        return std::uniform_int_distribution<std::int64_t>(low, high)(random);
    };
    testing::ScopedCurrentDirectory directory;
    const std::string name = directory.File("syslog.txt");
    SimulatedRouter router(random, window, chance(0.5), chance(0.5));
    Archive archive(name, router);
    const LogFilters everything{true, true, true};

    std::int64_t trueMs = 0;
    std::int64_t pcOffsetMs = 0;
    bool clockMoved = false;
    const int rounds = Rounds();
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Time passes, the router logs; now and then it reboots or the
        // computer's clock is set by an hour.
        const std::int64_t until = trueMs + (chance(0.3) ? pick(100, 3000) : pick(3000, 180000));
        std::vector<std::int64_t> moments;
        for (std::int64_t n = pick(0, std::max<std::int64_t>(1, std::int64_t(window) / 3)); n > 0; --n) {
            moments.push_back(pick(trueMs + 1, until));
        }
        std::sort(moments.begin(), moments.end());
        for (const std::int64_t moment : moments) {
            if (chance(0.02)) {
                router.Reboot();
            }
            router.LogEvent(moment);
        }
        trueMs = until;
        if (chance(0.02)) {
            pcOffsetMs += chance(0.5) ? kHourMs : -kHourMs;
            clockMoved = true;
        }

        // The page is served now and read up to 1.5 s later.
        std::vector<std::int64_t> ids;
        const std::string page = router.Page(trueMs, ids);
        trueMs += pick(0, 1500);
        const std::int64_t pcMs = trueMs + pcOffsetMs;
        const DateTime now = PcTime(pcMs);
        const std::int64_t base = kOrigin.ToFileTime() + pcMs * 10000;

        if (chance(0.1)) {
            const std::string failure = FailureLine(now);
            const LogFileResult result = UpdateLogFile(name, failure + "\n", now);
            ASSERT_TRUE(result.written);
            EXPECT_FALSE(result.accessWarning);
            archive.CheckFailure(failure, now);
        } else {
            std::string capture = FailureLine(now) + "\n";
            const LogPageOutcome outcome = ParseSystemLogPage(page, base, everything, capture);
            if (outcome != LogPageOutcome::EntriesRead) {
                continue;  // an empty log: the tool logs in and tries again, not modelled
            }
            bool future = false;
            for (const std::int64_t id : ids) {
                future = future || router.Entry(id).future;
            }
            const LogFileResult result = UpdateLogFile(name, capture, now);
            ASSERT_TRUE(result.written);
            archive.CheckCapture(capture, ids, clockMoved, future, result, now);
            clockMoved = false;
        }
        if (::testing::Test::HasFailure()) {
            return;
        }
        if (round % 256 == 255 || round == rounds - 1) {
            archive.CheckWholeFile();
        }
    }
}

TEST(LogArchiveModel, EveryEntrySeenIsKeptOnceInOrder) {
    const std::size_t windows[] = {5, 12, 40, 300};
    for (std::uint64_t seed = 1; seed <= 8; ++seed) {
        const std::size_t window = windows[seed % 4];
        SCOPED_TRACE("seed " + std::to_string(seed) + ", window " + std::to_string(window));
        RunModel(seed, window);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "failed with seed " << seed;
            return;
        }
    }
}

}  // namespace
}  // namespace velmo
