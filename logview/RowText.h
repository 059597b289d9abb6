// A shown row as the list's columns and as CSV: 日時, 種類, 送信元, ポート,
// 内容, all CP932; a CSV line ends in CR LF.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/CancelToken.h"
#include "logview/LogRows.h"

namespace velmo {

inline constexpr int kRowColumns = 5;

// The kind's name as the window shows it (CP932), in the language the tool
// speaks.
const std::string& KindName(EntryKind kind);

// The column titles (in the language the tool speaks), and a row's cells: the
// stamp's date and time, the kind, the source and port of an access entry,
// and the text after the stamp.
std::array<std::string, kRowColumns> ColumnTitles();
std::array<std::string, kRowColumns> RowCells(const ShownRow& row);

// One CSV line of cells (quoted where a cell holds a comma, a quote or a
// line end), ending in CR LF.
std::string CsvLine(const std::array<std::string, kRowColumns>& cells);

enum class ExportResult { Written, Cut, ReadStopped, WriteFailed, Cancelled };

// The title line, then the CSV lines of the first `rowLimit` rows of `rows`,
// handed to `write` in batches of rows read at once, so that memory does
// not grow with the rows. Cut when rows past the limit were left out;
// ReadStopped when the archive could not be read or no longer holds the rows
// counted, WriteFailed when `write` refused a batch: what was written is then
// incomplete.
ExportResult WriteShownCsv(ArchiveBytes& bytes, const LogRows& rows, const RowFilter& filter,
                           std::uint64_t rowLimit, const CancelToken& cancel,
                           const std::function<bool(std::string_view)>& write);

}  // namespace velmo
