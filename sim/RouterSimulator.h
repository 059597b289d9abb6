// A small HTTP/1.0 server on 127.0.0.1 that behaves like a router of the
// family the tool talks to: banner and status pages, the dial and hang-up
// commands, the administrator login and the system log, and per-path faults.
// It records every raw request line.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/Socket.h"
#include "sim/SimulatedLine.h"
#include "sim/SimulatedLog.h"
#include "sim/SimulatorOptions.h"

namespace velmo {

class RouterSimulator {
  public:
    explicit RouterSimulator(RouterSimulatorOptions options = {});
    // Stops the server if it is still running.
    ~RouterSimulator();
    RouterSimulator(const RouterSimulator&) = delete;
    RouterSimulator& operator=(const RouterSimulator&) = delete;

    // Listens on 127.0.0.1:`port` (0: a free port) and serves in the background.
    bool Start(std::uint16_t port = 0);
    // Ends every connection, silent ones included, and joins every thread.
    void Stop();

    std::uint16_t Port() const { return port_; }
    // "127.0.0.1:PORT", the router address to give the client.
    std::string Address() const;

    // Every request line received so far, raw, without its line end.
    std::vector<std::string> RequestLines() const;
    void ClearRequestLines();

    // `path` without the leading slash; a fault for "cgi-bin/dial" covers
    // every query of it, one for a whole target only that target.
    void SetFault(const std::string& path, Fault fault);
    void ClearFaults();

    // Changes what the pages show; the line state stays as it is.
    void SetOptions(const RouterSimulatorOptions& options);
    RouterSimulatorOptions Options() const;
    // Switches the line at once, without passing through dialing.
    void SetConnected(bool connected);
    SimulatedLine::Phase LinePhase();

    // The administrator password (CP932); whoever is logged in stays so.
    void SetPassword(const std::string& password);
    // True between an accepted login and the next logout.
    bool IsLoggedIn() const;

    // The system log, shown in the order the entries were added.
    void AddLogEntry(const SimulatedLogEntry& entry);
    // A timed entry stamped with the log clock's present moment.
    void AddLogEntryNow(const std::string& text);
    void SetLogEntries(std::vector<SimulatedLogEntry> entries);
    std::vector<SimulatedLogEntry> LogEntries() const;
    // The clock the log's ages are counted on (the system clock unless set);
    // it is called from the serving threads, so it must be thread-safe.
    void SetLogClock(SimulatedLog::WallClock clock);
    std::int64_t LogClockMs() const;

  private:
    struct Response {
        int status = 200;
        std::string body;
    };
    // target: the request target without the leading slash, query included.
    using PageHandler = std::function<Response(const std::string& target)>;
    struct Connection {
        std::thread thread;
        std::atomic<bool> finished{false};
    };

    void RegisterPages();
    void AcceptLoop();
    void ReapFinishedConnections(bool all);
    void Serve(Socket socket);
    bool ReadRequestHead(Socket& socket, std::string& head);
    Fault FaultFor(const std::string& target) const;
    Response Route(const std::string& target);
    void Answer(Socket& socket, const Response& response, const Fault& fault);
    // Sleeps up to `ms`; false when the server is stopping.
    bool WaitUnlessStopped(long ms);

    Response DialCommand(const std::string& target);
    // menu.htm, cgi-bin/logi, syslog.htm, cgi-bin/logo and sim/add-log.
    void RegisterLogPages();

    // options_, line_, log_, loggedIn_, faults_, requestLines_, awayUntil_
    mutable std::mutex mutex_;
    RouterSimulatorOptions options_;
    SimulatedLine line_;
    SimulatedLog log_;
    bool loggedIn_ = false;
    std::map<std::string, Fault> faults_;
    // Until then every page and command goes unanswered ("sim/away?MS").
    std::chrono::steady_clock::time_point awayUntil_{};
    std::vector<std::string> requestLines_;
    // Path before any query -> the page or command it serves.
    std::map<std::string, PageHandler> handlers_;

    ListeningSocket listener_;
    std::uint16_t port_ = 0;
    std::thread acceptThread_;
    std::mutex connectionsMutex_;
    std::list<std::unique_ptr<Connection>> connections_;
    std::mutex stopMutex_;
    std::condition_variable stopSignal_;
    std::atomic<bool> stopping_{false};
};

}  // namespace velmo
