// The record file "Velmo tool history.csv": Shift-JIS, CR LF, a header line,
// then one row per ended session, only ever appended to. The open session is
// kept beside it in a file of one line that is replaced whole at each change,
// so a crash at any moment leaves either the old or the new one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/KeptLine.h"
#include "history/Session.h"

namespace velmo {

inline constexpr const char* kHistoryFileName = "Velmo tool history.csv";
inline constexpr const char* kOpenSessionFileName = "Velmo tool history.open";
// Rows the record could not take yet, in the order they ended.
inline constexpr const char* kPendingRowsFileName = "Velmo tool history.pending";
inline constexpr std::size_t kHistoryBlockSize = 64 * 1024;

// "開始,終了,接続時間,終了の理由" and CR LF (CP932).
const std::string& HistoryHeader();
// "2026/12/08 10:00:00,2026/12/08 11:00:03,1:00:03,回線断" and CR LF.
std::string HistoryRow(const Session& session);
// A row as HistoryRow writes it (without its line end); nullopt for any other line.
std::optional<Session> ParseHistoryRow(std::string_view line);

// The rows of `text` that ended at `since` or later, in file order. When
// `fromStart` is false the text begins inside the file and its first line
// (maybe cut) is passed over. Lines that are no row are read past.
std::vector<Session> ParseRecentRows(std::string_view text, bool fromStart, const DateTime& since);

// Appends `rows` (the header first into an empty file, a line end first after
// a cut last line) and flushes them to the disk. False with the system's
// reason when the file cannot be opened or written; then nothing of the rows
// counts as written.
bool AppendSessions(const std::string& path, const std::vector<Session>& rows, std::string& reason);

// The rows that ended at `since` or later, read backwards from the file's end
// block by block until a row ends before `since`: the cost follows the days
// asked for, not the file's age. Empty when the file cannot be read.
std::vector<Session> ReadRecentSessions(const std::string& path, const DateTime& since,
                                        std::size_t blockSize = kHistoryBlockSize);

// The kept line, replaced whole: the open session's line as earlier versions
// wrote it (empty when none), then the last reading and the last command.
bool KeepLine(const std::string& path, const KeptLine& kept, std::string& reason, bool flush = true);
// Reads what KeepLine wrote, or an earlier version's one line; nothing kept
// when the file is absent or unreadable.
KeptLine LoadKeptLine(const std::string& path);

// The rows waiting for the record, replaced whole (empty when none), and read back.
bool KeepPendingRows(const std::string& path, const std::vector<Session>& rows, std::string& reason);
std::vector<Session> LoadPendingRows(const std::string& path);

// The kept session, unless the record already holds it as ended (a crash
// came between the row's append and the kept file's replacement).
std::optional<OpenSession> StillOpen(const std::optional<OpenSession>& kept,
                                     const std::vector<Session>& recent);

}  // namespace velmo
