// A private-profile (INI) file held as bytes, read and written with the
// Windows rules, so that Shift-JIS values survive on every locale.
//
// Reading: section and key names match without regard to the case of ASCII
// letters; a value is trimmed of blanks and tabs, then one pair of enclosing
// matching quotes (' or ") is removed, then it is cut to a byte limit at a
// character boundary. The first matching section and the first matching key
// in it win; later duplicates are ignored. Lines end in CR LF, LF or CR.
//
// Writing: a present key gets its new value in place (the key part and the
// line end stay); a missing key is added after the last non-blank line of its
// section; a missing section is added at the end of the file. Every other line
// stays byte for byte; lines the writer creates end in CR LF.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmo {

// The most bytes of a value a read returns (the platform reader's buffer of
// 1023 characters with the terminating zero).
inline constexpr std::size_t kProfileValueLimit = 1022;

class ProfileFile {
  public:
    ProfileFile() = default;

    // Any bytes are accepted; what is not a section header or a key line is
    // kept as it is and otherwise ignored.
    static ProfileFile Parse(std::string_view text);

    // The value of `key` in `section`, or nullopt when either is absent.
    std::optional<std::string> Get(std::string_view section, std::string_view key,
                                   std::size_t maxBytes = kProfileValueLimit) const;
    // The value, or `defaultText` when absent.
    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultText,
                          std::size_t maxBytes = kProfileValueLimit) const;

    // Sets `key` in `section` to `value`. A value the reader would change
    // (enclosing quotes, blanks at either end) is written inside one more
    // pair of double quotes; a value holding CR or LF is cut at the first of
    // them, since the file cannot hold it. False, and nothing changed, when a
    // name cannot be written so that it reads back (see IsWritableName).
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    // The whole file.
    std::string Text() const;

  private:
    struct Line {
        std::string text;    // without its line end
        std::string ending;  // "\r\n", "\n", "\r" or "" (last line without one)
    };
    struct SectionRange {
        std::size_t header;  // index of the header line
        std::size_t end;     // index one past the section's last line
    };

    std::optional<SectionRange> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(const SectionRange& range, std::string_view key) const;
    void InsertLine(std::size_t index, std::string text);

    std::vector<Line> lines_;
};

// What the profile writer stores for `value` so that the reader returns it
// unchanged (up to the first CR or LF).
std::string EncodeProfileValue(std::string_view value);

// True when `name` reads back as itself as a section or key name: no CR or LF,
// no blank or tab at either end, not starting with '[', and (for a key) no '='.
bool IsWritableName(std::string_view name, bool isKey);

// The profile in the file at `path`; an empty profile when the file is
// missing or unreadable.
ProfileFile ReadProfileFile(const std::string& path);

// Writes the whole profile at once (temporary file beside it, then rename), so
// the file is never left half written. False when the write failed, with the
// system's reason in `reason` when given.
bool WriteProfileFile(const std::string& path, const ProfileFile& profile, std::string* reason = nullptr);

}  // namespace velmo
