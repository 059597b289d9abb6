#include "sim/RouterSimulator.h"

#include <cstdlib>

#include <chrono>

#include "sim/SimulatorPages.h"

namespace velmo {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Every wait of the server is cut into steps this long, so Stop() is quick.
constexpr Milliseconds kPollStep{20};
constexpr std::size_t kMaxRequestHead = 16 * 1024;
constexpr auto kRequestReadLimit = std::chrono::seconds(10);
constexpr Milliseconds kSendTimeout{5000};

std::string FirstLine(const std::string& head) {
    std::string line = head.substr(0, head.find('\n'));
    if (line.ends_with('\r')) {
        line.pop_back();
    }
    return line;
}

// "GET /status.htm HTTP/1.0" -> "status.htm"; empty for "/" or a bad line.
std::string TargetOf(const std::string& requestLine) {
    std::size_t first = requestLine.find(' ');
    if (first == std::string::npos) {
        return {};
    }
    std::size_t last = requestLine.rfind(' ');
    std::string target = requestLine.substr(first + 1, last > first ? last - first - 1 : std::string::npos);
    if (target.starts_with('/')) {
        target.erase(0, 1);
    }
    return target;
}

std::string PathOf(const std::string& target) {
    return target.substr(0, target.find('?'));
}

// A body of `size` bytes of letters, so no zero byte cuts it short.
std::string PatternBody(long size) {
    std::string body(static_cast<std::size_t>(size), 'A');
    for (std::size_t i = 0; i < body.size(); ++i) {
        body[i] = static_cast<char>('A' + i % 26);
    }
    return body;
}

}  // namespace

RouterSimulator::RouterSimulator(RouterSimulatorOptions options)
    : options_(std::move(options)), line_(options_.connected, SteadyClock::now()) {
    RegisterPages();
}

RouterSimulator::~RouterSimulator() {
    Stop();
}

// One entry per path the router serves; RegisterLogPages adds the login
// form, the login and logout commands and the system log page.
void RouterSimulator::RegisterPages() {
    handlers_[""] = [](const std::string&) { return Response{200, TopPageBody()}; };
    handlers_["banner.htm"] = [this](const std::string&) {
        std::lock_guard lock(mutex_);
        return Response{200, BannerPageBody(options_)};
    };
    handlers_["status.htm"] = [this](const std::string&) {
        std::lock_guard lock(mutex_);
        const auto now = SteadyClock::now();
        return Response{200, StatusPageBody(options_, line_.PhaseAt(now), line_.UpFor(now))};
    };
    handlers_["cgi-bin/dial"] = [this](const std::string& target) { return DialCommand(target); };
    // Controls for the demo and the e2e tests: switch the line at once.
    handlers_["sim/connect"] = [this](const std::string&) {
        SetConnected(true);
        return Response{200, "connected\n"};
    };
    handlers_["sim/disconnect"] = [this](const std::string&) {
        SetConnected(false);
        return Response{200, "disconnected\n"};
    };
    // "sim/away?MS": out of reach for MS ms, as a router is to a computer
    // whose network comes back after sleep; the line runs on meanwhile.
    handlers_["sim/away"] = [this](const std::string& target) {
        const std::size_t query = target.find('?');
        const long ms = query == std::string::npos ? 0 : std::atol(target.c_str() + query + 1);
        std::lock_guard lock(mutex_);
        awayUntil_ = SteadyClock::now() + std::chrono::milliseconds(ms);
        return Response{200, "away\n"};
    };
    RegisterLogPages();
}

RouterSimulator::Response RouterSimulator::DialCommand(const std::string& target) {
    // The action is the value of "A=": D... dials up, H... hangs up.
    std::size_t action = target.find("&A=");
    if (action == std::string::npos) {
        return Response{404, ErrorPageBody(404)};
    }
    const char verb = action + 3 < target.size() ? target[action + 3] : '\0';
    std::lock_guard lock(mutex_);
    const auto now = SteadyClock::now();
    if (verb == 'D') {
        line_.Dial(now, options_.commandDelay);
    } else if (verb == 'H') {
        line_.HangUp(now, options_.commandDelay);
    } else {
        return Response{404, ErrorPageBody(404)};
    }
    return Response{200, StatusPageBody(options_, line_.PhaseAt(now), line_.UpFor(now))};
}

bool RouterSimulator::Start(std::uint16_t port) {
    if (acceptThread_.joinable()) {
        return false;
    }
    listener_ = ListeningSocket::ListenLoopback(port);
    if (!listener_.IsOpen()) {
        return false;
    }
    port_ = listener_.Port();
    stopping_ = false;
    acceptThread_ = std::thread(&RouterSimulator::AcceptLoop, this);
    return true;
}

void RouterSimulator::Stop() {
    {
        std::lock_guard lock(stopMutex_);
        stopping_ = true;
    }
    stopSignal_.notify_all();
    if (acceptThread_.joinable()) {
        acceptThread_.join();
    }
    ReapFinishedConnections(true);
    listener_.Close();
}

std::string RouterSimulator::Address() const {
    return "127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> RouterSimulator::RequestLines() const {
    std::lock_guard lock(mutex_);
    return requestLines_;
}

void RouterSimulator::ClearRequestLines() {
    std::lock_guard lock(mutex_);
    requestLines_.clear();
}

void RouterSimulator::SetFault(const std::string& path, Fault fault) {
    std::lock_guard lock(mutex_);
    faults_[path] = fault;
}

void RouterSimulator::ClearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

void RouterSimulator::SetOptions(const RouterSimulatorOptions& options) {
    std::lock_guard lock(mutex_);
    options_ = options;
}

RouterSimulatorOptions RouterSimulator::Options() const {
    std::lock_guard lock(mutex_);
    return options_;
}

void RouterSimulator::SetConnected(bool connected) {
    std::lock_guard lock(mutex_);
    line_.Set(connected, SteadyClock::now());
}

SimulatedLine::Phase RouterSimulator::LinePhase() {
    std::lock_guard lock(mutex_);
    return line_.PhaseAt(SteadyClock::now());
}

void RouterSimulator::AcceptLoop() {
    while (!stopping_) {
        Socket socket = listener_.Accept(kPollStep);
        ReapFinishedConnections(false);
        if (!socket.IsOpen()) {
            continue;
        }
        auto connection = std::make_unique<Connection>();
        Connection* self = connection.get();
        connection->thread = std::thread([this, self, s = std::move(socket)]() mutable {
            Serve(std::move(s));
            self->finished = true;
        });
        std::lock_guard lock(connectionsMutex_);
        connections_.push_back(std::move(connection));
    }
}

void RouterSimulator::ReapFinishedConnections(bool all) {
    std::list<std::unique_ptr<Connection>> done;
    {
        std::lock_guard lock(connectionsMutex_);
        for (auto it = connections_.begin(); it != connections_.end();) {
            auto next = std::next(it);
            if (all || (*it)->finished) {
                done.splice(done.end(), connections_, it);
            }
            it = next;
        }
    }
    for (auto& connection : done) {
        connection->thread.join();
    }
}

bool RouterSimulator::WaitUnlessStopped(long ms) {
    std::unique_lock lock(stopMutex_);
    return !stopSignal_.wait_for(lock, Milliseconds(ms), [this] { return stopping_.load(); });
}

bool RouterSimulator::ReadRequestHead(Socket& socket, std::string& head) {
    const auto deadline = SteadyClock::now() + kRequestReadLimit;
    char buffer[1024];
    while (!stopping_ && SteadyClock::now() < deadline && head.size() <= kMaxRequestHead) {
        std::size_t received = 0;
        ReceiveResult result = socket.Receive(buffer, sizeof buffer, kPollStep, received);
        if (result == ReceiveResult::Closed || result == ReceiveResult::Failed) {
            break;
        }
        head.append(buffer, received);
        if (head.find("\r\n\r\n") != std::string::npos || head.find("\n\n") != std::string::npos) {
            return true;
        }
    }
    return false;
}

void RouterSimulator::Serve(Socket socket) {
    std::string head;
    const bool complete = ReadRequestHead(socket, head);
    if (head.empty()) {
        return;
    }
    const std::string requestLine = FirstLine(head);
    {
        std::lock_guard lock(mutex_);
        requestLines_.push_back(requestLine);
    }
    if (!complete) {
        return;
    }
    const std::string target = TargetOf(requestLine);
    const Fault fault = FaultFor(target);
    switch (fault.kind) {
        case Fault::Kind::Silent:
            // Holds the connection open, saying nothing, until the server stops.
            while (WaitUnlessStopped(3600 * 1000)) {
            }
            return;
        case Fault::Kind::Delay:
            if (!WaitUnlessStopped(fault.value)) {
                return;
            }
            break;
        default:
            break;
    }
    Response response;
    if (fault.kind == Fault::Kind::Status) {
        response = Response{static_cast<int>(fault.value), ErrorPageBody(static_cast<int>(fault.value))};
    } else if (fault.kind == Fault::Kind::BodySize) {
        response = Response{200, PatternBody(fault.value)};
    } else {
        response = Route(target);
    }
    Answer(socket, response, fault);
}

Fault RouterSimulator::FaultFor(const std::string& target) const {
    std::lock_guard lock(mutex_);
    if (target.rfind("sim/", 0) != 0 && SteadyClock::now() < awayUntil_) {
        return Fault{Fault::Kind::Silent, 0};
    }
    auto it = faults_.find(target);
    if (it == faults_.end()) {
        it = faults_.find(PathOf(target));
    }
    return it == faults_.end() ? Fault{} : it->second;
}

RouterSimulator::Response RouterSimulator::Route(const std::string& target) {
    auto handler = handlers_.find(PathOf(target));
    if (handler == handlers_.end()) {
        return Response{404, ErrorPageBody(404)};
    }
    return handler->second(target);
}

void RouterSimulator::Answer(Socket& socket, const Response& response, const Fault& fault) {
    std::string head = "HTTP/1.0 " + std::to_string(response.status) + " " + ReasonPhrase(response.status) +
                       "\r\nServer: velmo-routersim\r\nContent-Type: text/html; charset=Shift_JIS\r\n";
    if (response.status >= 300 && response.status <= 303) {
        head += "Location: /\r\n";
    }
    head += "Content-Length: " + std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n";
    std::string_view body = response.body;
    // Cut short: the whole length is announced, only part of the body is sent.
    if (fault.kind == Fault::Kind::CloseAfter && static_cast<std::size_t>(fault.value) < body.size()) {
        body = body.substr(0, static_cast<std::size_t>(fault.value));
    }
    if (socket.SendAll(head, kSendTimeout)) {
        socket.SendAll(body, kSendTimeout);
    }
    socket.ShutdownSend();
    // Let the client read to the end before the socket goes, so it sees an
    // orderly close rather than a reset.
    char drain[256];
    std::size_t received = 0;
    const auto deadline = SteadyClock::now() + std::chrono::seconds(2);
    while (!stopping_ && SteadyClock::now() < deadline &&
           socket.Receive(drain, sizeof drain, kPollStep, received) == ReceiveResult::TimedOut) {
    }
}

}  // namespace velmo
