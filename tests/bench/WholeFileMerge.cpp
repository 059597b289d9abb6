// The whole-file merge this benchmark compares against: it reads the entire
// file into memory and walks it from the start. Kept only to measure it.
#include "tests/bench/WholeFileMerge.h"

#include "routerlog/LogFile.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "base/ExclusiveFile.h"
#include "base/SjisText.h"
#include "routerlog/LogStamp.h"

namespace velmo::wholefile {

namespace {

constexpr std::string_view kAccessWarningText = "Unrecognized access";

// What reading the file tells the merge.
struct FileTail {
    std::size_t cutAt = 0;
    std::string_view lastKey;
    std::string_view lastLine;
};

// One line of the file, without its line end.
struct FileLine {
    std::string_view text;
    std::size_t start = 0;
};

// Reads the line at `next` and moves `next` past its line end (CR LF, LF or CR).
bool NextLine(std::string_view content, std::size_t& next, FileLine& line) {
    if (next >= content.size()) {
        return false;
    }
    const std::size_t end = std::min(content.find_first_of("\r\n", next), content.size());
    line = {content.substr(next, end - next), next};
    next = end;
    if (next < content.size()) {
        next += content[next] == '\r' && next + 1 < content.size() && content[next + 1] == '\n' ? 2 : 1;
    }
    return true;
}

// ends the file is tracked as the lines go by: any other line ends a run.
FileTail ReadFileTail(std::string_view content) {
    FileTail tail;
    tail.cutAt = content.size();
    std::size_t runStart = npos;        // first line of the current run of tool lines
    std::size_t failureAt = npos;       // first failure line of that run
    std::string_view keyBeforeFailure;  // the last key as it stood before that line
    std::string_view lastKey;
    std::string_view lastLine;
    std::size_t lastPosition = 0;
    std::string_view entryKey;  // the last line with a key that is not a tool line
    std::string_view entryLine;

    std::size_t next = 0;
    FileLine line;
    while (NextLine(content, next, line)) {
        const bool failure = IsFailureLine(line.text);
        if (line.text.empty() || failure || IsUpdateMarkerLine(line.text)) {
            if (runStart == npos) {
                runStart = line.start;
            }
            if (failure && failureAt == npos) {
                failureAt = line.start;
                keyBeforeFailure = lastKey;
            }
        } else {
            runStart = npos;
            failureAt = npos;
        }
        std::string_view key;
        if (StampKey(line.text, key)) {
            lastKey = key;
            lastLine = line.text;
            lastPosition = line.start;
            if (runStart == npos) {
                entryKey = key;
                entryLine = line.text;
            }
        }
    }

    if (failureAt != npos) {
        // last key is that of the line before it, the last line is empty.
        tail.cutAt = failureAt;
        tail.lastKey = keyBeforeFailure;
    } else if (IsUpdateMarkerLine(lastLine) && runStart != npos && lastPosition >= runStart) {
        // the last entry before it, not by the marker's own stamp: the marker
        // is written after the page was read (a logout with retries can take
        // seconds), and an entry the router logged in between would sort
        // before the marker and be dropped by every later capture.
        tail.cutAt = lastPosition;
        tail.lastKey = entryKey;
        tail.lastLine = entryLine;
    } else {
        tail.lastKey = lastKey;
        tail.lastLine = lastLine;
    }
    return tail;
}

// file's last line itself when the walk reaches it. A router writes several
// entries within one second; the file's last line need not be the first of
// the lines sharing its key, so the lines that share the last key are looked
// through for it (lines of other keys are never dropped by that search).
void DropKnownLines(std::string& captureText, const FileTail& tail) {
    std::size_t cut = 0;
    bool walkEnded = false;
    std::size_t start = 0;
    for (std::size_t end; (end = captureText.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string_view line = std::string_view(captureText).substr(start, end - start);
        std::string_view key;
        if (!StampKey(line, key)) {
            continue;
        }
        if (!walkEnded && key < tail.lastKey) {
            cut = end + 1;
            continue;
        }
        walkEnded = true;
        if (key != tail.lastKey || tail.lastLine.empty()) {
            break;
        }
        if (line == tail.lastLine) {
            cut = end + 1;
            break;
        }
    }
    captureText.erase(0, cut);
}

// LF line ends become CR LF. A kept part that ends inside a line (no final
// line end) gets one first, so that the new lines never run into it.
std::string ToFileText(std::string_view content, std::size_t cutAt, const std::string& captureText) {
    std::string text;
    text.reserve(captureText.size() + captureText.size() / 16 + 2);
    if (cutAt > 0 && content[cutAt - 1] != '\n' && content[cutAt - 1] != '\r') {
        text += "\r\n";
    }
    for (char c : captureText) {
        if (c == '\n') {
            text += '\r';
        }
        text += c;
    }
    return text;
}

bool WriteMerge(ExclusiveFile& file, std::uint64_t oldSize, const LogMerge& merge) {
    // The new text goes after everything first: that is the only step that
    // needs new room on the disk, and if it fails the file is cut back to
    // exactly what it held.
    if (!file.WriteAt(oldSize, merge.appendText)) {
        file.Truncate(oldSize);
        return false;
    }
    if (merge.cutAt == oldSize) {
        return true;
    }
    // Then the same text overwrites the tail that is cut (within the room the
    // file already has) and the rest is dropped.
    return file.WriteAt(merge.cutAt, merge.appendText) &&
           file.Truncate(merge.cutAt + merge.appendText.size());
}

}  // namespace

LogMerge MergeWholeFile(std::string_view fileContent, std::string captureText, DateTime now) {
    LogMerge merge;
    const FileTail tail = ReadFileTail(fileContent);
    merge.cutAt = tail.cutAt;
    DropKnownLines(captureText, tail);
    merge.accessWarning = SjisContains(captureText, kAccessWarningText);
    captureText += UpdateMarkerLine(now);
    captureText += '\n';
    merge.appendText = ToFileText(fileContent, merge.cutAt, captureText);
    return merge;
}

LogFileResult UpdateWholeFile(const std::string& fileName, std::string captureText, DateTime now) {
    LogFileResult result;
    ExclusiveFile file;
    if (!file.Open(fileName)) {
        return result;
    }
    std::string content;
    if (!file.ReadAll(content)) {
        // Without the content there is no safe place to cut: leave the file alone.
        return result;
    }
    const LogMerge merge = MergeLogText(content, std::move(captureText), now);
    result.accessWarning = merge.accessWarning;
    result.written = WriteMerge(file, content.size(), merge);
    return result;
}

}  // namespace velmo::wholefile
