#include "logview/RowText.h"

#include "base/CodePage.h"
#include "routerlog/LogStamp.h"

namespace velmo {

const std::string& KindName(EntryKind kind) {
    static const std::array<std::string, kEntryKindCount> names = {Utf8ToSjis("不正アクセス"),
                                                                   Utf8ToSjis("ログイン/ログアウト"),
                                                                   Utf8ToSjis("回線"), Utf8ToSjis("その他")};
    return names[static_cast<int>(kind)];
}

const std::array<std::string, kRowColumns>& ColumnTitles() {
    static const std::array<std::string, kRowColumns> titles = {Utf8ToSjis("日時"), Utf8ToSjis("種類"),
                                                                Utf8ToSjis("送信元"), Utf8ToSjis("ポート"),
                                                                Utf8ToSjis("内容")};
    return titles;
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

}  // namespace velmo
