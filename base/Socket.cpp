// What the sockets of both platforms share: ownership and moves of the handle.
#include "base/Socket.h"

#include <utility>

namespace velmo {

Socket::~Socket() {
    Close();
}

Socket::Socket(Socket&& other) noexcept
    : handle_(std::exchange(other.handle_, kInvalidSocket)), cancel_(std::exchange(other.cancel_, nullptr)) {}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kInvalidSocket);
        cancel_ = std::exchange(other.cancel_, nullptr);
    }
    return *this;
}

bool Socket::IsOpen() const {
    return handle_ != kInvalidSocket;
}

ListeningSocket::~ListeningSocket() {
    Close();
}

ListeningSocket::ListeningSocket(ListeningSocket&& other) noexcept
    : handle_(std::exchange(other.handle_, kInvalidSocket)), port_(std::exchange(other.port_, 0)) {}

ListeningSocket& ListeningSocket::operator=(ListeningSocket&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kInvalidSocket);
        port_ = std::exchange(other.port_, 0);
    }
    return *this;
}

bool ListeningSocket::IsOpen() const {
    return handle_ != kInvalidSocket;
}

}  // namespace velmo
