#include "router/HttpResponseReader.h"

#include <algorithm>
#include <charconv>

#include "base/SjisText.h"

namespace velmo {
namespace {

// Position just past the blank line that ends the headers, or npos.
std::size_t FindHeadEnd(std::string_view bytes) {
    std::size_t crlf = bytes.find("\r\n\r\n");
    std::size_t lf = bytes.find("\n\n");
    if (crlf != std::string_view::npos && (lf == std::string_view::npos || crlf < lf)) {
        return crlf + 4;
    }
    if (lf != std::string_view::npos) {
        return lf + 2;
    }
    return std::string_view::npos;
}

// "HTTP/1.x 200 OK" -> 200; 0 when the line does not hold a readable code.
int ParseStatusLine(std::string_view line) {
    if (!line.starts_with("HTTP/")) {
        return 0;
    }
    std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos || line.size() < blank + 4) {
        return 0;
    }
    std::string_view digits = line.substr(blank + 1, 3);
    int code = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return 0;
    }
    return code;
}

std::optional<std::size_t> ParseContentLength(std::string_view value) {
    std::string trimmed = SjisTrim(value);
    std::size_t length = 0;
    auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), length);
    if (trimmed.empty() || error != std::errc() || end != trimmed.data() + trimmed.size()) {
        return std::nullopt;
    }
    return length;
}

}  // namespace

HttpResponseReader::HttpResponseReader(std::size_t maxBody) : maxBody_(maxBody) {}

bool HttpResponseReader::IsRefusedStatus(int code) {
    return code == 301 || code == 302 || code == 303 || code == 401;
}

void HttpResponseReader::Feed(std::string_view bytes) {
    if (state_ == State::Head) {
        FeedHead(bytes);
    } else if (state_ == State::Body) {
        FeedBody(bytes);
    }
}

void HttpResponseReader::FeedHead(std::string_view bytes) {
    // Look for the blank line only where it can newly appear.
    const std::size_t searchFrom = head_.size() < 3 ? 0 : head_.size() - 3;
    head_.append(bytes);
    std::size_t headEnd = FindHeadEnd(std::string_view(head_).substr(searchFrom));
    if (headEnd == std::string_view::npos) {
        if (head_.size() > kMaxHead) {
            state_ = State::Failed;
        }
        return;
    }
    headEnd += searchFrom;
    if (headEnd > kMaxHead) {
        state_ = State::Failed;
        return;
    }
    std::string rest = head_.substr(headEnd);
    head_.resize(headEnd);
    ReadHead(head_);
    head_.clear();
    if (state_ == State::Body) {
        FeedBody(rest);
    }
}

void HttpResponseReader::ReadHead(std::string_view head) {
    std::size_t lineEnd = head.find('\n');
    statusCode_ = ParseStatusLine(head.substr(0, lineEnd));
    // The status test: these codes fail without the body being read.
    if (IsRefusedStatus(statusCode_)) {
        state_ = State::Failed;
        return;
    }
    while (lineEnd != std::string_view::npos) {
        const std::size_t lineStart = lineEnd + 1;
        lineEnd = head.find('\n', lineStart);
        std::string_view line =
            head.substr(lineStart, lineEnd == std::string_view::npos ? lineEnd : lineEnd - lineStart);
        std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && !contentLength_ &&
            SjisEqualsIgnoreCase(line.substr(0, colon), "Content-Length")) {
            contentLength_ = ParseContentLength(line.substr(colon + 1));
        }
    }
    state_ = State::Body;
    if (contentLength_ == 0u) {
        FinishBody();
    }
}

void HttpResponseReader::FeedBody(std::string_view bytes) {
    if (contentLength_) {
        bytes = bytes.substr(0, *contentLength_ - bodyBytes_);
    }
    // The body cap: what lies beyond it fails the response, keeping the chunks read.
    const bool overLimit = bytes.size() > maxBody_ - bodyBytes_;
    if (overLimit) {
        bytes = bytes.substr(0, maxBody_ - bodyBytes_);
    }
    while (!bytes.empty()) {
        std::size_t take = std::min(bytes.size(), kChunkSize - chunk_.size());
        chunk_.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        bodyBytes_ += take;
        // A chunk of exactly 128 bytes means "read again".
        if (chunk_.size() == kChunkSize) {
            AppendChunk();
        }
    }
    if (overLimit) {
        state_ = State::Failed;
    } else if (contentLength_ && bodyBytes_ == *contentLength_) {
        FinishBody();
    }
}

void HttpResponseReader::AppendChunk() {
    // Every byte is kept, a zero byte too: cutting the chunk there would lose
    // the rest of it and leave a page's quotes unpaired.
    text_.append(chunk_);
    chunk_.clear();
}

void HttpResponseReader::FinishBody() {
    // The last read delivers fewer than 128 bytes (0 at a chunk boundary).
    AppendChunk();
    state_ = State::Succeeded;
}

void HttpResponseReader::End() {
    if (state_ == State::Head) {
        state_ = State::Failed;
    } else if (state_ == State::Body) {
        // A body cut short of its announced length is a broken read.
        if (contentLength_ && bodyBytes_ < *contentLength_) {
            state_ = State::Failed;
        } else {
            FinishBody();
        }
    }
}

void HttpResponseReader::Fail() {
    if (!Done()) {
        state_ = State::Failed;
    }
}

}  // namespace velmo
