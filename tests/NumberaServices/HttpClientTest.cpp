// The libcurl client against a local server: what counts as a reply and what as a failure.
#include <gtest/gtest.h>

#include <chrono>

#include "HttpClient.h"
#include "LocalWebServer.h"

namespace {

struct ClientRow {
    const char* what;
    LocalWebServer::Reply reply;
    bool success;
    long status;
    int64_t errorCode;  // 0 when successful
};

TEST(HttpClient, OnlyTwoHundredRepliesSucceed) {
    LocalWebServer server;
    const std::vector<ClientRow> rows = {
        {"recorded csv", LocalWebServer::fixture("currencies-quotes.csv"), true, 200, 0},
        {"empty 200", LocalWebServer::text(200, ""), true, 200, 0},
        {"204", LocalWebServer::text(204, ""), true, 204, 0},
        {"500", LocalWebServer::fixture("service-error.html", 500), false, 500,
         HttpClient::kBadStatus},
        {"404", LocalWebServer::text(404, "gone"), false, 404, HttpClient::kBadStatus},
        {"302 without a place", LocalWebServer::text(302, ""), false, 302, HttpClient::kBadStatus},
    };
    CurlHttpClient client;
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string path = "/r" + std::to_string(i);
        server.route(path, rows[i].reply);
        const HttpResponse response = client.get(server.origin() + path, 5);
        EXPECT_EQ(response.success, rows[i].success) << rows[i].what;
        EXPECT_EQ(response.statusCode, rows[i].status) << rows[i].what;
        if (rows[i].success) {
            EXPECT_EQ(response.body, rows[i].reply.body) << rows[i].what;
        } else {
            EXPECT_EQ(response.error.domain, HttpClient::kErrorDomain) << rows[i].what;
            EXPECT_EQ(response.error.code, rows[i].errorCode) << rows[i].what;
            EXPECT_FALSE(response.error.localizedDescription.empty()) << rows[i].what;
        }
    }
}

TEST(HttpClient, RefusedPortFailsAsATransferError) {
    CurlHttpClient client;
    const HttpResponse response =
        client.get("http://127.0.0.1:" + std::to_string(LocalWebServer::refusedPort()) + "/x", 5);
    EXPECT_FALSE(response.success);
    EXPECT_EQ(response.error.code, HttpClient::kTransferFailed);
}

TEST(HttpClient, ASlowReplyTimesOutAtTheGivenLimit) {
    LocalWebServer server;
    server.route("/slow", LocalWebServer::stalled());
    CurlHttpClient client;
    const auto start = std::chrono::steady_clock::now();
    const HttpResponse response = client.get(server.origin() + "/slow", 0.2);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(response.success);
    EXPECT_EQ(response.error.code, HttpClient::kTimedOut);
    EXPECT_LT(seconds, 2.0);
}

TEST(HttpClient, OtherSchemesAreRefusedBeforeAnyTransfer) {
    CurlHttpClient client;
    for (const char* url :
         {"file:///etc/passwd", "ftp://127.0.0.1/x", "gopher://127.0.0.1/", "127.0.0.1/x", ""}) {
        const HttpResponse response = client.get(url, 1);
        EXPECT_FALSE(response.success) << url;
        EXPECT_EQ(response.error.code, HttpClient::kUnsupportedURL) << url;
    }
}

TEST(HttpClient, RedirectsAreFollowedOnlyToHttpAndHttps) {
    LocalWebServer server;
    server.route("/data", LocalWebServer::fixture("bitcoin.json"));
    const auto moved = LocalWebServer::text(302, "", server.origin() + "/data");
    server.route("/moved", moved);
    const auto toFile = LocalWebServer::text(302, "", "file:///etc/passwd");
    server.route("/to-file", toFile);
    CurlHttpClient client;
    const HttpResponse followed = client.get(server.origin() + "/moved", 5);
    EXPECT_TRUE(followed.success);
    EXPECT_EQ(followed.body, LocalWebServer::fixtureText("bitcoin.json"));
    const HttpResponse refused = client.get(server.origin() + "/to-file", 5);
    EXPECT_FALSE(refused.success);
    EXPECT_EQ(refused.error.code, HttpClient::kUnsupportedURL);
}

TEST(HttpClient, ACancelledTransferStopsEarly) {
    LocalWebServer server;
    server.route("/slow", LocalWebServer::stalled());
    CurlHttpClient client;
    std::atomic<bool> cancelled{true};
    const auto start = std::chrono::steady_clock::now();
    const HttpResponse response = client.get(server.origin() + "/slow", 10, &cancelled);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(response.success);
    EXPECT_EQ(response.error.code, HttpClient::kCancelled);
    EXPECT_LT(seconds, 5.0);
}

}  // namespace
