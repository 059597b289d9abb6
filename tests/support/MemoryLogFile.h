// The log file and its ledger file as bytes in memory, which a test can stop
// as a kill would: the chosen write call is cut after some of its bytes, but
// never after all (a truncation is made, a replaced ledger is not: each is
// all or nothing), and no call after it does anything.
#pragma once

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>

#include "routerlog/LogFileAccess.h"

namespace velmo::testing {

class MemoryLogFile final : public LogFileAccess {
  public:
    MemoryLogFile(std::string logBytes, std::string ledgerBytes)
        : log(std::move(logBytes)), ledger(std::move(ledgerBytes)) {}

    std::uint64_t Size() const override { return offset + log.size(); }
    bool ReadAt(std::uint64_t position, char* buffer, std::size_t length) override {
        if (position < offset || position - offset > log.size() ||
            length > log.size() - (position - offset)) {
            return false;
        }
        std::copy_n(log.data() + (position - offset), length, buffer);
        return true;
    }
    bool WriteAt(std::uint64_t position, std::string_view bytes) override {
        const bool whole = Call();
        if (calls > stopAt) {
            return false;
        }
        if (!whole) {
            stoppedWrite = bytes.size();
            bytes =
                bytes.substr(0, std::min(bytes.size() - std::min<std::size_t>(bytes.size(), 1), bytesOfLast));
        }
        position -= offset;
        log.resize(std::max<std::size_t>(log.size(), position));
        log.replace(position, std::min(bytes.size(), log.size() - position), bytes);
        return whole;
    }
    bool Truncate(std::uint64_t size) override {
        Call();
        if (calls > stopAt) {
            return false;
        }
        log.resize(std::min<std::size_t>(log.size(), size - offset));
        return true;
    }
    bool ReplaceLedger(std::string_view bytes) override {
        if (!Call()) {
            return false;  // a temporary file cut short is never renamed
        }
        ledger = bytes;
        return true;
    }
    std::string ErrorText() const override { return "stopped"; }

    std::uint64_t offset = 0;  // the log file's bytes held here begin at this position
    std::string log;
    std::string ledger;
    int calls = 0;                                 // write calls made so far
    int stopAt = std::numeric_limits<int>::max();  // the call cut short (from 1)
    std::size_t bytesOfLast = 0;                   // how much of it is written
    std::size_t stoppedWrite = 0;                  // the length of the write that was cut short

    // The capture was stopped.
    bool Killed() const { return calls >= stopAt; }

  private:
    // True while the calls run whole.
    bool Call() { return ++calls < stopAt; }
};

}  // namespace velmo::testing
