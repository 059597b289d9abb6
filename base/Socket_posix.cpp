// The TCP shim on POSIX: BSD sockets, poll() for every bounded wait.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "base/Socket.h"

namespace velmo {
namespace {

using SteadyClock = std::chrono::steady_clock;

int RemainingMs(SteadyClock::time_point deadline) {
    // Rounded up, so a wait never ends before its deadline.
    auto left = std::chrono::ceil<Milliseconds>(deadline - SteadyClock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

// Waits for `events` on `fd`; >0 ready, 0 timed out, <0 failed or cancelled.
// Restarts on EINTR. With a token the wait runs in short slices and looks at
// the token between them.
int PollFor(int fd, short events, SteadyClock::time_point deadline, const CancelToken* cancel = nullptr) {
    for (;;) {
        if (cancel != nullptr && cancel->Cancelled()) {
            return -1;
        }
        int wait = RemainingMs(deadline);
        const bool sliced = cancel != nullptr && wait > CancelToken::kSlice.count();
        if (sliced) {
            wait = static_cast<int>(CancelToken::kSlice.count());
        }
        pollfd entry{fd, events, 0};
        int result = poll(&entry, 1, wait);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result == 0 && sliced) {
            continue;
        }
        if (result > 0 && (entry.revents & (POLLERR | POLLNVAL)) && !(entry.revents & events)) {
            return -1;
        }
        return result;
    }
}

bool SetNonBlocking(int fd, bool on) {
    int flags = fcntl(fd, F_GETFL, 0);
    if (flags < 0) {
        return false;
    }
    flags = on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return fcntl(fd, F_SETFL, flags) == 0;
}

// Connects one resolved address with a bounded wait; -1 on failure.
int ConnectOne(const addrinfo& address, SteadyClock::time_point deadline, const CancelToken* cancel) {
    int fd = socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC, address.ai_protocol);
    if (fd < 0) {
        return -1;
    }
    if (!SetNonBlocking(fd, true)) {
        close(fd);
        return -1;
    }
    int result = connect(fd, address.ai_addr, address.ai_addrlen);
    if (result != 0 && errno == EINPROGRESS && PollFor(fd, POLLOUT, deadline, cancel) > 0) {
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) {
            result = 0;
        }
    }
    if (result != 0 || !SetNonBlocking(fd, false)) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

Socket Socket::Connect(const std::string& host, std::uint16_t port, Milliseconds timeout,
                       const CancelToken* cancel) {
    const auto deadline = SteadyClock::now() + timeout;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0) {
        return Socket();
    }
    int fd = -1;
    for (addrinfo* entry = list; entry != nullptr && fd < 0; entry = entry->ai_next) {
        if (SteadyClock::now() >= deadline) {
            break;
        }
        fd = ConnectOne(*entry, deadline, cancel);
    }
    freeaddrinfo(list);
    Socket socket(fd);
    socket.cancel_ = cancel;
    return socket;
}

bool Socket::SendAll(std::string_view data, Milliseconds timeout) {
    const auto deadline = SteadyClock::now() + timeout;
    while (IsOpen() && !data.empty()) {
        if (PollFor(handle_, POLLOUT, deadline, cancel_) <= 0) {
            return false;
        }
        // MSG_NOSIGNAL: a peer that went away gives EPIPE, not SIGPIPE.
        ssize_t sent = send(handle_, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return data.empty();
}

ReceiveResult Socket::Receive(char* buffer, std::size_t size, Milliseconds timeout, std::size_t& received) {
    received = 0;
    if (!IsOpen()) {
        return ReceiveResult::Failed;
    }
    const auto deadline = SteadyClock::now() + timeout;
    for (;;) {
        int ready = PollFor(handle_, POLLIN, deadline, cancel_);
        if (ready == 0) {
            return ReceiveResult::TimedOut;
        }
        if (ready < 0) {
            return ReceiveResult::Failed;
        }
        ssize_t count = recv(handle_, buffer, size, MSG_DONTWAIT);
        if (count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
            continue;
        }
        if (count < 0) {
            return ReceiveResult::Failed;
        }
        if (count == 0) {
            return ReceiveResult::Closed;
        }
        received = static_cast<std::size_t>(count);
        return ReceiveResult::Data;
    }
}

void Socket::ShutdownSend() {
    if (IsOpen()) {
        shutdown(handle_, SHUT_WR);
    }
}

void Socket::Close() {
    if (IsOpen()) {
        close(std::exchange(handle_, kInvalidSocket));
    }
}

ListeningSocket ListeningSocket::ListenLoopback(std::uint16_t port) {
    ListeningSocket listener;
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return listener;
    }
    listener.handle_ = fd;
    int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 16) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        listener.Close();
        return listener;
    }
    listener.port_ = ntohs(address.sin_port);
    return listener;
}

Socket ListeningSocket::Accept(Milliseconds timeout) {
    if (!IsOpen() || PollFor(handle_, POLLIN, SteadyClock::now() + timeout) <= 0) {
        return Socket();
    }
    int fd = accept4(handle_, nullptr, nullptr, SOCK_CLOEXEC);
    return Socket(fd < 0 ? kInvalidSocket : fd);
}

void ListeningSocket::Close() {
    if (IsOpen()) {
        close(std::exchange(handle_, kInvalidSocket));
    }
    port_ = 0;
}

}  // namespace velmo
