// The TCP shim on Windows: Winsock 2; reads wait on an event of the socket,
// writes on select().
#include <winsock2.h>
#include <ws2tcpip.h>

#include <utility>

#include "base/Socket.h"

namespace velmo {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Winsock is started once for the whole process and left running until it ends.
bool EnsureWinsock() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

timeval RemainingTime(SteadyClock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - SteadyClock::now()).count();
    if (left < 0) {
        left = 0;
    }
    timeval tv;
    tv.tv_sec = static_cast<long>(left / 1000000);
    tv.tv_usec = static_cast<long>(left % 1000000);
    return tv;
}

// Milliseconds to the earlier of `deadline` and, with a token, the end of
// one slice: the wait looks at the token between slices.
DWORD SliceMs(SteadyClock::time_point deadline, const CancelToken* cancel) {
    auto left = deadline - SteadyClock::now();
    if (cancel != nullptr && left > CancelToken::kSlice) {
        left = CancelToken::kSlice;
    }
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > 0 ? static_cast<DWORD>(ms) : 0;
}

// >0 writable (a connect in progress has ended), 0 timed out, <0 failed or
// cancelled (a failed connect shows in the except set). Only a connect or a
// full send buffer waits here, and on the loopback neither lasts.
int WaitWritable(SOCKET s, SteadyClock::time_point deadline, const CancelToken* cancel) {
    for (;;) {
        if (cancel != nullptr && cancel->Cancelled()) {
            return -1;
        }
        fd_set ready, failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(s, &ready);
        FD_SET(s, &failed);
        const bool sliced = cancel != nullptr && deadline - SteadyClock::now() > CancelToken::kSlice;
        timeval tv = RemainingTime(sliced ? SteadyClock::now() + CancelToken::kSlice : deadline);
        const int result = select(0, nullptr, &ready, &failed, &tv);
        if (result == 0 && sliced) {
            continue;
        }
        if (result > 0 && FD_ISSET(s, &failed) && !FD_ISSET(s, &ready)) {
            return -1;
        }
        return result;
    }
}

// Data, a connection to accept or the peer's end already there: 1, else 0
// (<0 on an error). A select() that does not wait.
int ReadableNow(SOCKET s) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(s, &ready);
    timeval none{};
    return select(0, &ready, nullptr, nullptr, &none);
}

// >0 data, a connection to accept or the peer's end; 0 timed out; <0 failed
// or cancelled. The wait is on an event the socket signals
// (WSAEventSelect), not a timed select(): reads wait in slices of the
// token all the time, and Wine's server can fail an assertion (leaving
// every program that talks to it waiting) when a timed select's end meets
// an event of its socket. What came before the event was chosen is seen by
// a select() that does not wait. The socket is blocking again afterwards.
int WaitReadable(SOCKET s, SteadyClock::time_point deadline, const CancelToken* cancel) {
    WSAEVENT event = WSACreateEvent();
    if (event == WSA_INVALID_EVENT) {
        return -1;
    }
    int result = -1;
    if (WSAEventSelect(s, event, FD_READ | FD_ACCEPT | FD_CLOSE) == 0) {
        result = ReadableNow(s);
        while (result == 0) {
            if (cancel != nullptr && cancel->Cancelled()) {
                result = -1;
                break;
            }
            if (SteadyClock::now() >= deadline) {
                break;
            }
            const DWORD waited = WSAWaitForMultipleEvents(1, &event, FALSE, SliceMs(deadline, cancel), FALSE);
            if (waited == WSA_WAIT_EVENT_0) {
                result = 1;
            } else if (waited != WSA_WAIT_TIMEOUT) {
                result = -1;
            }
        }
        WSAEventSelect(s, nullptr, 0);
    }
    WSACloseEvent(event);
    u_long blocking = 0;
    ioctlsocket(s, FIONBIO, &blocking);
    return result;
}

bool SetNonBlocking(SOCKET s, bool on) {
    u_long mode = on ? 1 : 0;
    return ioctlsocket(s, FIONBIO, &mode) == 0;
}

SOCKET ConnectOne(const addrinfo& address, SteadyClock::time_point deadline, const CancelToken* cancel) {
    SOCKET s = socket(address.ai_family, address.ai_socktype, address.ai_protocol);
    if (s == INVALID_SOCKET) {
        return INVALID_SOCKET;
    }
    bool connected = false;
    if (SetNonBlocking(s, true)) {
        int result = connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen));
        if (result == 0) {
            connected = true;
        } else if (WSAGetLastError() == WSAEWOULDBLOCK && WaitWritable(s, deadline, cancel) > 0) {
            int error = 0;
            int length = sizeof error;
            connected = getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 &&
                        error == 0;
        }
    }
    if (!connected || !SetNonBlocking(s, false)) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

}  // namespace

Socket Socket::Connect(const std::string& host, std::uint16_t port, Milliseconds timeout,
                       const CancelToken* cancel) {
    const auto deadline = SteadyClock::now() + timeout;
    if (!EnsureWinsock()) {
        return Socket();
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0) {
        return Socket();
    }
    SOCKET s = INVALID_SOCKET;
    for (addrinfo* entry = list; entry != nullptr && s == INVALID_SOCKET; entry = entry->ai_next) {
        if (SteadyClock::now() >= deadline) {
            break;
        }
        s = ConnectOne(*entry, deadline, cancel);
    }
    freeaddrinfo(list);
    Socket socket(static_cast<NativeSocket>(s));
    socket.cancel_ = cancel;
    return socket;
}

bool Socket::SendAll(std::string_view data, Milliseconds timeout) {
    const auto deadline = SteadyClock::now() + timeout;
    const SOCKET s = static_cast<SOCKET>(handle_);
    while (IsOpen() && !data.empty()) {
        if (WaitWritable(s, deadline, cancel_) <= 0) {
            return false;
        }
        int piece = data.size() > 65536 ? 65536 : static_cast<int>(data.size());
        int sent = send(s, data.data(), piece, 0);
        if (sent == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
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
    const SOCKET s = static_cast<SOCKET>(handle_);
    int ready = WaitReadable(s, SteadyClock::now() + timeout, cancel_);
    if (ready == 0) {
        return ReceiveResult::TimedOut;
    }
    if (ready < 0) {
        return ReceiveResult::Failed;
    }
    int piece = size > 65536 ? 65536 : static_cast<int>(size);
    int count = recv(s, buffer, piece, 0);
    if (count == SOCKET_ERROR) {
        return ReceiveResult::Failed;
    }
    if (count == 0) {
        return ReceiveResult::Closed;
    }
    received = static_cast<std::size_t>(count);
    return ReceiveResult::Data;
}

void Socket::ShutdownSend() {
    if (IsOpen()) {
        shutdown(static_cast<SOCKET>(handle_), SD_SEND);
    }
}

void Socket::Close() {
    if (IsOpen()) {
        closesocket(static_cast<SOCKET>(std::exchange(handle_, kInvalidSocket)));
    }
}

ListeningSocket ListeningSocket::ListenLoopback(std::uint16_t port) {
    ListeningSocket listener;
    if (!EnsureWinsock()) {
        return listener;
    }
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        return listener;
    }
    listener.handle_ = static_cast<NativeSocket>(s);
    // Exclusive use: no other program may bind the same port while we listen.
    BOOL yes = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 16) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        listener.Close();
        return listener;
    }
    listener.port_ = ntohs(address.sin_port);
    return listener;
}

Socket ListeningSocket::Accept(Milliseconds timeout) {
    const SOCKET s = static_cast<SOCKET>(handle_);
    if (!IsOpen() || WaitReadable(s, SteadyClock::now() + timeout, nullptr) <= 0) {
        return Socket();
    }
    SOCKET client = accept(s, nullptr, nullptr);
    return Socket(client == INVALID_SOCKET ? kInvalidSocket : static_cast<NativeSocket>(client));
}

void ListeningSocket::Close() {
    if (IsOpen()) {
        closesocket(static_cast<SOCKET>(std::exchange(handle_, kInvalidSocket)));
    }
    port_ = 0;
}

}  // namespace velmo
