// velmo-routersim: runs the router simulator on 127.0.0.1 until it is killed.
//
//   velmo-routersim [--port N] [--lang ja|en] [--wan dialup|pppoe|pptp|static|none]
//                   [--model TEXT] [--banner 1|2] [--modem-label auto|ja-blank|ja|en]
//                   [--connected] [--command-delay MS] [--commands 0,8,...]
//                   [--fault PATH=silent|delay:MS|status:CODE|close:N|size:N]...
//                   [--password TEXT] [--log-open] [--log-entries N]
//                   [--login-form get|post|both-get-first|both-post-first]
//
// GET /sim/add-log?TEXT adds a log entry stamped now (TEXT: percent-encoded UTF-8).
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "base/CodePage.h"
#include "sim/RouterSimulator.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void OnStopSignal(int) {
    stopRequested = 1;
}

struct ProgramOptions {
    long port = 0;
    velmo::RouterSimulatorOptions router;
    std::vector<std::pair<std::string, velmo::Fault>> faults;
    long logEntries = 0;
};

bool ParseNumber(std::string_view text, long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    std::string copy(text);
    value = std::strtol(copy.c_str(), &end, 10);
    return *end == '\0' && value >= 0;
}

bool ParseCommandList(std::string_view text, std::vector<int>& entries) {
    while (!text.empty()) {
        std::size_t comma = text.find(',');
        long entry = 0;
        if (!ParseNumber(text.substr(0, comma), entry) || entry > 11) {
            return false;
        }
        entries.push_back(static_cast<int>(entry));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return true;
}

bool ParseOption(std::string_view name, std::string_view value, ProgramOptions& options) {
    auto& router = options.router;
    if (name == "--port") {
        return ParseNumber(value, options.port) && options.port <= 65535;
    }
    if (name == "--lang") {
        if (value != "ja" && value != "en") {
            return false;
        }
        router.language = value == "ja" ? velmo::PageLanguage::Japanese : velmo::PageLanguage::English;
        return true;
    }
    if (name == "--wan") {
        static constexpr std::pair<std::string_view, velmo::WanType> kWan[] = {
            {"dialup", velmo::WanType::DialUp},
            {"pppoe", velmo::WanType::Pppoe},
            {"pptp", velmo::WanType::Pptp},
            {"static", velmo::WanType::Static},
            {"none", velmo::WanType::None}};
        for (const auto& [word, wan] : kWan) {
            if (value == word) {
                router.wanType = wan;
                return true;
            }
        }
        return false;
    }
    if (name == "--model") {
        router.model = velmo::Utf8ToSjis(value);
        return true;
    }
    if (name == "--banner") {
        if (value != "1" && value != "2") {
            return false;
        }
        router.bannerVariant = value == "1" ? 1 : 2;
        return true;
    }
    if (name == "--modem-label") {
        static constexpr std::pair<std::string_view, velmo::ModemLabel> kLabels[] = {
            {"auto", velmo::ModemLabel::Auto},
            {"ja-blank", velmo::ModemLabel::JapaneseBlank},
            {"ja", velmo::ModemLabel::JapaneseNoBlank},
            {"en", velmo::ModemLabel::English}};
        for (const auto& [word, label] : kLabels) {
            if (value == word) {
                router.modemLabel = label;
                return true;
            }
        }
        return false;
    }
    if (name == "--command-delay") {
        long ms = 0;
        if (!ParseNumber(value, ms)) {
            return false;
        }
        router.commandDelay = std::chrono::milliseconds(ms);
        return true;
    }
    if (name == "--password") {
        router.password = velmo::Utf8ToSjis(value);
        return true;
    }
    if (name == "--login-form") {
        static constexpr std::pair<std::string_view, velmo::LoginFormVariant> kForms[] = {
            {"get", velmo::LoginFormVariant::Get},
            {"post", velmo::LoginFormVariant::Post},
            {"both-get-first", velmo::LoginFormVariant::BothGetFirst},
            {"both-post-first", velmo::LoginFormVariant::BothPostFirst}};
        for (const auto& [word, form] : kForms) {
            if (value == word) {
                router.loginForm = form;
                return true;
            }
        }
        return false;
    }
    if (name == "--log-entries") {
        return ParseNumber(value, options.logEntries) && options.logEntries <= 10000;
    }
    if (name == "--commands") {
        return ParseCommandList(value, router.embeddedCommands);
    }
    if (name == "--fault") {
        std::size_t equals = value.find('=');
        velmo::Fault fault;
        if (equals == std::string_view::npos || !velmo::ParseFault(value.substr(equals + 1), fault)) {
            return false;
        }
        options.faults.emplace_back(std::string(value.substr(0, equals)), fault);
        return true;
    }
    return false;
}

bool ParseArguments(int argc, char** argv, ProgramOptions& options) {
    for (int i = 1; i < argc; ++i) {
        std::string_view name = argv[i];
        if (name == "--connected") {
            options.router.connected = true;
            continue;
        }
        if (name == "--log-open") {
            options.router.logAlwaysReadable = true;
            continue;
        }
        if (i + 1 >= argc || !ParseOption(name, argv[i + 1], options)) {
            std::fprintf(stderr, "velmo-routersim: bad option %s\n", argv[i]);
            return false;
        }
        ++i;
    }
    return true;
}

void PrintUsage(std::FILE* stream) {
    std::fputs(
        "usage: velmo-routersim [--port N] [--lang ja|en] [--wan dialup|pppoe|pptp|static|none]\n"
        "       [--model TEXT] [--banner 1|2] [--modem-label auto|ja-blank|ja|en] [--connected]\n"
        "       [--command-delay MS] [--commands 0,8,...]\n"
        "       [--fault PATH=silent|delay:MS|status:CODE|close:N|size:N]...\n"
        "       [--password TEXT] [--log-open] [--log-entries N]\n"
        "       [--login-form get|post|both-get-first|both-post-first]\n"
        "\n"
        "  --password TEXT   administrator password (UTF-8, served as CP932; default admin)\n"
        "  --log-open        the system log page needs no login\n"
        "  --log-entries N   start with N sample log entries, the newest a minute old\n"
        "  --login-form      which login form(s) menu.htm holds, and in which order\n"
        "  GET /sim/add-log?TEXT adds a log entry stamped now (TEXT: percent-encoded UTF-8);\n"
        "  GET /sim/connect and /sim/disconnect switch the line at once.\n",
        stream);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        PrintUsage(stdout);
        return 0;
    }
    ProgramOptions options;
    if (!ParseArguments(argc, argv, options)) {
        PrintUsage(stderr);
        return 2;
    }
    velmo::RouterSimulator simulator(options.router);
    simulator.SetLogEntries(
        velmo::SampleLogEntries(static_cast<int>(options.logEntries), velmo::SimulatedLog::SystemMs()));
    for (const auto& [path, fault] : options.faults) {
        simulator.SetFault(path, fault);
    }
    if (!simulator.Start(static_cast<std::uint16_t>(options.port))) {
        std::fprintf(stderr, "velmo-routersim: cannot listen on 127.0.0.1:%ld\n", options.port);
        return 1;
    }
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    std::printf("listening on 127.0.0.1:%u\n", static_cast<unsigned>(simulator.Port()));
    std::fflush(stdout);
    // Every request line the router receives, as it arrives, for whoever
    // reads the simulator's output.
    std::size_t printed = 0;
    while (!stopRequested) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const std::vector<std::string> lines = simulator.RequestLines();
        for (; printed < lines.size(); ++printed) {
            std::printf("request: %s\n", lines[printed].c_str());
        }
        std::fflush(stdout);
    }
    simulator.Stop();
    return 0;
}
