// The background loader against a local server, its callbacks delivered on a manual main queue.
#include <gtest/gtest.h>

#include "LocalWebServer.h"
#include "NKWebDataGatherer.h"
#include "WebTestSupport.h"

namespace {

struct RecordingDelegate : NKWebDataGathererDelegate {
    struct Event {
        std::string kind;  // "data", "error", "cancel"
        std::string data;
        std::string tag;
        int64_t errorCode = 0;
        bool inProgressDuringCallback = false;
    };
    std::vector<Event> events;
    std::function<void(NKWebDataGatherer&)> onData;

    static std::string tagOf(const std::any& userInfo) {
        const auto* tag = std::any_cast<std::string>(&userInfo);
        return tag ? *tag : "(none)";
    }
    void webDataGathererDidReturnData(NKWebDataGatherer& gatherer, const std::string& data,
                                      const std::any& userInfo) override {
        events.push_back({"data", data, tagOf(userInfo), 0, gatherer.dataGatheringInProgress()});
        if (onData) onData(gatherer);
    }
    void webDataGathererDidFailWithError(NKWebDataGatherer& gatherer, const NSError& error,
                                         const std::any& userInfo) override {
        events.push_back(
            {"error", "", tagOf(userInfo), error.code, gatherer.dataGatheringInProgress()});
    }
    void webDataGathererDidCancel(NKWebDataGatherer& gatherer) override {
        events.push_back({"cancel", "", "", 0, gatherer.dataGatheringInProgress()});
    }
};

class WebDataGathererTest : public ::testing::Test {
  protected:
    ManualTime time;
    LocalWebServer server;
    ServiceAddresses services{std::nullopt, std::nullopt, std::nullopt, kStalledCaseTimeOut};
    RecordingDelegate delegate;
    std::shared_ptr<NKWebDataGatherer> gatherer = NKWebDataGatherer::create(nullptr, time.queue);

    void SetUp() override { gatherer->setDelegate(&delegate); }
    bool waitForEvents(size_t count) {
        return pumpUntil(*time.queue, [&] { return delegate.events.size() >= count; });
    }
};

struct ReplyRow {
    const char* what;
    LocalWebServer::Reply reply;
    std::string kind;
    int64_t errorCode;
};

TEST_F(WebDataGathererTest, EachReplyEndsInOneCallbackWithTheCallersTag) {
    const std::vector<ReplyRow> rows = {
        {"recorded csv", LocalWebServer::fixture("stocks-quotes.csv"), "data", 0},
        {"empty 200", LocalWebServer::text(200, ""), "data", 0},
        {"html page", LocalWebServer::fixture("service-error.html"), "data", 0},
        {"500", LocalWebServer::fixture("service-error.html", 500), "error",
         HttpClient::kBadStatus},
        {"slower than the time-out", LocalWebServer::stalled(), "error", HttpClient::kTimedOut},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string path = "/g" + std::to_string(i);
        server.route(path, rows[i].reply);
        delegate.events.clear();
        gatherer->gatherDataFromURL(server.origin() + path, std::string(rows[i].what));
        EXPECT_TRUE(gatherer->dataGatheringInProgress());
        ASSERT_TRUE(waitForEvents(1)) << rows[i].what;
        ASSERT_EQ(delegate.events.size(), 1u) << rows[i].what;
        const auto& event = delegate.events[0];
        EXPECT_EQ(event.kind, rows[i].kind) << rows[i].what;
        EXPECT_EQ(event.tag, rows[i].what);
        EXPECT_EQ(event.errorCode, rows[i].errorCode) << rows[i].what;
        EXPECT_FALSE(event.inProgressDuringCallback) << rows[i].what;
        if (event.kind == "data") {
            EXPECT_EQ(event.data, rows[i].reply.body) << rows[i].what;
        }
        EXPECT_FALSE(gatherer->dataGatheringInProgress());
    }
}

TEST_F(WebDataGathererTest, ARefusedPortFails) {
    gatherer->gatherDataFromURL(
        "http://127.0.0.1:" + std::to_string(LocalWebServer::refusedPort()) + "/",
        std::string("refused"));
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_EQ(delegate.events[0].kind, "error");
    EXPECT_EQ(delegate.events[0].errorCode, HttpClient::kTransferFailed);
    EXPECT_EQ(delegate.events[0].tag, "refused");
}

TEST_F(WebDataGathererTest, WithoutAnAddressNothingGoesOnTheNetworkAndTheRequestFails) {
    gatherer->gatherDataFromURL(std::nullopt, std::string("unconfigured"));
    EXPECT_TRUE(delegate.events.empty());  // reported from the main queue, not from the call
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_EQ(delegate.events[0].kind, "error");
    EXPECT_EQ(delegate.events[0].errorCode, NKWebDataGatherer::kNoAddressError);
    EXPECT_TRUE(server.targets().empty());
}

TEST_F(WebDataGathererTest, ASecondRequestWhileOneRunsIsLoggedAndIgnored) {
    CapturedLog log;
    server.route("/a", LocalWebServer::fixture("bitcoin.json"));
    server.route("/b", LocalWebServer::fixture("bitcoin-zero.json"));
    gatherer->gatherDataFromURL(server.origin() + "/a", std::string("first"));
    gatherer->gatherDataFromURL(server.origin() + "/b", std::string("second"));
    EXPECT_TRUE(log.contains("Could not gather data - data gathering already in progress"));
    ASSERT_TRUE(waitForEvents(1));
    time.queue->runPending();
    ASSERT_EQ(delegate.events.size(), 1u);
    EXPECT_EQ(delegate.events[0].tag, "first");
    EXPECT_EQ(server.targets(), std::vector<std::string>{"/a"});
}

TEST_F(WebDataGathererTest, CancelClearsTheRequestSoThatTheNextOneIsTaken) {
    server.route("/slow", LocalWebServer::stalled());
    server.route("/fast", LocalWebServer::fixture("bitcoin.json"));
    gatherer->gatherDataFromURL(server.origin() + "/slow", std::string("slow"));
    gatherer->cancel();
    ASSERT_EQ(delegate.events.size(), 1u);
    EXPECT_EQ(delegate.events[0].kind, "cancel");
    EXPECT_FALSE(gatherer->dataGatheringInProgress());
    EXPECT_FALSE(gatherer->userInfo().has_value());
    EXPECT_TRUE(gatherer->receivedData().empty());

    gatherer->gatherDataFromURL(server.origin() + "/fast", std::string("after cancel"));
    EXPECT_TRUE(gatherer->dataGatheringInProgress());
    ASSERT_TRUE(waitForEvents(2));
    // The cancelled request's own end (its time-out) never reaches the delegate.
    pumpUntil(
        *time.queue, [] { return false; }, 0.5);
    ASSERT_EQ(delegate.events.size(), 2u);
    EXPECT_EQ(delegate.events[1].kind, "data");
    EXPECT_EQ(delegate.events[1].tag, "after cancel");
}

TEST_F(WebDataGathererTest, TheDelegateMayStartTheNextRequestFromTheCallback) {
    server.route("/one", LocalWebServer::text(200, "1"));
    server.route("/two", LocalWebServer::text(200, "2"));
    delegate.onData = [&](NKWebDataGatherer& g) {
        if (delegate.events.size() == 1)
            g.gatherDataFromURL(server.origin() + "/two", std::string("two"));
    };
    gatherer->gatherDataFromURL(server.origin() + "/one", std::string("one"));
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(delegate.events[0].data, "1");
    EXPECT_EQ(delegate.events[1].data, "2");
    EXPECT_EQ(delegate.events[1].tag, "two");
}

TEST_F(WebDataGathererTest, AGathererDroppedMidRequestReportsNothing) {
    server.route("/a", LocalWebServer::fixture("bitcoin.json"));
    gatherer->gatherDataFromURL(server.origin() + "/a", std::string("dropped"));
    gatherer.reset();
    pumpUntil(
        *time.queue, [] { return false; }, 0.3);
    EXPECT_TRUE(delegate.events.empty());
}

}  // namespace
