#include <gtest/gtest.h>

#include "router/HttpResponseReader.h"

namespace velmo {
namespace {

std::string Letters(std::size_t size) {
    std::string text(size, 'a');
    for (std::size_t i = 0; i < size; ++i) {
        text[i] = static_cast<char>('a' + i % 26);
    }
    return text;
}

// Feeds `response` in pieces of `step` bytes, then the end of the connection.
HttpResponseReader ReadAll(const std::string& response, std::size_t step = 7,
                           std::size_t maxBody = HttpResponseReader::kDefaultMaxBody) {
    HttpResponseReader reader(maxBody);
    for (std::size_t i = 0; i < response.size() && !reader.Done(); i += step) {
        reader.Feed(std::string_view(response).substr(i, step));
    }
    reader.End();
    return reader;
}

const std::string kOkHead = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";

TEST(HttpResponseReader, ReadsBodiesOf128And300BytesToTheEnd) {
    for (std::size_t size : {0u, 1u, 127u, 128u, 129u, 256u, 300u}) {
        const std::string body = Letters(size);
        for (std::size_t step : {1u, 128u, 4096u}) {
            HttpResponseReader reader = ReadAll(kOkHead + body, step);
            EXPECT_TRUE(reader.Succeeded()) << size << "/" << step;
            EXPECT_EQ(reader.text(), body) << size << "/" << step;
            EXPECT_EQ(reader.statusCode(), 200);
        }
    }
}

TEST(HttpResponseReader, ZeroBytesInsideTheBodyAreKept) {
    // Chunk 1: "ab\0" + 125 bytes; chunk 2: 128 clean bytes; chunk 3: "x\0y".
    std::string body = std::string("ab") + '\0' + Letters(125) + Letters(128) + "x" + '\0' + "y";
    HttpResponseReader reader = ReadAll(kOkHead + body);
    ASSERT_TRUE(reader.Succeeded());
    EXPECT_EQ(reader.text(), body);
}

TEST(HttpResponseReader, RedirectAndAuthorisationStatusesFailWithoutTheBody) {
    for (int code : {301, 302, 303, 401}) {
        HttpResponseReader reader =
            ReadAll("HTTP/1.0 " + std::to_string(code) + " X\r\nLocation: /\r\n\r\n<HTML>moved</HTML>");
        EXPECT_FALSE(reader.Succeeded()) << code;
        EXPECT_EQ(reader.text(), "") << code;
        EXPECT_EQ(reader.statusCode(), code);
    }
}

TEST(HttpResponseReader, ErrorStatusesAreReadLikeSuccess) {
    for (int code : {404, 500, 304, 204}) {
        HttpResponseReader reader =
            ReadAll("HTTP/1.1 " + std::to_string(code) + " Error\r\n\r\n<HTML>error</HTML>");
        EXPECT_TRUE(reader.Succeeded()) << code;
        EXPECT_EQ(reader.text(), "<HTML>error</HTML>") << code;
    }
}

TEST(HttpResponseReader, UnreadableStatusLineIsReadLikeAnyOtherCode) {
    HttpResponseReader reader = ReadAll("HTTP/1.0 abc\n\nbody");
    EXPECT_TRUE(reader.Succeeded());
    EXPECT_EQ(reader.statusCode(), 0);
    EXPECT_EQ(reader.text(), "body");
}

TEST(HttpResponseReader, ContentLengthEndsTheBodyWithoutWaitingForTheClose) {
    HttpResponseReader reader;
    reader.Feed("HTTP/1.0 200 OK\r\ncontent-length: 5\r\n\r\nhello and more");
    ASSERT_TRUE(reader.Succeeded());
    EXPECT_EQ(reader.text(), "hello");
}

TEST(HttpResponseReader, CloseBeforeTheAnnouncedLengthFailsKeepingWholeChunks) {
    HttpResponseReader reader = ReadAll("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + Letters(300));
    EXPECT_FALSE(reader.Succeeded());
    EXPECT_EQ(reader.text(), Letters(256));
}

TEST(HttpResponseReader, BrokenConnectionKeepsTheChunksReadSoFar) {
    HttpResponseReader reader;
    reader.Feed(kOkHead + Letters(200));
    reader.Fail();
    EXPECT_FALSE(reader.Succeeded());
    EXPECT_EQ(reader.text(), Letters(128));
}

TEST(HttpResponseReader, ConnectionEndingInsideTheHeadersFails) {
    HttpResponseReader reader = ReadAll("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n");
    EXPECT_FALSE(reader.Succeeded());
    EXPECT_EQ(reader.text(), "");
}

TEST(HttpResponseReader, BodyPastTheCapFailsKeepingWhatWasRead) {
    HttpResponseReader exact = ReadAll(kOkHead + Letters(512), 100, 512);
    EXPECT_TRUE(exact.Succeeded());
    EXPECT_EQ(exact.text(), Letters(512));

    HttpResponseReader over = ReadAll(kOkHead + Letters(513), 100, 512);
    EXPECT_FALSE(over.Succeeded());
    EXPECT_EQ(over.text(), Letters(512));
}

TEST(HttpResponseReader, OverLongHeadFails) {
    HttpResponseReader reader;
    reader.Feed("HTTP/1.0 200 OK\r\nX: " + std::string(HttpResponseReader::kMaxHead, 'x'));
    EXPECT_TRUE(reader.Done());
    EXPECT_FALSE(reader.Succeeded());
}

}  // namespace
}  // namespace velmo
