#include "settings/ProfileFile.h"

#include <utility>

#include "base/FileSystem.h"
#include "base/SjisText.h"

namespace velmo {

namespace {

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

// Blanks and tabs are single bytes that are never the trail byte of a
// double-byte character, so trimming them byte by byte is safe.
std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsBlankLine(std::string_view text) {
    return TrimBlanks(text).empty();
}

bool IsQuote(char ch) {
    return ch == '"' || ch == '\'';
}

bool HasEnclosingQuotes(std::string_view text) {
    return text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front();
}

// What one line of the file is to the reader.
struct LineMeaning {
    enum Kind { kOther, kSection, kKey } kind = kOther;
    std::string_view name;        // section or key name, trimmed
    std::size_t valueOffset = 0;  // for a key: where the value starts in the line (after '=')
};

// A section header is "[name]" after leading blanks, closed by the line's last
// ']'; a header without ']' is read as a key line, as the platform reader does.
// A key line is "key=value"; any other line means nothing to the reader.
LineMeaning ClassifyLine(std::string_view line) {
    const std::string_view body = TrimBlanks(line);
    LineMeaning meaning;
    if (!body.empty() && body.front() == '[') {
        const std::size_t close = SjisFindLastChar(body, ']');
        if (close != npos) {
            meaning.kind = LineMeaning::kSection;
            meaning.name = TrimBlanks(body.substr(1, close - 1));
            return meaning;
        }
    }
    const std::size_t equals = SjisFindChar(line, '=');
    if (equals == npos) {
        return meaning;
    }
    meaning.kind = LineMeaning::kKey;
    meaning.name = TrimBlanks(line.substr(0, equals));
    meaning.valueOffset = equals + 1;
    return meaning;
}

// Trim, drop one pair of enclosing quotes, cut to the limit.
std::string ReadValue(std::string_view raw, std::size_t maxBytes) {
    std::string_view value = TrimBlanks(raw);
    if (HasEnclosingQuotes(value)) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(SjisTruncate(value, maxBytes));
}

}  // namespace

std::string EncodeProfileValue(std::string_view value) {
    // A line end inside the value would end the line: keep what comes before it.
    value = value.substr(0, value.find_first_of("\r\n"));
    const bool readerWouldChange =
        HasEnclosingQuotes(value) || (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back())));
    if (readerWouldChange) {
        return '"' + std::string(value) + '"';
    }
    return std::string(value);
}

bool IsWritableName(std::string_view name, bool isKey) {
    if (name.find_first_of("\r\n") != npos) {
        return false;
    }
    // A key line starting with '[' would turn into a section header as soon
    // as its value holds a ']'.
    if (isKey && !name.empty() && name.front() == '[') {
        return false;
    }
    // Write the line the writer would write and read it back.
    const std::string line = isKey ? std::string(name) + "=" : "[" + std::string(name) + "]";
    const LineMeaning meaning = ClassifyLine(line);
    const LineMeaning::Kind wanted = isKey ? LineMeaning::kKey : LineMeaning::kSection;
    return meaning.kind == wanted && meaning.name == name;
}

ProfileFile ProfileFile::Parse(std::string_view text) {
    ProfileFile profile;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        if (end == npos) {
            profile.lines_.push_back({std::string(text.substr(pos)), ""});
            break;
        }
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        const std::size_t endingSize = crlf ? 2 : 1;
        profile.lines_.push_back(
            {std::string(text.substr(pos, end - pos)), std::string(text.substr(end, endingSize))});
        pos = end + endingSize;
    }
    return profile;
}

std::optional<ProfileFile::SectionRange> ProfileFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const LineMeaning meaning = ClassifyLine(lines_[i].text);
        if (meaning.kind != LineMeaning::kSection || !SjisEqualsIgnoreCase(meaning.name, section)) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < lines_.size() && ClassifyLine(lines_[end].text).kind != LineMeaning::kSection) {
            ++end;
        }
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> ProfileFile::FindKey(const SectionRange& range, std::string_view key) const {
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const LineMeaning meaning = ClassifyLine(lines_[i].text);
        if (meaning.kind == LineMeaning::kKey && SjisEqualsIgnoreCase(meaning.name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key,
                                            std::size_t maxBytes) const {
    const auto range = FindSection(section);
    if (!range) {
        return std::nullopt;
    }
    const auto index = FindKey(*range, key);
    if (!index) {
        return std::nullopt;
    }
    const std::string& line = lines_[*index].text;
    return ReadValue(std::string_view(line).substr(ClassifyLine(line).valueOffset), maxBytes);
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultText, std::size_t maxBytes) const {
    if (auto value = Get(section, key, maxBytes)) {
        return std::move(*value);
    }
    return std::string(defaultText);
}

void ProfileFile::InsertLine(std::size_t index, std::string text) {
    // The line before may be the file's last line without a line end.
    if (index > 0 && lines_[index - 1].ending.empty()) {
        lines_[index - 1].ending = "\r\n";
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), Line{std::move(text), "\r\n"});
}

bool ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsWritableName(section, false) || !IsWritableName(key, true)) {
        return false;
    }
    const std::string keyLine = std::string(key) + "=" + EncodeProfileValue(value);
    const auto range = FindSection(section);
    if (!range) {
        InsertLine(lines_.size(), "[" + std::string(section) + "]");
        InsertLine(lines_.size(), keyLine);
        return true;
    }
    if (const auto index = FindKey(*range, key)) {
        std::string& line = lines_[*index].text;
        line = line.substr(0, ClassifyLine(line).valueOffset) + EncodeProfileValue(value);
        return true;
    }
    std::size_t last = range->header;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (!IsBlankLine(lines_[i].text)) {
            last = i;
        }
    }
    InsertLine(last + 1, keyLine);
    return true;
}

std::string ProfileFile::Text() const {
    std::string text;
    for (const Line& line : lines_) {
        text += line.text;
        text += line.ending;
    }
    return text;
}

ProfileFile ReadProfileFile(const std::string& path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        return ProfileFile();  // missing or unreadable: every key takes its default
    }
    return ProfileFile::Parse(bytes);
}

bool WriteProfileFile(const std::string& path, const ProfileFile& profile, std::string* reason) {
    return ReplaceFileAtomically(path, profile.Text(), reason);
}

}  // namespace velmo
