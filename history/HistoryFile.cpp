#include "history/HistoryFile.h"

#include <algorithm>

#include "base/CodePage.h"
#include "base/ExclusiveFile.h"
#include "base/FileSystem.h"
#include "base/SharedReadFile.h"
#include "history/RunningTime.h"

namespace velmo {

namespace {

constexpr std::size_t kStampLength = 19;  // "2026/12/08 10:00:00"

// The line of `text` that starts at `from`, and where the next one starts.
std::string_view NextLine(std::string_view text, std::size_t& from) {
    const std::size_t end = std::min(text.find_first_of("\r\n", from), text.size());
    const std::string_view line = text.substr(from, end - from);
    from = end;
    if (from < text.size() && text[from] == '\r') {
        ++from;
    }
    if (from < text.size() && text[from] == '\n') {
        ++from;
    }
    return line;
}

std::optional<DateTime> ParseStamp(std::string_view text) {
    if (text.size() != kStampLength) {
        return std::nullopt;
    }
    return DateTime::Parse(text);
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t from = 0;
    for (std::size_t comma; (comma = line.find(',', from)) != std::string_view::npos; from = comma + 1) {
        fields.push_back(line.substr(from, comma - from));
    }
    fields.push_back(line.substr(from));
    return fields;
}

// A decimal count; 0 for anything else.
std::uint64_t ParseNumber(std::string_view text) {
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

std::string OpenSessionLine(const OpenSession& open) {
    return open.start.Format(kDateTimeFormat) + "," + open.lastSeenUp.Format(kDateTimeFormat) + "\r\n";
}

}  // namespace

const std::string& HistoryHeader() {
    static const std::string header = Utf8ToSjis("開始,終了,接続時間,終了の理由\r\n");
    return header;
}

std::string HistoryRow(const Session& session) {
    return session.start.Format(kDateTimeFormat) + "," + session.end.Format(kDateTimeFormat) + "," +
           RunningTimeText(session.end.SecondsSince(session.start)) + "," + CauseWord(session.cause) + "\r\n";
}

std::optional<Session> ParseHistoryRow(std::string_view line) {
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() != 4) {
        return std::nullopt;
    }
    const std::optional<DateTime> start = ParseStamp(fields[0]);
    const std::optional<DateTime> end = ParseStamp(fields[1]);
    EndCause cause;
    if (!start || !end || *end < *start || !CauseFromWord(std::string(fields[3]), cause)) {
        return std::nullopt;
    }
    return Session{*start, *end, cause};
}

std::vector<Session> ParseRecentRows(std::string_view text, bool fromStart, const DateTime& since) {
    std::vector<Session> rows;
    std::size_t from = 0;
    if (!fromStart) {
        NextLine(text, from);
    }
    while (from < text.size()) {
        const std::optional<Session> row = ParseHistoryRow(NextLine(text, from));
        if (row && row->end >= since) {
            rows.push_back(*row);
        }
    }
    return rows;
}

bool AppendSessions(const std::string& path, const std::vector<Session>& rows, std::string& reason) {
    // One writer, any number of readers: the 接続履歴 window or another start
    // reading the record does not make a row wait.
    ExclusiveFile file;
    std::uint64_t size = 0;
    char last = '\n';
    if (!file.Open(path, FileSharing::Readers) || !file.Size(size) ||
        (size > 0 && !file.ReadAt(size - 1, &last, 1))) {
        reason = file.LastErrorText();
        return false;
    }
    std::string text = size == 0 ? HistoryHeader() : (last == '\n' || last == '\r' ? "" : "\r\n");
    for (const Session& row : rows) {
        text += HistoryRow(row);
    }
    if (!file.WriteAt(size, text) || !file.Flush()) {
        reason = file.LastErrorText();
        file.Truncate(size);  // a part of a row would read as a damaged line; cut it when possible
        return false;
    }
    return true;
}

std::vector<Session> ReadRecentSessions(const std::string& path, const DateTime& since,
                                        std::size_t blockSize) {
    // Read shared: a spreadsheet that holds the record open does not hide it.
    std::uint64_t position = 0;
    if (FileLength(path, position) != ReadResult::Read) {
        return {};
    }
    std::string text;
    while (position > 0) {
        const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(blockSize, position));
        position -= length;
        std::string block(length, '\0');
        std::size_t got = 0;
        std::uint64_t size = 0;
        if (ReadFileRange(path, position, block.data(), length, got, size) != ReadResult::Read ||
            got != length) {
            return {};
        }
        text.insert(0, block);
        // Rows are appended as sessions end: once the first whole row read
        // ended before `since`, nothing earlier is wanted.
        std::size_t from = 0;
        if (position > 0) {
            NextLine(text, from);
        }
        std::optional<Session> first;
        while (from < text.size() && !first) {
            first = ParseHistoryRow(NextLine(text, from));
        }
        if (first && first->end < since) {
            break;
        }
    }
    return ParseRecentRows(text, position == 0, since);
}

bool KeepLine(const std::string& path, const KeptLine& kept, std::string& reason, bool flush) {
    std::string text = kept.open ? OpenSessionLine(*kept.open) : std::string("\r\n");
    if (kept.lastAt) {
        text += "reading," + kept.lastAt->Format(kDateTimeFormat) + "," + std::to_string(kept.lastTick) +
                "," + std::to_string(kept.lastBoot) + "\r\n";
    }
    const SentCommand& sent = kept.command;
    if (sent.command != LineCommand::None) {
        text += "command," + std::to_string(static_cast<int>(sent.command)) + "," +
                sent.at.Format(kDateTimeFormat) + "," + std::to_string(sent.tick) + "," +
                (sent.ownsChange ? "1" : "0") + "," + (sent.sent ? "1" : "0") + "," +
                std::to_string(sent.boot) + "\r\n";
    }
    return ReplaceFileAtomically(path, text, &reason, flush);
}

KeptLine LoadKeptLine(const std::string& path) {
    KeptLine kept;
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        return kept;
    }
    std::size_t from = 0;
    const std::vector<std::string_view> open = Fields(NextLine(bytes, from));
    if (open.size() == 2 && ParseStamp(open[0]) && ParseStamp(open[1])) {
        kept.open = OpenSession{*ParseStamp(open[0]), *ParseStamp(open[1])};
    }
    while (from < bytes.size()) {
        const std::vector<std::string_view> fields = Fields(NextLine(bytes, from));
        // The boot fields came later: a file without them reads with the boot unknown.
        if ((fields.size() == 3 || fields.size() == 4) && fields[0] == "reading" && ParseStamp(fields[1])) {
            kept.lastAt = ParseStamp(fields[1]);
            kept.lastTick = ParseNumber(fields[2]);
            kept.lastBoot = fields.size() == 4 ? ParseNumber(fields[3]) : 0;
        } else if ((fields.size() == 6 || fields.size() == 7) && fields[0] == "command" &&
                   ParseStamp(fields[2])) {
            const std::uint64_t command = ParseNumber(fields[1]);
            if (command <= static_cast<std::uint64_t>(LineCommand::AutoDisconnect)) {
                kept.command = {static_cast<LineCommand>(command),
                                *ParseStamp(fields[2]),
                                ParseNumber(fields[3]),
                                fields.size() == 7 ? ParseNumber(fields[6]) : 0,
                                fields[4] == "1",
                                fields[5] == "1"};
            }
        }
    }
    return kept;
}

bool KeepPendingRows(const std::string& path, const std::vector<Session>& rows, std::string& reason) {
    std::string text;
    for (const Session& row : rows) {
        text += HistoryRow(row);
    }
    return ReplaceFileAtomically(path, text, &reason);
}

std::vector<Session> LoadPendingRows(const std::string& path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        return {};
    }
    return ParseRecentRows(bytes, true, DateTime::FromParts(100, 1, 1, 0, 0, 0));
}

std::optional<OpenSession> StillOpen(const std::optional<OpenSession>& kept,
                                     const std::vector<Session>& recent) {
    if (kept && std::any_of(recent.begin(), recent.end(),
                            [&](const Session& row) { return row.start == kept->start; })) {
        return std::nullopt;
    }
    return kept;
}

}  // namespace velmo
