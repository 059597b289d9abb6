#include "routerlog/CaptureLedger.h"

#include <charconv>

namespace velmo {

namespace {

// 2: the page as the router listed it (1 kept it oldest first, as guessed
// where the page could not show its order; such a file reads as absent).
constexpr std::string_view kHeader = "velmo capture ledger 2\n";

// Reads the next blank- or line-ended unsigned field.
class Fields {
  public:
    explicit Fields(std::string_view bytes) : rest_(bytes) {}

    bool Word(std::string_view expected) {
        if (!rest_.starts_with(expected)) {
            return false;
        }
        rest_.remove_prefix(expected.size());
        return true;
    }
    template <typename Number>
    bool Read(Number& value, int base = 10) {
        const auto [end, error] = std::from_chars(rest_.data(), rest_.data() + rest_.size(), value, base);
        if (error != std::errc() || end == rest_.data() + rest_.size() || (*end != ' ' && *end != '\n')) {
            return false;
        }
        rest_.remove_prefix(static_cast<std::size_t>(end - rest_.data()) + 1);
        return true;
    }
    bool Bytes(std::size_t length, std::string& bytes) {
        if (rest_.size() < length + 1 || rest_[length] != '\n') {
            return false;
        }
        bytes.assign(rest_.substr(0, length));
        rest_.remove_prefix(length + 1);
        return true;
    }
    bool AtEnd() const { return rest_.empty(); }

  private:
    std::string_view rest_;
};

std::string Hex(std::uint64_t value) {
    char text[17];
    const auto end = std::to_chars(text, text + sizeof text, value, 16).ptr;
    return std::string(text, end);
}

}  // namespace

std::uint64_t HashBytes(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char byte : bytes) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ULL;
    }
    return hash;
}

std::vector<LedgerEntry> LedgerEntries(const std::vector<LogEntry>& page) {
    std::vector<LedgerEntry> entries;
    entries.reserve(page.size());
    for (const LogEntry& entry : page) {
        entries.push_back(LedgerEntry{entry.ageMs, entry.subInfo, HashBytes(entry.text)});
    }
    return entries;
}

std::string LedgerFileName(const std::string& logFileName) {
    return logFileName + ".ledger";
}

// Lines of fields, then the written bytes counted, then one line per entry.
std::string FormatLedger(const CaptureLedger& ledger) {
    std::string text(kHeader);
    const FetchTicks ticks = ledger.ticks.value_or(FetchTicks{});
    text += "ticks " + std::to_string(ledger.ticks ? 1 : 0) + " " + std::to_string(ticks.sent) + " " +
            std::to_string(ticks.answered) + "\n";
    text += "ages " + std::to_string(ledger.millisecondAges ? 1 : 0) + "\n";
    text += "listing " + std::to_string(ledger.newestFirst ? (*ledger.newestFirst ? 2 : 1) : 0) + "\n";
    text += "file " + std::to_string(ledger.writeAt) + " " + Hex(ledger.priorHash) + " " +
            std::to_string(ledger.written.size()) + "\n";
    text += ledger.written + "\n";
    text += "entries " + std::to_string(ledger.entries.size()) + "\n";
    for (const LedgerEntry& entry : ledger.entries) {
        text +=
            std::to_string(entry.ageMs) + " " + (entry.subInfo ? "1 " : "0 ") + Hex(entry.textHash) + "\n";
    }
    return text + "end\n";
}

bool ParseLedger(std::string_view bytes, CaptureLedger& ledger) {
    Fields fields(bytes);
    CaptureLedger read;
    int hasTicks = 0;
    int msAges = 0;
    int listing = 0;
    std::size_t writtenLength = 0;
    std::size_t count = 0;
    FetchTicks ticks;
    if (!fields.Word(kHeader) || !fields.Word("ticks ") || !fields.Read(hasTicks) ||
        !fields.Read(ticks.sent) || !fields.Read(ticks.answered) || !fields.Word("ages ") ||
        !fields.Read(msAges) || !fields.Word("listing ") || !fields.Read(listing) || !fields.Word("file ") ||
        !fields.Read(read.writeAt) || !fields.Read(read.priorHash, 16) || !fields.Read(writtenLength) ||
        !fields.Bytes(writtenLength, read.written) || !fields.Word("entries ") || !fields.Read(count)) {
        return false;
    }
    read.ticks = hasTicks != 0 ? std::optional<FetchTicks>(ticks) : std::nullopt;
    read.millisecondAges = msAges != 0;
    read.newestFirst = listing == 0 ? std::nullopt : std::optional<bool>(listing == 2);
    for (std::size_t i = 0; i < count; ++i) {
        LedgerEntry entry;
        int subInfo = 0;
        if (!fields.Read(entry.ageMs) || !fields.Read(subInfo) || !fields.Read(entry.textHash, 16)) {
            return false;
        }
        entry.subInfo = subInfo != 0;
        read.entries.push_back(entry);
    }
    if (!fields.Word("end\n") || !fields.AtEnd()) {
        return false;
    }
    ledger = std::move(read);
    return true;
}

}  // namespace velmo
