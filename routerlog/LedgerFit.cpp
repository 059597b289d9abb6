#include "routerlog/LedgerFit.h"

#include <algorithm>

namespace velmo {

namespace {

bool ReadBytes(TailBytes& file, std::uint64_t from, std::uint64_t to, std::string& bytes) {
    bytes.resize(static_cast<std::size_t>(to - from));
    return file.ReadAt(from, bytes.data(), bytes.size());
}

// The lines of `text` whose line end lies at or after `from`.
std::string LinesEndingFrom(std::string_view text, std::size_t from) {
    const std::size_t lastEnd = from == 0 ? std::string_view::npos : text.rfind('\n', from - 1);
    return std::string(text.substr(lastEnd == std::string_view::npos ? 0 : lastEnd + 1));
}

}  // namespace

LedgerFit FitLedger(LogFileAccess& file, const CaptureLedger& ledger, std::string& finished) {
    finished.clear();
    const std::uint64_t size = file.Size();
    const std::uint64_t at = ledger.writeAt;
    const std::string& text = ledger.written;
    if (size < at || size - at > text.size()) {
        return LedgerFit::Differs;
    }
    std::string before;
    if (!ReadBytes(file, at - std::min(at, kLedgerPriorBytes), at, before)) {
        return LedgerFit::ReadFailed;
    }
    if (HashBytes(before) != ledger.priorHash) {
        return LedgerFit::Differs;
    }
    std::string after;
    if (!ReadBytes(file, at, size, after)) {
        return LedgerFit::ReadFailed;
    }
    if (after == text) {
        return LedgerFit::Fits;
    }
    if (std::string_view(text).starts_with(after)) {
        // Cut short in the text: the rest follows.
        finished = LinesEndingFrom(text, after.size());
        return file.WriteAt(size, std::string_view(text).substr(after.size())) ? LedgerFit::Finished
                                                                               : LedgerFit::WriteFailed;
    }
    return LedgerFit::Differs;
}

}  // namespace velmo
