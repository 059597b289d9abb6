// A minimal TCP shim over BSD sockets (POSIX) and Winsock (Windows): a client
// connection with bounded waits, and a listening socket on 127.0.0.1 for the
// router simulator. Every wait takes a time-out, so no call blocks for ever.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/CancelToken.h"

namespace velmo {

#ifdef _WIN32
using NativeSocket = std::uintptr_t;  // SOCKET
#else
using NativeSocket = int;
#endif

// -1 on POSIX, INVALID_SOCKET (all bits set) on Windows.
inline constexpr NativeSocket kInvalidSocket = static_cast<NativeSocket>(-1);

using Milliseconds = std::chrono::milliseconds;

enum class ReceiveResult {
    Data,      // at least one byte arrived
    Closed,    // the peer ended the connection in order
    TimedOut,  // nothing arrived within the time-out
    Failed,    // the connection broke (reset, not connected, ...)
};

// One connected TCP socket. Move-only; the destructor closes it.
class Socket {
  public:
    Socket() = default;
    explicit Socket(NativeSocket handle) : handle_(handle) {}
    ~Socket();
    Socket(Socket&& other) noexcept;
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    // Resolves `host` (getaddrinfo) and connects to the first address that
    // accepts within what is left of `timeout`. A closed socket on failure.
    // Every wait of the connection, this one included, ends early (as a
    // failure) once `cancel` is raised; `cancel` must outlive the socket.
    static Socket Connect(const std::string& host, std::uint16_t port, Milliseconds timeout,
                          const CancelToken* cancel = nullptr);

    bool IsOpen() const;

    // Sends every byte; false when the connection breaks or stalls past `timeout`.
    bool SendAll(std::string_view data, Milliseconds timeout);

    // Receives up to `size` bytes, waiting at most `timeout` for the first one.
    ReceiveResult Receive(char* buffer, std::size_t size, Milliseconds timeout, std::size_t& received);

    // Ends the sending direction (the peer sees the end of the stream).
    void ShutdownSend();
    void Close();

  private:
    NativeSocket handle_ = kInvalidSocket;
    const CancelToken* cancel_ = nullptr;
};

// A socket listening on 127.0.0.1 only. Move-only; the destructor closes it.
class ListeningSocket {
  public:
    ListeningSocket() = default;
    ~ListeningSocket();
    ListeningSocket(ListeningSocket&& other) noexcept;
    ListeningSocket& operator=(ListeningSocket&& other) noexcept;
    ListeningSocket(const ListeningSocket&) = delete;
    ListeningSocket& operator=(const ListeningSocket&) = delete;

    // Listens on 127.0.0.1:`port`; port 0 lets the system pick a free one.
    // A closed listener on failure.
    static ListeningSocket ListenLoopback(std::uint16_t port = 0);

    bool IsOpen() const;
    // The port actually bound.
    std::uint16_t Port() const { return port_; }

    // Waits at most `timeout` for a connection; a closed socket when none came.
    Socket Accept(Milliseconds timeout);

    void Close();

  private:
    NativeSocket handle_ = kInvalidSocket;
    std::uint16_t port_ = 0;
};

}  // namespace velmo
