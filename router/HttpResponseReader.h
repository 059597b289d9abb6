// Reads one HTTP response as its bytes arrive, without sockets: the status
// line and headers, then the body by the rules of the router client.
//
// The body is read in 128-byte chunks, each as the platform read would give
// it: a chunk is complete when 128 bytes have arrived or the body has ended,
// and a chunk shorter than 128 bytes (0 at the end) is the last one. Each
// chunk is appended whole, zero bytes included.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmo {

class HttpResponseReader {
  public:
    static constexpr std::size_t kChunkSize = 128;
    static constexpr std::size_t kDefaultMaxBody = 4 * 1024 * 1024;
    static constexpr std::size_t kMaxHead = 64 * 1024;

    enum class State {
        Head,       // waiting for the end of the headers
        Body,       // reading the body
        Succeeded,  // the body was read to its end
        Failed,     // refused status, broken or over-long response
    };

    // Past `maxBody` body bytes the response fails, keeping the chunks read.
    explicit HttpResponseReader(std::size_t maxBody = kDefaultMaxBody);

    // Bytes as they arrive. Bytes after the end of the response are ignored.
    void Feed(std::string_view bytes);
    // The peer ended the connection in order: the end of the body, unless a
    // Content-Length promised more (then the response is cut short: failed).
    void End();
    // The connection broke or a time-out expired: fails an unfinished response.
    void Fail();

    State state() const { return state_; }
    bool Done() const { return state_ == State::Succeeded || state_ == State::Failed; }
    bool Succeeded() const { return state_ == State::Succeeded; }
    // The status code; 0 before the headers are read or when it cannot be read.
    int statusCode() const { return statusCode_; }
    // The body text collected so far (all of it once succeeded).
    const std::string& text() const { return text_; }

    // 301, 302, 303 and 401 fail the request without reading the body.
    static bool IsRefusedStatus(int code);

  private:
    void FeedHead(std::string_view bytes);
    void ReadHead(std::string_view head);
    void FeedBody(std::string_view bytes);
    void AppendChunk();
    void FinishBody();

    std::size_t maxBody_;
    State state_ = State::Head;
    std::string head_;
    int statusCode_ = 0;
    std::optional<std::size_t> contentLength_;
    std::size_t bodyBytes_ = 0;
    std::string chunk_;
    std::string text_;
};

}  // namespace velmo
