// velmo-settings-writer: writes a settings file for the demo and for scripts
// with the tool's own settings code, so a change to the file format or to the
// password scrambling reaches them too.
//
//   velmo-settings-writer FILE KEY=VALUE...
//
// KEY is one of the stored keys of section "Setting" (any case); VALUE is
// UTF-8 and is stored in Shift-JIS, RootPasswd in clear (it is scrambled as
// the tool scrambles it). The pairs go into FILE (created when missing, every
// other line kept), the tool's loading reads them with its defaults for the
// keys not given, and its saving writes every stored key back. Exits with 0
// on success, 1 when the file cannot be written or the password does not come
// back, 2 on a usage error (such as an unknown key).
#include <cstdio>
#include <string>
#include <string_view>

#include "base/Clock.h"
#include "base/CodePage.h"
#include "settings/PasswordScramble.h"
#include "settings/ProfileFile.h"
#include "settings/SettingsStore.h"
#include "settings/ToolSettings.h"

namespace {

bool SameAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The key as the settings code spells it, or nullptr for no such key.
const char* StoredKey(std::string_view key) {
    for (const char* known : velmo::SettingsKeys()) {
        if (SameAsciiCase(key, known)) {
            return known;
        }
    }
    return nullptr;
}

int Usage(const char* problem) {
    std::fprintf(stderr, "velmo-settings-writer: %s\nusage: velmo-settings-writer FILE KEY=VALUE...\n",
                 problem);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage("no file given");
    }
    const std::string path = argv[1];
    velmo::ProfileFile profile = velmo::ReadProfileFile(path);
    std::string password;
    for (int i = 2; i < argc; ++i) {
        const std::string_view pair = argv[i];
        const std::size_t equals = pair.find('=');
        const char* key = equals == std::string_view::npos ? nullptr : StoredKey(pair.substr(0, equals));
        if (key == nullptr) {
            return Usage(("not KEY=VALUE with a settings key: " + std::string(pair)).c_str());
        }
        std::string value = velmo::Utf8ToSjis(std::string(pair.substr(equals + 1)));
        if (key == std::string_view("RootPasswd")) {
            password = value;
            value = velmo::EncodePassword(value);
        }
        profile.Set(velmo::kSettingsSection, key, value);  // a settings key is always writable
    }
    if (!velmo::WriteProfileFile(path, profile)) {
        std::fprintf(stderr, "velmo-settings-writer: cannot write %s\n", path.c_str());
        return 1;
    }
    velmo::ToolSettings settings;
    velmo::LoadSettings(settings, path, velmo::SystemClock());
    if (!velmo::SaveSettings(settings, path)) {
        std::fprintf(stderr, "velmo-settings-writer: cannot write %s\n", path.c_str());
        return 1;
    }
    velmo::ToolSettings check;
    velmo::LoadSettings(check, path, velmo::SystemClock());
    if (check.RootPasswd != settings.RootPasswd || (!password.empty() && check.RootPasswd != password)) {
        std::fprintf(stderr, "velmo-settings-writer: the password does not read back from %s\n",
                     path.c_str());
        return 1;
    }
    return 0;
}
