#include "logview/EntryKinds.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "base/CodePage.h"
#include "base/SjisText.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "routerlog/LogStamp.h"

namespace velmo {

namespace {

struct KindWord {
    const char* utf8;
    EntryKind kind;
    bool drop;
};

// The router's words, the first found in this order deciding the kind: an
// access report names its source even when it mentions a login, and a login
// report may mention the line.
constexpr KindWord kKindWords[] = {
    {"Unrecognized access", EntryKind::Access, false},
    {"不正アクセス", EntryKind::Access, false},
    {"logged out", EntryKind::Login, false},
    {"login", EntryKind::Login, false},
    {"logout", EntryKind::Login, false},
    {"Login", EntryKind::Login, false},
    {"Logout", EntryKind::Login, false},
    {"ログイン", EntryKind::Login, false},
    {"ログアウト", EntryKind::Login, false},
    {"PPP down", EntryKind::Line, true},
    {"PPPoE down", EntryKind::Line, true},
    {"link down", EntryKind::Line, true},
    {"切断しました", EntryKind::Line, true},
    {"回線断", EntryKind::Line, true},
    {"PPP up", EntryKind::Line, false},
    {"PPPoE up", EntryKind::Line, false},
    {"link up", EntryKind::Line, false},
    {"接続しました", EntryKind::Line, false},
};

struct Word {
    std::string bytes;
    EntryKind kind;
    bool drop;
};

// The table in CP932, with the words grouped by their first byte so that a
// line is walked once.
struct WordTable {
    std::vector<Word> words;
    std::array<std::vector<std::uint8_t>, 256> byFirstByte;

    WordTable() {
        for (const KindWord& row : kKindWords) {
            words.push_back({Utf8ToSjis(row.utf8), row.kind, row.drop});
        }
        for (std::size_t i = 0; i < words.size(); ++i) {
            byFirstByte[static_cast<unsigned char>(words[i].bytes[0])].push_back(
                static_cast<std::uint8_t>(i));
        }
    }
};

const WordTable& Table() {
    static const WordTable table;
    return table;
}

int Digits(std::string_view text, std::size_t position, std::size_t count) {
    int value = 0;
    for (std::size_t i = position; i < position + count; ++i) {
        const unsigned digit = static_cast<unsigned char>(text[i]) - '0';
        if (digit > 9) {
            return -1;
        }
        value = value * 10 + static_cast<int>(digit);
    }
    return value;
}

// SjisCharLength, here where every byte of every line passes.
inline std::size_t CharLength(std::string_view text, std::size_t i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool lead = (byte >= 0x81 && byte <= 0x9f) || (byte >= 0xe0 && byte <= 0xfc);
    return lead && i + 1 < text.size() ? 2 : 1;
}

// The lowest table row whose word stands in `text` at a character boundary;
// -1 when none does.
int FirstWord(std::string_view text, std::size_t& at) {
    const WordTable& table = Table();
    int best = -1;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        for (std::uint8_t row : table.byFirstByte[static_cast<unsigned char>(text[i])]) {
            const std::string& word = table.words[row].bytes;
            if ((best < 0 || row < best) && text.size() - i >= word.size() &&
                std::memcmp(text.data() + i, word.data(), word.size()) == 0) {
                best = row;
                at = i + word.size();
            }
        }
        if (best == 0) {
            break;
        }
    }
    return best;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "... from ADDRESS[:PORT] [to port N]": the address ("[v6]:port", "v4:port",
// a bare v6 with its colons, a bare v4) and the port knocked at.
void ReadSource(std::string_view text, LineFacts& facts) {
    const std::size_t from = SjisFind(text, "from ");
    if (from == npos) {
        return;
    }
    std::size_t begin = from + 5;
    std::size_t end = begin;
    while (end < text.size() && text[end] != ' ' && text[end] != ',' && text[end] != ')') {
        ++end;
    }
    std::string_view token = text.substr(begin, end - begin);
    std::string_view sourcePort;
    if (!token.empty() && token[0] == '[') {
        const std::size_t close = token.find(']');
        if (close != std::string_view::npos) {
            if (close + 1 < token.size() && token[close + 1] == ':') {
                sourcePort = token.substr(close + 2);
            }
            token = token.substr(1, close - 1);
        }
    } else if (const std::size_t colon = token.find(':');
               colon != std::string_view::npos && token.find(':', colon + 1) == std::string_view::npos) {
        sourcePort = token.substr(colon + 1);
        token = token.substr(0, colon);
    }
    facts.source = token;
    facts.port = sourcePort;
    const std::size_t port = SjisFind(text, "port ", end);
    if (port != npos) {
        std::size_t digitsEnd = port + 5;
        while (digitsEnd < text.size() && IsDigit(text[digitsEnd])) {
            ++digitsEnd;
        }
        if (digitsEnd > port + 5) {
            facts.port = text.substr(port + 5, digitsEnd - port - 5);
        }
    }
}

}  // namespace

std::int32_t DayNumber(int year, int month, int day) {
    // Days from civil, counted from 1 March of year 0 so that leap days end a year.
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void DayDate(std::int32_t dayNumber, int& year, int& month, int& day) {
    const int z = dayNumber + 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int dayOfEra = z - era * 146097;
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int mp = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

bool StampDay(std::string_view line, std::int32_t& day) {
    // The places FormatLogStamp puts the fields and separators at.
    if (line.size() < 21 || line[0] != '[' || line[5] != '/' || line[8] != '/' || line[11] != ' ' ||
        line[14] != ':' || line[17] != ':' || line[20] != ']') {
        return false;
    }
    const int year = Digits(line, 1, 4);
    const int month = Digits(line, 6, 2);
    const int dayOfMonth = Digits(line, 9, 2);
    if (year < 0 || month < 1 || month > 12 || dayOfMonth < 1 || dayOfMonth > 31 || Digits(line, 12, 2) < 0 ||
        Digits(line, 15, 2) < 0 || Digits(line, 18, 2) < 0) {
        return false;
    }
    day = DayNumber(year, month, dayOfMonth);
    return true;
}

bool IsTrailingToolLine(std::string_view line) {
    // Only a line that ends in one of the tool's texts is looked at closely.
    static const std::string marker = TableString(IDS_LOG_UPDATE_MARKER);
    static const std::string failure = TableString(IDS_LOG_FAILURE);
    return line.empty() || (line.ends_with(marker) && IsUpdateMarkerLine(line)) ||
           (line.ends_with(failure) && IsFailureLine(line));
}

LineFacts ReadLineFacts(std::string_view line, EntryKind before) {
    LineFacts facts;
    const std::size_t stampLength = LogStampBlanks().size();
    facts.stamped = StampDay(line, facts.day);
    if (IsTrailingToolLine(line)) {
        facts.toolLine = true;
        return facts;
    }
    const bool blankStamp = line.size() >= stampLength && line.substr(0, stampLength) == LogStampBlanks();
    std::string_view text =
        facts.stamped || blankStamp ? line.substr(std::min(stampLength, line.size())) : line;
    // The capture writes a sub-info entry with the stamp of the entry before it
    // (or blanks) and the router indents its text.
    facts.continuation = blankStamp || (facts.stamped && !text.empty() && text[0] == ' ');
    if (facts.continuation) {
        facts.kind = before;
        return facts;
    }
    std::size_t after = 0;
    const int row = FirstWord(text, after);
    if (row >= 0) {
        const Word& word = Table().words[static_cast<std::size_t>(row)];
        facts.kind = word.kind;
        facts.drop = word.drop;
        if (word.kind == EntryKind::Access) {
            ReadSource(text.substr(after), facts);
        }
    }
    return facts;
}

}  // namespace velmo
