#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Diagnostics.h"
#include "NBFErrorLog.h"

namespace {

TEST(NBFErrorLog, ErrorReportsFollowTheSwitch) {
    testing::internal::CaptureStderr();
    NBF_LOG_ERROR("Unexpected unit type %d", 42);
    std::string written = testing::internal::GetCapturedStderr();
    EXPECT_NE(written.find("\n\nError! @ "), std::string::npos) << written;
    EXPECT_NE(written.find("ErrorLogTest.cpp:"), std::string::npos) << written;
    EXPECT_NE(written.find("\n------\nUnexpected unit type 42\n"), std::string::npos) << written;
    EXPECT_EQ(written.find("/tests/"), std::string::npos) << "only the file's base name";

    NBFErrorLogEnabled = false;
    testing::internal::CaptureStderr();
    NBF_LOG_ERROR("hidden %s", "message");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    NBFErrorLogEnabled = true;
}

TEST(NBFErrorLog, CheckReportFormat) {
    testing::internal::CaptureStderr();
    OX_logErr(false, "VerifyTrue", "x > 0", "compute", "/a/b/source.cpp", 12, "x was %d", -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "VerifyTrue failed: (x > 0) in function compute, source.cpp:12\nx was -1\n");
}

TEST(NBFErrorLog, EachReportLeavesThroughTheSinkAsOneMessage) {
    std::vector<std::string> seen;
    {
        Diagnostics::ScopedSink sink(
            [&](Diagnostics::Stream, const std::string& text) { seen.push_back(text); });
        OX_logErr(false, "VerifyTrue", "x > 0", "compute", "source.cpp", 12, "x was %d", -1);
        OX_logErr_bigHeader(false, "Warning!", "f", "g.cpp", 3, "%s", "");
    }
    const std::vector<std::string> expected{
        "VerifyTrue failed: (x > 0) in function compute, source.cpp:12\nx was -1",
        "\n\nWarning! @ f, g.cpp:3\n------"};
    EXPECT_EQ(seen, expected);
}

TEST(NBFErrorLogDeathTest, AbortAndFailedChecksStopTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    NBFErrorLogEnabled = false;  // "Abort!" is written whatever the switch says
    EXPECT_DEATH(NBF_ABORT("Unexpected unit type"), "Abort! @ .*\n------\nUnexpected unit type");
    NBFErrorLogEnabled = true;
    int value = 3;
    EXPECT_DEATH(NBF_VERIFY_TRUE(value == 4, "value %d", value),
                 "VerifyTrue failed: \\(value == 4\\).*\nvalue 3");
}

TEST(NBFErrorLog, CrashReportKeepsTheMessage) {
    testing::internal::CaptureStderr();
    OX_logErr_bigHeader(true, "Error!", "f", "g.cpp", 1, "last words %d", 7);
    testing::internal::GetCapturedStderr();
    ASSERT_NE(NBFErrorLogLastFatalMessage(), nullptr);
    EXPECT_STREQ(NBFErrorLogLastFatalMessage(), "last words 7");
}

}  // namespace
