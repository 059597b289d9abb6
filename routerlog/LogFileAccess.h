// What a capture does to the log file and its ledger file: reads of the log
// file's bytes, its two writes, and the ledger's replacement. The real file
// and, in tests, bytes held in memory (which can be stopped at any call).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "routerlog/LogTail.h"

namespace velmo {

class LogFileAccess : public TailBytes {
  public:
    // Writes every byte of `bytes` at `position`; the size follows.
    virtual bool WriteAt(std::uint64_t position, std::string_view bytes) = 0;
    // Cuts the log file to `size` bytes.
    virtual bool Truncate(std::uint64_t size) = 0;
    // Replaces the ledger file whole (a temporary file, then a rename).
    virtual bool ReplaceLedger(std::string_view bytes) = 0;
    // The system's message (CP932) for the last call that failed.
    virtual std::string ErrorText() const = 0;
};

}  // namespace velmo
