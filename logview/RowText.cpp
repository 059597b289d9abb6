#include "logview/RowText.h"

#include <algorithm>
#include <vector>

#include "res/StringTable.h"
#include "res/resource.h"
#include "routerlog/LogStamp.h"

namespace velmo {

const std::string& KindName(EntryKind kind) {
    static constexpr int kIds[kEntryKindCount] = {IDS_KIND_ACCESS, IDS_KIND_LOGIN, IDS_KIND_LINE,
                                                  IDS_KIND_OTHER};
    return TableString(kIds[static_cast<int>(kind)]);
}

std::array<std::string, kRowColumns> ColumnTitles() {
    return {TableString(IDS_COLUMN_TIME), TableString(IDS_COLUMN_KIND), TableString(IDS_COLUMN_SOURCE),
            TableString(IDS_COLUMN_PORT), TableString(IDS_COLUMN_TEXT)};
}

std::array<std::string, kRowColumns> RowCells(const ShownRow& row) {
    std::array<std::string, kRowColumns> cells;
    const std::size_t stampLength = LogStampBlanks().size();
    const std::string_view line = row.line;
    std::int32_t day = 0;
    if (StampDay(line, day)) {
        cells[0] = line.substr(1, 19);  // "YYYY/MM/DD hh:mm:ss"
        cells[4] = line.substr(std::min(stampLength, line.size()));
    } else if (line.substr(0, std::min(stampLength, line.size())) == LogStampBlanks()) {
        cells[4] = line.substr(stampLength);
    } else {
        cells[4] = line;
    }
    cells[1] = KindName(row.kind);
    cells[2] = row.source;
    cells[3] = row.port;
    return cells;
}

std::string CsvLine(const std::array<std::string, kRowColumns>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        const std::string& cell = cells[i];
        if (cell.find_first_of(",\"\r\n") == std::string::npos) {
            line += cell;
            continue;
        }
        // A quote's bytes never stand as a trail byte, so doubling each is safe in CP932.
        line += '"';
        for (char c : cell) {
            line += c;
            if (c == '"') {
                line += '"';
            }
        }
        line += '"';
    }
    return line + "\r\n";
}

ExportResult WriteShownCsv(ArchiveBytes& bytes, const LogRows& rows, const RowFilter& filter,
                           std::uint64_t rowLimit, const CancelToken& cancel,
                           const std::function<bool(std::string_view)>& write) {
    constexpr std::size_t kBatchRows = 10000;
    std::string text;
    for (const std::string& title : ColumnTitles()) {
        text += (text.empty() ? "" : ",") + title;
    }
    text += "\r\n";
    if (!write(text)) {
        return ExportResult::WriteFailed;
    }
    const std::uint64_t count = std::min(rows.Count(), rowLimit);
    RowReader reader;
    std::vector<ShownRow> shown;
    for (std::uint64_t first = 0; first < count; first += shown.size()) {
        if (cancel.Cancelled()) {
            return ExportResult::Cancelled;
        }
        const auto batch = static_cast<std::size_t>(std::min<std::uint64_t>(kBatchRows, count - first));
        if (!reader.Read(bytes, rows, filter, first, batch, shown) || shown.empty()) {
            return ExportResult::ReadStopped;
        }
        text.clear();
        for (const ShownRow& row : shown) {
            text += CsvLine(RowCells(row));
        }
        if (!write(text)) {
            return ExportResult::WriteFailed;
        }
    }
    return rows.Count() > count ? ExportResult::Cut : ExportResult::Written;
}

}  // namespace velmo
