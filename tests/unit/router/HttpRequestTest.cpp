#include <gtest/gtest.h>

#include "router/HttpRequest.h"
#include "router/RouterClient.h"

namespace velmo {
namespace {

TEST(BuildRequestTarget, SendsThePathAsItIsAfterASlash) {
    EXPECT_EQ(BuildRequestTarget(""), "/");
    EXPECT_EQ(BuildRequestTarget("status.htm"), "/status.htm");
    EXPECT_EQ(BuildRequestTarget(RouterClient::dialCommands[0]), "/cgi-bin/dial?RC=@&A=D&M=1&T=180000'");
    EXPECT_EQ(BuildRequestTarget("a%20b?x=%&y=\x83\x5C"), "/a%20b?x=%&y=\x83\x5C");
}

TEST(BuildRequestTarget, PercentEncodesBlanksAndControlBytes) {
    EXPECT_EQ(BuildRequestTarget("a b"), "/a%20b");
    EXPECT_EQ(BuildRequestTarget("x\r\nHost: evil"), "/x%0D%0AHost:%20evil");
    EXPECT_EQ(BuildRequestTarget(std::string("t\tz\x7F") + '\0'), "/t%09z%7F%00");
}

TEST(BuildGetRequest, HoldsAgentHostAndNoCacheHeaders) {
    EXPECT_EQ(BuildGetRequest(RouterEndpoint{"router.local", 80}, "status.htm"),
              "GET /status.htm HTTP/1.0\r\n"
              "User-Agent: Vir Eved\r\n"
              "Host: router.local\r\n"
              "Pragma: no-cache\r\n"
              "Cache-Control: no-cache\r\n"
              "\r\n");
    EXPECT_EQ(BuildGetRequest(RouterEndpoint{"127.0.0.1", 8080}, ""),
              "GET / HTTP/1.0\r\nUser-Agent: Vir Eved\r\nHost: 127.0.0.1:8080\r\n"
              "Pragma: no-cache\r\nCache-Control: no-cache\r\n\r\n");
}

TEST(ParseRouterAddress, HostAloneMeansPort80) {
    RouterEndpoint endpoint;
    ASSERT_TRUE(ParseRouterAddress("router.local", endpoint));
    EXPECT_EQ(endpoint.host, "router.local");
    EXPECT_EQ(endpoint.port, 80);
    ASSERT_TRUE(ParseRouterAddress("127.0.0.1:65535", endpoint));
    EXPECT_EQ(endpoint.host, "127.0.0.1");
    EXPECT_EQ(endpoint.port, 65535);
}

TEST(ParseRouterAddress, RejectsEmptyHostsBadPortsAndUnsafeBytes) {
    RouterEndpoint endpoint{"kept", 1};
    for (const char* address : {"", ":80", "host:", "host:0", "host:65536", "host:8x", "ho st", "host\r\n"}) {
        EXPECT_FALSE(ParseRouterAddress(address, endpoint)) << address;
    }
    EXPECT_EQ(endpoint.host, "kept");
}

}  // namespace
}  // namespace velmo
