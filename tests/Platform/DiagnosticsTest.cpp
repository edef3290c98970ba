#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "Diagnostics.h"

namespace {

using Message = std::pair<Diagnostics::Stream, std::string>;

TEST(Diagnostics, DefaultWritesEachMessageAndALineEndToItsStream) {
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    Diagnostics::errorf("Warning: %d files skipped", 2);
    Diagnostics::write(Diagnostics::Stream::output, "first\nsecond");
    Diagnostics::error("");
    const std::string output = testing::internal::GetCapturedStdout();
    const std::string error = testing::internal::GetCapturedStderr();
    EXPECT_EQ(error, "Warning: 2 files skipped\n\n");
    EXPECT_EQ(output, "first\nsecond\n");
}

TEST(Diagnostics, AnInstalledSinkTakesEveryMessageFromEveryThreadAndNothingIsWritten) {
    std::vector<Message> seen;
    testing::internal::CaptureStderr();
    {
        Diagnostics::ScopedSink sink([&](Diagnostics::Stream stream, const std::string& text) {
            seen.emplace_back(stream, text);
        });
        Diagnostics::writef(Diagnostics::Stream::output, "%s -> %s", "a", "on");
        std::thread([] { Diagnostics::error("from a worker"); }).join();
    }
    Diagnostics::error("after");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "after\n");
    const std::vector<Message> expected{{Diagnostics::Stream::output, "a -> on"},
                                        {Diagnostics::Stream::error, "from a worker"}};
    EXPECT_EQ(seen, expected);
}

TEST(Diagnostics, ScopedSinksNestAndASinkMayReportItself) {
    std::vector<std::string> outer, inner;
    Diagnostics::ScopedSink first(
        [&](Diagnostics::Stream, const std::string& text) { outer.push_back(text); });
    {
        Diagnostics::ScopedSink second([&](Diagnostics::Stream, const std::string& text) {
            inner.push_back(text);
            if (text == "relay") {
                // A sink that reports again must not wait on itself.
                Diagnostics::Sink self = Diagnostics::setSink(nullptr);
                Diagnostics::setSink(self);
            }
        });
        Diagnostics::error("relay");
    }
    Diagnostics::error("outer");
    EXPECT_EQ(inner, std::vector<std::string>{"relay"});
    EXPECT_EQ(outer, std::vector<std::string>{"outer"});
}

}  // namespace
