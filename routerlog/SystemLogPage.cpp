#include "routerlog/SystemLogPage.h"

#include <limits>
#include <optional>

#include "base/SjisText.h"

namespace velmo {

namespace {

constexpr std::string_view kScriptMarker = "function L2(w,x)";
constexpr std::string_view kSubInfoCall = "L1(";
constexpr std::string_view kTimedCall = "L2(";
constexpr std::int64_t kFileTimeUnitsPerMs = 10000;

// SjisFind from `from`, looking only at the text from there on. Every position
// this parser searches from lies just after an ASCII marker or quote that was
// found on a character boundary, so it is a boundary itself; searching the
// rest of the page keeps each search proportional to the distance covered
// instead of walking the page from its start every time.
std::size_t FindFrom(std::string_view page, std::string_view needle, std::size_t from) {
    const std::size_t found = SjisFind(page.substr(from), needle);
    return found == npos ? npos : from + found;
}

// The next occurrence of a call marker at or after a position. It remembers
// the last find, so that a marker that is rare on the page is not searched
// for over the whole rest of the page at every entry.
class CallFinder {
  public:
    CallFinder(std::string_view page, std::string_view marker) : page_(page), marker_(marker) {}

    std::size_t NextFrom(std::size_t position) {
        if (!searched_ || (found_ != npos && found_ < position)) {
            found_ = FindFrom(page_, marker_, position);
            searched_ = true;
        }
        return found_;
    }

  private:
    std::string_view page_;
    std::string_view marker_;
    std::size_t found_ = npos;
    bool searched_ = false;
};

// Entry time = base − age (ms) in FILETIME units, or nothing when the
// arithmetic would leave the 64-bit range.
std::optional<std::int64_t> EntryFileTime(std::int64_t base, std::int64_t ageMs) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    if (ageMs > kMax / kFileTimeUnitsPerMs || ageMs < kMin / kFileTimeUnitsPerMs) {
        return std::nullopt;
    }
    const std::int64_t age = ageMs * kFileTimeUnitsPerMs;
    if ((age < 0 && base > kMax + age) || (age > 0 && base < kMin + age)) {
        return std::nullopt;
    }
    return base - age;
}

bool IsAgeSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// True for a byte that can end a double-byte character (0x40-0x7E, 0x80-0xFC).
bool IsSjisTrailByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// The text of a quoted string whose opening quote lies just before `from`,
// read as the page's script reads it: a backslash before a quote, a double
// quote or another backslash stands for that character, and the first quote
// not so escaped ends the text. Any other backslash is kept as the router
// wrote it, and so are entities such as "&amp;": the file keeps the router's
// bytes. A trail byte of a double-byte character (0x5C in "ソ") is never
// taken for a backslash; a lead byte before a byte that cannot be a trail
// byte (a quote among them) is a byte of its own, kept, and the quote after
// it still ends the text. Returns the position of the closing quote, or npos
// when the page ends first.
std::size_t ReadQuotedText(std::string_view page, std::size_t from, std::string& text) {
    text.clear();
    for (std::size_t i = from; i < page.size();) {
        if (SjisCharLength(page, i) == 2 && IsSjisTrailByte(page[i + 1])) {
            text.append(page.substr(i, 2));
            i += 2;
            continue;
        }
        const char c = page[i];
        if (c == '\'') {
            return i;
        }
        if (c == '\\' && i + 1 < page.size() &&
            (page[i + 1] == '\'' || page[i + 1] == '"' || page[i + 1] == '\\')) {
            text += page[i + 1];
            i += 2;
            continue;
        }
        text += c;
        ++i;
    }
    return npos;
}

// CR, LF and a zero byte are written as blanks: every entry stays one line of
// the log file, and the file holds no byte that would end a text early.
std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (c == '\r' || c == '\n' || c == '\0') {
            c = ' ';
        }
    }
    return line;
}

}  // namespace

std::int64_t ParseEntryAge(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsAgeSpace(text[i])) {
        ++i;
    }
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    // Accumulate towards the sign's side so that the most negative value is reachable.
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (negative) {
            value = value < (kMin + digit) / 10 ? kMin : value * 10 - digit;
        } else {
            value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
        }
    }
    return value;
}

LogPageOutcome ParseSystemLogPage(const std::string& page, std::int64_t baseFileTime,
                                  std::vector<LogEntry>& entries) {
    // One base for every timed entry of this page. Its milliseconds count:
    // an entry's stamp must not move with the moment within the second at
    // which the page happens to be read.
    const std::int64_t base = baseFileTime;
    DateTime lastConversion = DateTime::FromFileTime(base).value_or(DateTime());
    // Only what follows the first script marker is read.
    const std::size_t script = SjisFind(page, kScriptMarker);
    if (script == npos) {
        return LogPageOutcome::NotLogPage;
    }
    std::size_t position = script + kScriptMarker.size();
    bool firstEntryPending = true;
    std::optional<DateTime> stamp;  // none until the first timed entry
    std::int64_t ageMs = 0;
    std::string text;
    CallFinder subInfoCalls(page, kSubInfoCall);
    CallFinder timedCalls(page, kTimedCall);
    for (;;) {
        // The nearer of the two calls.
        const std::size_t subInfoAt = subInfoCalls.NextFrom(position);
        const std::size_t timedAt = timedCalls.NextFrom(position);
        if (subInfoAt == npos && timedAt == npos) {
            return firstEntryPending ? LogPageOutcome::NoEntry : LogPageOutcome::EntriesRead;
        }
        const bool subInfo = subInfoAt < timedAt;
        position = (subInfo ? subInfoAt : timedAt) + kTimedCall.size();
        // A timed entry: the age up to the comma, then its stamp.
        if (!subInfo) {
            const std::size_t comma = FindFrom(page, ",", position);
            if (comma == npos) {
                return LogPageOutcome::MalformedPage;
            }
            ageMs = ParseEntryAge(std::string_view(page).substr(position, comma - position));
            position = comma + 1;
            if (const auto entryTime = EntryFileTime(base, ageMs)) {
                if (const auto converted = DateTime::FromFileTime(*entryTime)) {
                    lastConversion = *converted;
                }
            }
            // Out of range: the previous conversion (or the base time) stands.
            stamp = lastConversion;
        }
        const std::size_t open = FindFrom(page, "'", position);
        if (open == npos) {
            return LogPageOutcome::MalformedPage;
        }
        const std::size_t close = ReadQuotedText(page, open + 1, text);
        if (close == npos) {
            return LogPageOutcome::MalformedPage;
        }
        position = close + 1;
        // The first entry read replaces what an earlier parse left.
        if (firstEntryPending) {
            firstEntryPending = false;
            entries.clear();
        }
        entries.push_back(LogEntry{stamp, ageMs, OneLine(text), subInfo});
    }
}

}  // namespace velmo
