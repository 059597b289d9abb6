// A shown row as the list's columns and as CSV: 日時, 種類, 送信元, ポート,
// 内容, all CP932; a CSV line ends in CR LF.
#pragma once

#include <array>
#include <string>

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

}  // namespace velmo
