#include "settings/SettingsStore.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <variant>

#include "settings/PasswordScramble.h"
#include "settings/ProfileFile.h"

namespace velmo {

namespace {

bool IsSpace(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// atoi's reading: optional leading white space, an optional sign, decimal
// digits up to the first other character; no digits gives 0. A number beyond
// the 32-bit range saturates instead of overflowing.
std::int32_t ParseInteger(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude >= limit) {
            magnitude = limit;  // later digits can only make it larger
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

// A value from its text in the file, by the type of its member.
void Read(const std::string& text, ToolSettings& s, bool ToolSettings::*member) {
    s.*member = ParseInteger(text) != 0;
}
void Read(const std::string& text, ToolSettings& s, std::int32_t ToolSettings::*member) {
    s.*member = ParseInteger(text);
}
void Read(const std::string& text, ToolSettings& s, std::string ToolSettings::*member) {
    s.*member = text;
}
void Read(const std::string& text, ToolSettings& s, Scrambled scrambled) {
    s.*scrambled.member = DecodePassword(text);
}
void Read(const std::string& text, ToolSettings& s, DateTime ToolSettings::*member) {
    const auto moment = DateTime::Parse(text);
    s.*member = moment && moment->IsValid() ? *moment : DateTime::Invalid();
}

// A value's text in the file.
std::string Written(const ToolSettings& s, bool ToolSettings::*member) {
    return s.*member ? "1" : "0";
}
std::string Written(const ToolSettings& s, std::int32_t ToolSettings::*member) {
    return std::to_string(s.*member);
}
std::string Written(const ToolSettings& s, std::string ToolSettings::*member) {
    return s.*member;
}
std::string Written(const ToolSettings& s, Scrambled scrambled) {
    const std::string& password = s.*scrambled.member;
    return password.empty() ? std::string() : EncodePassword(password);
}
std::string Written(const ToolSettings& s, DateTime ToolSettings::*member) {
    return (s.*member).Format(kDateTimeFormat);
}

// A feature whose moment did not read is off, and the moment is the present one.
void SwitchOffUnreadMoments(ToolSettings& s, Clock& clock) {
    for (const SettingRow& row : kSettingRows) {
        const auto* moment = std::get_if<DateTime ToolSettings::*>(&row.member);
        if (moment != nullptr && row.feature != nullptr && !(s.**moment).IsValid()) {
            s.*row.feature = false;
            s.** moment = clock.Now();
        }
    }
}

}  // namespace

const std::array<const char*, kSettingsKeyCount>& SettingsKeys() {
    static constexpr std::array<const char*, kSettingsKeyCount> keys = [] {
        std::array<const char*, kSettingsKeyCount> names{};
        for (std::size_t i = 0; i < names.size(); ++i) {
            names[i] = kSettingRows[i].key;
        }
        return names;
    }();
    return keys;
}

void LoadSettings(ToolSettings& settings, const std::string& path, Clock& clock) {
    const ProfileFile profile = ReadProfileFile(path);
    for (const SettingRow& row : kSettingRows) {
        const std::string text = profile.GetString(kSettingsSection, row.key, row.defaultText, row.maxBytes);
        std::visit([&](auto member) { Read(text, settings, member); }, row.member);
    }
    SwitchOffUnreadMoments(settings, clock);
    DeriveFromStoredValues(settings);
}

bool SaveSettings(const ToolSettings& settings, const std::string& path, std::string* reason) {
    // All the keys go into the file's current content, which is then
    // written in one piece, so every other section and line stays and a
    // failed write leaves the old file whole.
    ProfileFile profile = ReadProfileFile(path);
    for (const SettingRow& row : kSettingRows) {
        const std::string text =
            std::visit([&](auto member) { return Written(settings, member); }, row.member);
        // Section and key names are fixed writable names: Set cannot refuse them.
        profile.Set(kSettingsSection, row.key, text);
    }
    return WriteProfileFile(path, profile, reason);
}

}  // namespace velmo
